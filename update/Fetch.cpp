#include "Fetch.h"

#include <shellapi.h>

#include "HttpRequest.h"
#include "UniqueHandle.h"
#include "Version.h"

namespace zl {

namespace {

constexpr DWORD kLocalLimit = 65536;
constexpr size_t kHttpLimit = 65535;
constexpr DWORD kHttpBlock = 4096;

const wchar_t kUnsafeAddress[] = L"更新信息中含有不允许的地址：";

// A manifest from the network may not send the caller to a local or shared path.
bool CheckRemoteAddress(const std::wstring& resolved, std::wstring* err) {
    if (resolved.empty() || IsWebAddress(resolved)) return true;
    *err = kUnsafeAddress + resolved;
    return false;
}

std::wstring ManifestLocation(const std::wstring& address) {
    const wchar_t last = address.back();
    if (last == L'/' || last == L'\\') return address + L"version.txt";
    if (!IsWebAddress(address)) return address;
    const std::wstring rest = address.substr(0, address.find_first_of(L"?#"));
    const size_t slash = rest.rfind(L'/');
    const std::wstring lastPart = slash == std::wstring::npos ? rest : rest.substr(slash + 1);
    if (lastPart.find(L'.') == std::wstring::npos) return rest + L"/version.txt";
    return address;
}

}  // namespace

bool ReadLocal(const std::wstring& path, std::string* out, std::wstring* err,
               std::wstring* stamp) {
    std::string bytes;
    {
        UniqueHandle f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!f.Valid()) {
            *err = L"无法打开更新文件：" + path;
            return false;
        }
        bytes.resize(kLocalLimit);
        DWORD have = 0;
        while (have < kLocalLimit) {
            DWORD got = 0;
            // A read error must not pass for the end: a cut manifest would lose its last files.
            if (!ReadFile(f.Get(), &bytes[have], kLocalLimit - have, &got, nullptr)) {
                *err = L"无法读取更新文件：" + path;
                return false;
            }
            if (got == 0) break;
            have += got;
        }
        bytes.resize(have);
    }
    if (bytes.empty()) {
        *err = L"更新文件内容为空：" + path;
        return false;
    }
    *out = std::move(bytes);
    if (stamp) {
        WIN32_FILE_ATTRIBUTE_DATA fa;
        *stamp = GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &fa)
                     ? StampFromUtcFileTime(fa.ftLastWriteTime)
                     : std::wstring();
    }
    return true;
}

bool HttpGetWith(const std::wstring& address, DWORD accessType, std::string* out,
                 std::wstring* err, std::wstring* stamp) {
    HttpRequest req;
    if (!req.Init(accessType, 3000, 6000, 6000, err)) return false;
    if (!req.Open(address, L"无法连接更新服务器（请检查网络或地址）", err)) return false;
    if (!req.CheckStatus(err)) return false;
    FILETIME lm;
    if (stamp && req.LastModified(&lm)) *stamp = StampFromUtcFileTime(lm);

    uint64_t declared = 0;
    const int hasLength = req.ContentLength(&declared);
    std::string body;
    char block[kHttpBlock];
    bool readFailed = false;
    while (body.size() <= kHttpLimit) {
        DWORD got = 0;
        if (!req.Read(block, kHttpBlock, &got)) {
            readFailed = true;
            break;
        }
        if (got == 0) break;
        body.append(block, got);
    }
    req.Close();
    // A body cut short would parse as a manifest that silently lacks its last lines.
    const bool capped = body.size() > kHttpLimit;
    if (!capped && (readFailed || (hasLength == 1 && body.size() != declared))) {
        *err = L"更新文件下载不完整（连接中断）";
        return false;
    }
    if (body.empty()) {
        *err = L"更新文件内容为空";
        return false;
    }
    *out = std::move(body);
    return true;
}

bool HttpGet(const std::wstring& address, std::string* out, std::wstring* err,
             std::wstring* stamp) {
    std::wstring first;
    if (HttpGetWith(address, INTERNET_OPEN_TYPE_PRECONFIG, out, &first, stamp)) return true;
    std::wstring second;
    if (HttpGetWith(address, INTERNET_OPEN_TYPE_DIRECT, out, &second, stamp)) return true;
    *err = first.empty() ? second : first;
    return false;
}

bool FetchUpdateInfo(const std::wstring& address, UpdateInfo* info, std::wstring* err) {
    if (!info) return false;
    std::wstring msg;
    const std::wstring addr = TrimW(address);
    if (addr.empty()) {
        if (err) *err = L"未配置更新地址";
        return false;
    }
    const std::wstring location = ManifestLocation(addr);
    const bool remote = IsWebAddress(addr);
    std::string bytes;
    const bool fetched = remote ? HttpGet(location, &bytes, &msg, nullptr)
                                : ReadLocal(location, &bytes, &msg, nullptr);
    if (!fetched) {
        if (err) *err = msg;
        return false;
    }
    UpdateInfo parsed;
    if (!ParseUpdateManifest(bytes, &parsed)) {
        if (err) *err = L"更新信息格式不正确（应包含 version= 与 url=）";
        return false;
    }
    parsed.url = ResolveDownloadUrl(location, parsed.url);
    if (!parsed.incManifest.empty()) {
        parsed.incManifest = ResolveDownloadUrl(location, parsed.incManifest);
    }
    if (remote && (!CheckRemoteAddress(parsed.url, &msg) ||
                   !CheckRemoteAddress(parsed.incManifest, &msg))) {
        if (err) *err = msg;
        return false;
    }
    *info = std::move(parsed);
    return true;
}

bool FetchIncManifest(const std::wstring& address, IncManifest* man, std::wstring* err,
                      std::wstring* stamp) {
    if (!man) return false;
    std::wstring msg;
    if (address.empty()) {
        if (err) *err = L"未提供增量清单地址";
        return false;
    }
    const bool remote = address.find(L"://") != std::wstring::npos;
    std::string bytes;
    std::wstring published;
    const bool fetched = remote ? HttpGet(address, &bytes, &msg, &published)
                                : ReadLocal(address, &bytes, &msg, &published);
    if (!fetched) {
        if (err) *err = msg;
        return false;
    }
    if (stamp) *stamp = published;
    IncManifest parsed;
    if (!ParseIncManifest(bytes, &parsed)) {
        if (err) *err = L"增量清单格式不正确";
        return false;
    }
    for (IncFile& f : parsed.files) {
        if (f.url.empty()) continue;
        f.url = ResolveDownloadUrl(address, f.url);
        if (remote && !CheckRemoteAddress(f.url, &msg)) {
            if (err) *err = msg;
            return false;
        }
    }
    *man = std::move(parsed);
    return true;
}

const wchar_t kNoAddressText[] =
    L"未配置更新地址。\n\n请在 %APPDATA%\\ZelunWubi\\config.ini 的\n[更新] 地址 里填写 version.txt 的网址（或本地路径）。";

std::wstring DownloadAddress(const UpdateInfo& info, const std::wstring& configured) {
    if (info.url.empty()) return configured;
    if (IsWebAddress(TrimW(configured)) && !IsWebAddress(info.url)) return configured;
    return info.url;
}

void OpenUrl(const std::wstring& address) {
    if (address.empty()) return;
    ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace zl
