// The update check: the worker against a local version.txt, the 12-hour rule on the
// service, the updater started from the install folder, and the purge thread.
#include <gtest/gtest.h>

#include "Markers.h"
#include "Module.h"
#include "ScopedEnv.h"
#include "ServiceKit.h"
#include "UpdateCheck.h"

namespace {

using zltest::BareService;

void RunWorker(const std::wstring& address, bool manual, const std::wstring& installDir) {
    auto* req = new zl::UpdateRequest;
    req->address = address;
    req->manual = manual;
    req->installDir = installDir;
    zltest::RunOnFreshThread(zl::UpdateWorkerProc, req);
}

// A folder holding version.txt; its address ends with a separator.
struct Published {
    zltest::TempDir dir;
    explicit Published(const std::string& manifest) { zltest::WriteBytes(dir.File(L"version.txt"), manifest); }
    std::wstring Address() const { return dir.Path() + L"\\"; }
};

TEST(UpdateCheck, WorkerShowsOneBoxAtMostAndFailuresOnlyWhenAsked) {
    zltest::TempDir install;  // no zlupd.exe: Yes falls back to the download page
    ASSERT_TRUE(zl::WriteInstalledVersion(install.Path(), L"4.6.0"));
    Published newer("version=4.7.0\nnotes=快\n");
    Published same("version=v4.6\n");
    Published broken("");
    const struct {
        std::wstring address;
        bool manual;
        int answer;
        const wchar_t* box;  // start of the only box; null: none
    } cases[] = {
        {newer.Address(), false, IDNO, L"发现新版本 v4.7.0（当前 v4.6.0）\n\n快\n\n是否现在更新？"},
        {same.Address(), true, IDNO, L"当前已是最新版本（v4.6.0）。"},
        {same.Address(), false, IDNO, nullptr},
        {broken.Address(), true, IDYES, L"检查更新失败：\n"},
        {L"", true, IDYES, L"检查更新失败：\n"},
        {broken.Address(), false, IDYES, nullptr},
        {newer.Address(), true, IDYES, L"发现新版本"},
    };
    for (const auto& c : cases) {
        zltest::SeamRecorder rec;
        rec.boxAnswer = c.answer;
        zl::ScopedSeams seams(rec.seams);
        RunWorker(c.address, c.manual, install.Path());
        const std::vector<zltest::BoxCall> boxes = rec.Boxes();
        ASSERT_EQ(boxes.size(), c.box ? 1u : 0u) << c.address;
        if (c.box) {
            EXPECT_EQ(boxes[0].text.rfind(c.box, 0), 0u) << boxes[0].text;
        }
        // Only a Yes to an offer opens anything: the configured address, from an apartment.
        const bool opens = c.answer == IDYES && c.box && boxes[0].caption == L"发现新版本";
        ASSERT_EQ(rec.Shells().size(), opens ? 1u : 0u);
        if (opens) {
            EXPECT_EQ(rec.Shells()[0].file, c.address);
            EXPECT_EQ(rec.Shells()[0].comState, S_FALSE);
        }
    }
}

TEST(UpdateCheck, PageAddressFromANetworkManifestMustBeWeb) {
    const std::wstring web = L"https://up.example.com/downloads/update/";
    const struct {
        std::wstring configured, manifestUrl, opened;
    } cases[] = {
        {web, L"HTTP://up.example.com/s.exe", L"HTTP://up.example.com/s.exe"},
        {web, L"", web},
        {web, L"\\\\evil\\share\\setup.exe", web},
        {web, L"file:///C:/Windows/system32/calc.exe", web},
        {L"C:\\updates\\", L"C:\\updates\\setup.exe", L"C:\\updates\\setup.exe"},
    };
    for (const auto& c : cases) EXPECT_EQ(zl::UpdatePageAddress(c.configured, c.manifestUrl), c.opened);
}

TEST(UpdateCheck, AutomaticCheckEveryTwelveHoursRecordedBeforeTheFetch) {
    const int64_t now = 1700000000;
    const struct {
        int64_t last;
        int autoCheck;
        bool runs;
    } cases[] = {
        {0, 1, true}, {now - 43199, 1, false}, {now - 43200, 1, true}, {now + 60, 1, false}, {0, 0, false},
    };
    for (const auto& c : cases) {
        Published pub("version=4.5.3\n");  // up to date: the worker shows nothing
        BareService f;
        f.rec.unixTime = now;
        f.S().config.updateUrl = pub.Address();
        f.S().config.lastCheck = c.last;
        f.S().config.autoCheck = c.autoCheck;
        f.S()._CheckUpdate(false);
        EXPECT_EQ(f.S().config.lastCheck, c.runs ? now : c.last) << c.last;
        EXPECT_EQ(f.Saved().lastCheck, c.runs ? now : 0) << c.last;
        EXPECT_TRUE(f.rec.Boxes().empty());
    }
}

TEST(UpdateCheck, ManualCheckStartsTheUpdaterInItsFolderAndRecordsNothing) {
    zltest::TempDir install;
    HANDLE started = CreateEventW(nullptr, TRUE, FALSE, L"ZlTestUpdaterStarted");
    zltest::ScopedEnv env(L"ZLTEST_UPDATER_EVENT", L"ZlTestUpdaterStarted");
    ASSERT_TRUE(CopyFileW(ZLTEST_UPDATER_STANDIN, install.File(L"zlupd.exe").c_str(), FALSE));
    // The component's module stands in that folder.
    HMODULE module = LoadLibraryExW(install.File(L"zlupd.exe").c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(module, nullptr);
    {
        BareService f;
        f.rec.seams.shellExecute = zl::Seams::Real().shellExecute;
        zl::ScopedSeams real(f.rec.seams);
        g_hInst = module;
        f.S()._CheckUpdate(true);
        g_hInst = GetModuleHandleW(nullptr);
        EXPECT_EQ(WaitForSingleObject(started, 20000), WAIT_OBJECT_0);
        EXPECT_NE(GetFileAttributesW(install.File(L"started.txt").c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_TRUE(f.rec.Boxes().empty());
        EXPECT_EQ(GetFileAttributesW(f.S().config.Path().c_str()), INVALID_FILE_ATTRIBUTES);
    }
    FreeLibrary(module);
    CloseHandle(started);
}

TEST(Purge, ThreadRunsOncePerProcess) {
    zltest::TempDir install;
    ASSERT_TRUE(zltest::WriteBytes(install.File(L"zlwb64.dll"), std::string("MZ")));
    ASSERT_TRUE(zltest::WriteBytes(install.File(L"zlwb64.dll.OLD"), std::string("MZ")));
    EXPECT_TRUE(zl::PurgeBackupsAsync(L"C:\\nowhere"));
    EXPECT_FALSE(zl::PurgeBackupsAsync(install.Path()));
    const std::wstring& folder = install.Path();
    wchar_t* copy = new wchar_t[folder.size() + 1];
    wmemcpy(copy, folder.c_str(), folder.size() + 1);
    zltest::RunOnFreshThread(zl::PurgeProc, copy);
    EXPECT_EQ(GetFileAttributesW(install.File(L"zlwb64.dll.OLD").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
