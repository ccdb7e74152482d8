// A test installation holding zlupd.exe and zlwb64.dll, a user folder whose config.ini
// points at a publisher folder the test writes, served by the local HTTP server of
// http_fixture.py or read as a plain folder. TMP points at a folder of the test, so
// zlupd.log is the test's own.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ScopedEnv.h"
#include "TempDir.h"

namespace zltest {

// One file line of the incremental manifest and the file published for it.
struct PubFile {
    std::wstring path;
    std::string bytes;
    int arch = 0;
    std::string size = "";  // "" = the real size
    std::string crc = "";   // "" = the real CRC
    bool upload = true;     // false: the manifest names a file the server does not have
    std::wstring served = L"";  // where the server has it under files/; "" = the path
};

class UpdaterCase : public ::testing::Test {
protected:
    UpdaterCase();
    void SetUp() override;

    void Publish(const std::string& version, const std::string& build, const std::vector<PubFile>& files,
                 bool overHttp = true);
    HANDLE Start(const std::wstring& args);  // the process; the caller closes it
    int Run(const std::wstring& args);       // exit code, -1 when it did not end

    std::wstring Installed(const std::wstring& rel) const;
    std::string ReadInstalled(const std::wstring& rel) const;  // "<missing>" when absent
    void Install(const std::wstring& rel, const std::string& bytes);
    bool InstalledExists(const std::wstring& rel) const;
    std::string Log() const;  // zlupd.log
    bool LogHas(const std::string& text) const { return Log().find(text) != std::string::npos; }

    TempDir root_;
    std::wstring install_, user_, temp_;

private:
    ScopedEnv userDir_, tmp_, temp2_;
    std::wstring httpBase_;
};

}  // namespace zltest
