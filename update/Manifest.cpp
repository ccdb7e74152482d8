#include "Manifest.h"

#include <algorithm>
#include <functional>
#include <initializer_list>

#include "NumberParse.h"
#include "TextDecode.h"

namespace zl {

namespace {

bool IsTrimmed(wchar_t c) {
    return c == L'\t' || c == L'\n' || c == L'\r' || c == L' ' || c == 0xFEFF;
}

std::wstring LowerAscii(std::wstring s) {
    for (auto& c : s) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return s;
}

bool OneOf(const std::wstring& key, std::initializer_list<const wchar_t*> names) {
    return std::any_of(names.begin(), names.end(), [&](const wchar_t* n) { return key == n; });
}

// Calls `fn(key, value)` for every "key = value" line; the key comes folded to lower case.
void ForEachKeyValue(const std::wstring& text,
                     const std::function<void(const std::wstring&, const std::wstring&)>& fn) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring line = TrimW(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == L'#' || line[0] == L';' || line[0] == L'[') continue;
        const size_t sep = line.find_first_of(L"=:\uFF1A");
        if (sep == std::wstring::npos) continue;
        fn(LowerAscii(TrimW(line.substr(0, sep))), TrimW(line.substr(sep + 1)));
    }
}

std::vector<std::wstring> SplitFields(const std::wstring& value) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    for (;;) {
        const size_t bar = value.find(L'|', start);
        if (bar == std::wstring::npos) {
            fields.push_back(TrimW(value.substr(start)));
            return fields;
        }
        fields.push_back(TrimW(value.substr(start, bar - start)));
        start = bar + 1;
    }
}

int32_t ArchOf(const std::wstring& field) {
    const std::wstring a = LowerAscii(field);
    if (a == L"x64" || a == L"64" || a == L"amd64") return 64;
    if (a == L"x86" || a == L"32" || a == L"i386") return 32;
    return 0;
}

// path|size|crc|url|arch; false when the line is to be skipped.
bool ParseFileLine(const std::wstring& value, IncFile* file) {
    const std::vector<std::wstring> f = SplitFields(value);
    if (f.size() < 2 || f[0].empty()) return false;
    IncFile out;
    out.path = f[0];
    if (!ParseUnsigned(f[1], 10, UINT64_MAX, &out.size)) return false;
    if (f.size() > 2 && !f[2].empty()) {
        uint64_t crc = 0;
        if (!ParseUnsigned(f[2], 16, UINT32_MAX, &crc)) return false;
        out.crc = static_cast<uint32_t>(crc);
    }
    if (f.size() > 3) out.url = f[3];
    if (f.size() > 4) out.arch = ArchOf(f[4]);
    *file = std::move(out);
    return true;
}

}  // namespace

std::wstring TrimW(const std::wstring& s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && IsTrimmed(s[b])) ++b;
    while (e > b && IsTrimmed(s[e - 1])) --e;
    return s.substr(b, e - b);
}

bool IsWebAddress(const std::wstring& s) {
    const std::wstring head = LowerAscii(s.substr(0, 8));
    return (s.size() > 7 && head.compare(0, 7, L"http://") == 0) ||
           (s.size() > 8 && head == L"https://");
}

bool ParseUpdateManifest(const std::string& bytes, UpdateInfo* info) {
    if (!info) return false;
    const std::wstring text = DecodeText(bytes);
    if (text.empty()) return false;
    UpdateInfo work;
    ForEachKeyValue(text, [&](const std::wstring& key, const std::wstring& value) {
        if (OneOf(key, {L"version", L"最新版本", L"版本", L"ver"})) {
            work.version = value;
        } else if (OneOf(key, {L"url", L"地址", L"下载地址", L"setup"})) {
            work.url = value;
        } else if (OneOf(key, {L"notes", L"说明", L"更新说明", L"说明文字"})) {
            work.notes = value;
        } else if (OneOf(key, {L"inc", L"增量", L"增量清单", L"manifest"})) {
            work.incManifest = value;
        }
    });
    if (work.version.empty()) return false;
    *info = std::move(work);
    return true;
}

bool ParseIncManifest(const std::string& bytes, IncManifest* man) {
    if (!man) return false;
    const std::wstring text = DecodeText(bytes);
    if (text.empty()) return false;
    IncManifest work;
    ForEachKeyValue(text, [&](const std::wstring& key, const std::wstring& value) {
        if (OneOf(key, {L"version", L"版本"})) {
            work.version = value;
        } else if (OneOf(key, {L"build", L"构建"})) {
            work.build = value;
        } else if (OneOf(key, {L"notes", L"说明"})) {
            work.notes = value;
        } else if (OneOf(key, {L"file", L"文件"})) {
            IncFile file;
            if (ParseFileLine(value, &file)) work.files.push_back(std::move(file));
        }
    });
    if (work.files.empty()) return false;
    *man = std::move(work);
    return true;
}

std::wstring ResolveDownloadUrl(const std::wstring& base, const std::wstring& ref) {
    if (ref.empty()) return std::wstring();
    if (ref.find(L"://") != std::wstring::npos) return ref;
    if (ref.size() >= 2 && ref[1] == L':') return ref;
    if (ref[0] == L'\\') return ref;
    const size_t slash = base.find_last_of(L"/\\");
    if (slash == std::wstring::npos) return ref;
    const size_t skip = ref.find_first_not_of(L"/\\");
    return base.substr(0, slash + 1) + (skip == std::wstring::npos ? std::wstring() : ref.substr(skip));
}

std::wstring ResolveRelativeUrl(const std::wstring& base, const std::wstring& ref) {
    return ResolveDownloadUrl(base, ref);
}

}  // namespace zl
