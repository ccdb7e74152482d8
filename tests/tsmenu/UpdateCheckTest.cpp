// The update check: the worker against a local version.txt, the 12-hour rule and the
// purge thread.
#include <list>

#include "Markers.h"
#include "ServiceKit.h"
#include "UpdateCheck.h"

namespace zltest {
namespace {

void RunOnThread(LPTHREAD_START_ROUTINE proc, void* arg) {  // a fresh thread: no COM apartment
    HANDLE t = CreateThread(nullptr, 0, proc, arg, 0, nullptr);
    ASSERT_NE(t, nullptr);
    WaitForSingleObject(t, INFINITE);
    CloseHandle(t);
}

using UpdateCheck = ServiceFixture;

TEST_F(UpdateCheck, WorkerShowsOneBoxAtMostAndFailuresOnlyWhenAsked) {
    std::list<TempDir> folders;
    const auto published = [&](const std::string& manifest) {  // a folder address; "" for no version.txt
        folders.emplace_back();
        if (!manifest.empty()) WriteBytes(folders.back().File(L"version.txt"), manifest);
        return folders.back().Path() + L"\\";
    };
    const std::wstring newer = published("version=4.7.0\nnotes=快\n"), same = published("version=v4.6\n");
    const std::wstring empty = published("\n"), missing = published("");
    TempDir install;  // no zlupd.exe: Yes opens the update address
    ASSERT_TRUE(zl::WriteInstalledVersion(install.Path(), L"4.6.0"));
    const struct {
        std::wstring address;
        bool manual;
        int answer;
        const wchar_t* box;  // start of the only box; null: none
    } cases[] = {
        {newer, false, IDNO, L"发现新版本 v4.7.0（当前 v4.6.0）\n\n快\n\n是否现在更新？"},
        {same, true, IDNO, L"当前已是最新版本（v4.6.0）。"}, {same, false, IDNO, nullptr},
        {empty, true, IDYES, L"检查更新失败：\n"},           {missing, true, IDYES, L"检查更新失败：\n"},
        {L"", true, IDYES, L"检查更新失败：\n"},             {missing, false, IDYES, nullptr},
        {newer, true, IDYES, L"发现新版本"},
    };
    for (const auto& c : cases) {
        boxes.clear();
        answer = c.answer;
        RunOnThread(zl::UpdateWorkerProc, new zl::UpdateRequest{c.address, c.manual, install.Path()});
        ASSERT_EQ(boxes.size(), c.box ? 1u : 0u) << c.address;
        if (c.box) {
            EXPECT_EQ(boxes[0].text.rfind(c.box, 0), 0u) << boxes[0].text;
        }
    }
    // Only the Yes to the last offer opened anything: the configured address, from an apartment.
    EXPECT_EQ(shells, std::vector<std::wstring>{newer + L"||"});
    EXPECT_EQ(shellCom, S_FALSE);
}

TEST_F(UpdateCheck, AutomaticCheckEveryTwelveHoursRecordedBeforeTheFetch) {
    const struct {
        int64_t last;
        int autoCheck;
        bool runs;
    } cases[] = {{0, 1, true}, {now - 43199, 1, false}, {now - 43200, 1, true}, {now + 60, 1, false}, {0, 0, false}};
    for (const auto& c : cases) {
        DeleteFileW(zl::Config().Path().c_str());
        svc->config.updateUrl = L"C:\\nowhere\\";  // the worker fails, silently
        svc->config.lastCheck = c.last;
        svc->config.autoCheck = c.autoCheck;
        svc->_CheckUpdate(false);
        EXPECT_EQ(svc->config.lastCheck, c.runs ? now : c.last) << c.last;
        EXPECT_EQ(Saved().lastCheck, c.runs ? now : 0) << c.last;
    }
}

TEST(PurgeThread, RunsOncePerProcess) {
    TempDir install;
    ASSERT_TRUE(WriteBytes(install.File(L"zlwb64.dll"), "MZ") && WriteBytes(install.File(L"zlwb64.dll.OLD"), "MZ"));
    EXPECT_TRUE(zl::PurgeBackupsAsync(L"C:\\nowhere"));
    EXPECT_FALSE(zl::PurgeBackupsAsync(install.Path()));
    wchar_t* copy = new wchar_t[install.Path().size() + 1];
    wmemcpy(copy, install.Path().c_str(), install.Path().size() + 1);
    RunOnThread(zl::PurgeProc, copy);
    EXPECT_EQ(GetFileAttributesW(install.File(L"zlwb64.dll.OLD").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace zltest
