// A test installation with zlupd.exe in it, a user folder whose config.ini points at a
// publisher folder, and the publisher folder itself, offered by the local HTTP server of
// http_fixture.py and as a plain folder.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ScopedEnv.h"
#include "TempDir.h"

namespace zltest {

// One file line of the incremental manifest and the file the publisher uploads for it.
struct PubFile {
    std::wstring path;
    std::string bytes;
    int arch = 0;
    std::string size = "";  // "" = the real size; "-" = left empty
    std::string crc = "";   // "" = the real CRC
    bool upload = true;     // false: the manifest names a file the server does not have
    std::string url = "";   // "" = files/<path> beside the manifest
};

class UpdaterCase : public ::testing::Test {
protected:
    UpdaterCase();
    ~UpdaterCase() override;
    void SetUp() override;

    // Writes version.txt, inc/manifest.txt and inc/files/... and points config.ini at them.
    void Publish(const std::string& version, const std::string& build, const std::vector<PubFile>& files,
                 bool overHttp = true);

    // Runs the installation's zlupd.exe with `args`; returns its exit code (-1 when it
    // did not end).
    int Run(const std::wstring& args);
    // Starts it and returns the process handle (the caller closes it).
    HANDLE Start(const std::wstring& args);

    std::wstring Installed(const std::wstring& rel) const { return install_ + L"\\" + rel; }
    std::string ReadInstalled(const std::wstring& rel) const;  // "<missing>" when absent
    void Install(const std::wstring& rel, const std::string& bytes);
    bool InstalledExists(const std::wstring& rel) const;
    std::string Log() const;  // zlupd.log as UTF-8
    bool LogHas(const std::string& text) const { return Log().find(text) != std::string::npos; }

    static std::string Crc(const std::string& bytes);

    TempDir root_;
    std::wstring install_;
    std::wstring user_;
    std::wstring temp_;

private:
    ScopedEnv userDir_;
    ScopedEnv tmp_;
    ScopedEnv temp2_;
    std::wstring httpBase_;

protected:
    std::wstring httpServer_;  // "http://127.0.0.1:<port>"
};

// The folder of the HTTP server's files (served under /files/).
std::wstring HttpRoot();

}  // namespace zltest
