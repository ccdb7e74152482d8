#include "UpdaterKit.h"

#include <cstdio>

#include "Config.h"
#include "Crc32.h"

namespace zltest {

namespace {

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

std::wstring Backslashed(std::wstring p) {
    for (wchar_t& c : p) c = c == L'/' ? L'\\' : c;
    return p;
}

void WriteMakingFolders(const std::wstring& path, const std::string& bytes) {
    for (size_t i = path.find(L'\\', 3); i != std::wstring::npos; i = path.find(L'\\', i + 1)) {
        CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
    }
    ASSERT_TRUE(WriteBytes(path, bytes)) << Narrow(path);
}

int g_serial = 0;

}  // namespace

UpdaterCase::UpdaterCase()
    : install_(root_.File(L"app")),
      user_(root_.File(L"user")),
      temp_(root_.File(L"temp")),
      userDir_(L"ZLWB_USERDIR", user_.c_str()),
      tmp_(L"TMP", temp_.c_str()),
      temp2_(L"TEMP", temp_.c_str()) {}

void UpdaterCase::SetUp() {
    for (const std::wstring& d : {install_, user_, temp_}) ASSERT_TRUE(CreateDirectoryW(d.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(ZL_UPD_EXE, Installed(L"zlupd.exe").c_str(), FALSE));
    Install(L"zlwb64.dll", "dll v1");
    std::vector<uint8_t> port;
    ASSERT_TRUE(ReadBytes(std::wstring(ZL_HTTP_DIR) + L"\\port", port)) << "the test server is not running";
    httpBase_ = L"http://127.0.0.1:" + std::wstring(port.begin(), port.end()) + L"/files/";
}

void UpdaterCase::Publish(const std::string& version, const std::string& build, const std::vector<PubFile>& files,
                          bool overHttp) {
    // Named after the test's own folder: the server's folder outlives the runs.
    const std::wstring name = root_.Path().substr(root_.Path().rfind(L'\\') + 1) + L"-" + std::to_wstring(++g_serial);
    const std::wstring folder = std::wstring(ZL_HTTP_DIR) + L"\\root\\" + name;
    std::string manifest = "version=" + version + "\nbuild=" + build + "\nnotes=inc notes\n";
    for (const PubFile& f : files) {
        const std::wstring served = f.served.empty() ? f.path : f.served;
        char crc[16];
        std::snprintf(crc, sizeof crc, "%08x", zl::Crc32(0, f.bytes.data(), f.bytes.size()));
        manifest += "file=" + Narrow(f.path) + "|" + (f.size.empty() ? std::to_string(f.bytes.size()) : f.size) +
                    "|" + (f.crc.empty() ? crc : f.crc) + "|files/" + Narrow(served) + "|" + std::to_string(f.arch) +
                    "\n";
        if (f.upload) WriteMakingFolders(folder + L"\\inc\\files\\" + Backslashed(served), f.bytes);
    }
    WriteMakingFolders(folder + L"\\inc\\manifest.txt", manifest);
    WriteMakingFolders(folder + L"\\version.txt", "version=" + version + "\ninc=inc/manifest.txt\nnotes=pub notes\n");
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
        TerminateProcess(p, code);
    }
    CloseHandle(p);
    return static_cast<int>(code);
}

std::wstring UpdaterCase::Installed(const std::wstring& rel) const { return install_ + L"\\" + Backslashed(rel); }

std::string UpdaterCase::ReadInstalled(const std::wstring& rel) const {
    std::vector<uint8_t> bytes;
    return ReadBytes(Installed(rel), bytes) ? std::string(bytes.begin(), bytes.end()) : "<missing>";
}

void UpdaterCase::Install(const std::wstring& rel, const std::string& bytes) {
    WriteMakingFolders(Installed(rel), bytes);
}

bool UpdaterCase::InstalledExists(const std::wstring& rel) const {
    return GetFileAttributesW(Installed(rel).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string UpdaterCase::Log() const {
    std::vector<uint8_t> bytes;
    return ReadBytes(temp_ + L"\\zlupd.log", bytes) ? std::string(bytes.begin(), bytes.end()) : std::string();
}

}  // namespace zltest
