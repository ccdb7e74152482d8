// One WinINet request: its Internet handle and URL handle, closed together.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <string>

namespace zl {

// Reload from the server, do not write to the cache, never show a dialog.
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                INTERNET_FLAG_NO_UI;
constexpr wchar_t kUserAgent[] = L"ZelunWubi-Updater";

class HttpRequest {
public:
    HttpRequest() = default;
    ~HttpRequest() { Close(); }
    HttpRequest(const HttpRequest&) = delete;
    HttpRequest& operator=(const HttpRequest&) = delete;

    // Opens the Internet handle with `accessType` and sets the time-outs (0 leaves one
    // at the system default). False with "无法初始化网络组件" in *err.
    bool Init(DWORD accessType, DWORD connectMs, DWORD sendMs, DWORD receiveMs,
              std::wstring* err);
    // Opens the address; false with `failText` in *err.
    bool Open(const std::wstring& address, const wchar_t* failText, std::wstring* err);
    // True when the status is 200 or the scheme has none; else false with
    // "更新服务器返回 HTTP <status>" in *err.
    bool CheckStatus(std::wstring* err);
    // The Content-Length header: 1 present (in *len), 0 missing or without digits, -1 a
    // number too large for 64 bits.
    int ContentLength(uint64_t* len);
    // The Last-Modified header as a UTC file time.
    bool LastModified(FILETIME* t);
    // False on a read error; *got == 0 at the end of the body.
    bool Read(void* buf, DWORD size, DWORD* got);
    void Close();

private:
    HINTERNET inet_ = nullptr;
    HINTERNET url_ = nullptr;
};

}  // namespace zl
