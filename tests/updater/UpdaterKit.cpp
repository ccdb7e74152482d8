#include "UpdaterKit.h"

#include <cstdio>

#include "Config.h"
#include "Crc32.h"

namespace zltest {

namespace {

std::string Narrow(const std::wstring& s) {
    std::string out;
    for (wchar_t c : s) out += static_cast<char>(c);
    return out;
}

void MakeFolders(const std::wstring& path) {
    for (size_t i = 3; i < path.size(); ++i) {
        if (path[i] == L'\\') CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
    }
    CreateDirectoryW(path.c_str(), nullptr);
}

void WriteFileMaking(const std::wstring& path, const std::string& bytes) {
    MakeFolders(path.substr(0, path.rfind(L'\\')));
    ASSERT_TRUE(WriteBytes(path, bytes)) << Narrow(path);
}

std::wstring Backslashed(std::wstring p) {
    for (wchar_t& c : p) {
        if (c == L'/') c = L'\\';
    }
    return p;
}

int g_serial = 0;

}  // namespace

std::wstring HttpRoot() { return std::wstring(ZL_HTTP_DIR) + L"\\root"; }

UpdaterCase::UpdaterCase()
    : install_(root_.File(L"app")),
      user_(root_.File(L"user")),
      temp_(root_.File(L"temp")),
      userDir_(L"ZLWB_USERDIR", user_.c_str()),
      tmp_(L"TMP", temp_.c_str()),
      temp2_(L"TEMP", temp_.c_str()) {}

UpdaterCase::~UpdaterCase() = default;

void UpdaterCase::SetUp() {
    for (const std::wstring& d : {install_, user_, temp_}) ASSERT_TRUE(CreateDirectoryW(d.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(ZL_UPD_EXE, Installed(L"zlupd.exe").c_str(), FALSE));
    Install(L"zlwb64.dll", "dll v1");
    std::vector<uint8_t> port;
    ASSERT_TRUE(ReadBytes(std::wstring(ZL_HTTP_DIR) + L"\\port", port)) << "the test server is not running";
    httpServer_ = L"http://127.0.0.1:" + std::wstring(port.begin(), port.end());
    httpBase_ = httpServer_ + L"/files/";
}

std::string UpdaterCase::Crc(const std::string& bytes) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08x", zl::Crc32(0, bytes.data(), bytes.size()));
    return buf;
}

void UpdaterCase::Publish(const std::string& version, const std::string& build, const std::vector<PubFile>& files,
                          bool overHttp) {
    const std::wstring name = L"pub" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++g_serial);
    const std::wstring folder = HttpRoot() + L"\\" + name;
    std::string manifest = "version=" + version + "\n";
    if (!build.empty()) manifest += "build=" + build + "\n";
    manifest += "notes=inc notes\n";
    for (const PubFile& f : files) {
        const std::string size = f.size.empty() ? std::to_string(f.bytes.size()) : (f.size == "-" ? "" : f.size);
        const std::string crc = f.crc.empty() ? Crc(f.bytes) : f.crc;
        const std::string url = f.url.empty() ? "files/" + Narrow(f.path) : f.url;
        manifest += "file=" + Narrow(f.path) + "|" + size + "|" + crc + "|" + url + "|" + std::to_string(f.arch) + "\n";
        if (f.upload) WriteFileMaking(folder + L"\\inc\\files\\" + Backslashed(f.path), f.bytes);
    }
    WriteFileMaking(folder + L"\\inc\\manifest.txt", manifest);
    WriteFileMaking(folder + L"\\version.txt", "version=" + version + "\ninc=inc/manifest.txt\nnotes=pub notes\n");
    zl::Config cfg;
    cfg.updateUrl = overHttp ? httpBase_ + name + L"/" : folder + L"\\";
    cfg.Save();
}

HANDLE UpdaterCase::Start(const std::wstring& args) {
    std::wstring cmd = L"\"" + Installed(L"zlupd.exe") + L"\" " + args;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, install_.c_str(), &si, &pi)) {
        return nullptr;
    }
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

int UpdaterCase::Run(const std::wstring& args) {
    HANDLE p = Start(args);
    if (!p) return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(p, 120000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(p, &code);
    } else {
        TerminateProcess(p, 99);
    }
    CloseHandle(p);
    return static_cast<int>(code);
}

std::string UpdaterCase::ReadInstalled(const std::wstring& rel) const {
    std::vector<uint8_t> bytes;
    if (!ReadBytes(Installed(Backslashed(rel)), bytes)) return "<missing>";
    return std::string(bytes.begin(), bytes.end());
}

void UpdaterCase::Install(const std::wstring& rel, const std::string& bytes) {
    WriteFileMaking(Installed(Backslashed(rel)), bytes);
}

bool UpdaterCase::InstalledExists(const std::wstring& rel) const {
    return GetFileAttributesW(Installed(Backslashed(rel)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string UpdaterCase::Log() const {
    std::vector<uint8_t> bytes;
    if (!ReadBytes(temp_ + L"\\zlupd.log", bytes)) return std::string();
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace zltest
