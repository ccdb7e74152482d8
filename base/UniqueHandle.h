// Owners for kernel handles, file searches, mapped views and GDI objects: each releases exactly once.
#pragma once

#include <windows.h>

namespace zl {

// Traits give the handle type, what counts as empty and how it is released.
template <class Traits>
class UniqueResource {
public:
    using Type = typename Traits::Type;

    UniqueResource() = default;
    explicit UniqueResource(Type h) : h_(h) {}
    ~UniqueResource() { Reset(); }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& o) noexcept : h_(o.Release()) {}
    UniqueResource& operator=(UniqueResource&& o) noexcept {
        if (this != &o) Reset(o.Release());
        return *this;
    }

    Type Get() const { return h_; }
    bool Valid() const { return Traits::Valid(h_); }
    explicit operator bool() const { return Valid(); }
    Type Release() {
        Type h = h_;
        h_ = Type();
        return h;
    }
    void Reset(Type h = Type()) {
        if (Valid()) Traits::Free(h_);
        h_ = h;
    }

private:
    Type h_ = Type();
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Free(HANDLE h) { CloseHandle(h); }
};

// Searches opened by FindFirstFileW (FindClose).
struct FindHandleTraits {
    using Type = HANDLE;
    static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Free(HANDLE h) { FindClose(h); }
};

struct MappedViewTraits {
    using Type = const void*;
    static bool Valid(const void* p) { return p != nullptr; }
    static void Free(const void* p) { UnmapViewOfFile(p); }
};

// Fonts, bitmaps, brushes, pens and regions (DeleteObject).
template <class T>
struct GdiObjectTraits {
    using Type = T;
    static bool Valid(T h) { return h != nullptr; }
    static void Free(T h) { DeleteObject(h); }
};

using UniqueHandle = UniqueResource<KernelHandleTraits>;
using FindHandle = UniqueResource<FindHandleTraits>;
using UniqueView = UniqueResource<MappedViewTraits>;
template <class T>
using GdiObject = UniqueResource<GdiObjectTraits<T>>;
using FontHandle = GdiObject<HFONT>;
using BitmapHandle = GdiObject<HBITMAP>;
using BrushHandle = GdiObject<HBRUSH>;
using PenHandle = GdiObject<HPEN>;
using RegionHandle = GdiObject<HRGN>;

}  // namespace zl
