// The update check end to end: the worker against a local version.txt, the 12-hour rule
// on the service, and the updater started from the install folder.
#include <gtest/gtest.h>

#include <objbase.h>

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

struct Published {
    zltest::TempDir dir;
    explicit Published(const std::string& manifest) {
        zltest::WriteBytes(dir.File(L"version.txt"), manifest);
    }
    std::wstring Address() const { return dir.Path() + L"\\"; }
};

TEST(UpdateCheck, WorkerAgainstALocalManifest) {
    zltest::TempDir install;  // no zlupd.exe: Yes falls back to the download page
    ASSERT_TRUE(zl::WriteInstalledVersion(install.Path(), L"4.6.0"));
    Published newer("version=4.7.0\nurl=https://example.com/setup.exe\nnotes=快\n");
    Published same("version=v4.6\n");
    Published none("");
    zltest::TempDir missing;
    const struct {
        const Published* pub;
        bool manual;
        const wchar_t* boxStart;  // null: no box at all
    } cases[] = {
        {&newer, false, L"发现新版本 v4.7.0（当前 v4.6.0）\n\n快\n\n是否现在更新？"},
        {&newer, true, L"发现新版本 v4.7.0（当前 v4.6.0）"},
        {&same, true, L"当前已是最新版本（v4.6.0）。"},
        {&same, false, nullptr},
        {&none, true, L"检查更新失败：\n"},
        {&none, false, nullptr},
    };
    for (const auto& c : cases) {
        zltest::SeamRecorder rec;
        zl::ScopedSeams seams(rec.seams);
        RunWorker(c.pub->Address(), c.manual, install.Path());
        const std::vector<zltest::BoxCall> boxes = rec.Boxes();
        if (!c.boxStart) {
            EXPECT_TRUE(boxes.empty());
            continue;
        }
        // A failure ends the check: one box, never followed by "up to date".
        ASSERT_EQ(boxes.size(), 1u) << c.boxStart;
        EXPECT_EQ(boxes[0].text.rfind(c.boxStart, 0), 0u) << boxes[0].text;
        EXPECT_EQ(boxes[0].owner, nullptr);
        EXPECT_TRUE(boxes[0].type & MB_TOPMOST);
        EXPECT_TRUE(rec.Shells().empty());  // answered No
    }
    // An empty address or a missing folder never offers anything.
    for (const std::wstring& address : {std::wstring(), missing.Path() + L"\\"}) {
        zltest::SeamRecorder rec;
        zl::ScopedSeams seams(rec.seams);
        RunWorker(address, true, install.Path());
        ASSERT_EQ(rec.Boxes().size(), 1u);
        EXPECT_EQ(rec.Boxes()[0].text.rfind(L"检查更新失败：\n", 0), 0u);
        EXPECT_EQ(rec.Boxes()[0].type, static_cast<UINT>(MB_ICONWARNING | MB_TOPMOST));
    }
}

TEST(UpdateCheck, YesWithoutTheUpdaterOpensThePageFromAnApartment) {
    zltest::TempDir install;
    const struct {
        std::string manifest;
        bool local;
        std::wstring opened;  // empty: the configured address
    } cases[] = {
        {"version=9\nurl=https://example.com/setup.exe\n", true, L"https://example.com/setup.exe"},
        {"version=9\n", true, L""},
    };
    for (const auto& c : cases) {
        Published pub(c.manifest);
        zltest::SeamRecorder rec;
        rec.boxAnswer = IDYES;
        zl::ScopedSeams seams(rec.seams);
        RunWorker(pub.Address(), false, install.Path());
        ASSERT_EQ(rec.Shells().size(), 1u);
        const zltest::ShellCall call = rec.Shells()[0];
        EXPECT_EQ(call.verb, L"open");
        EXPECT_EQ(call.file, c.opened.empty() ? pub.Address() : c.opened);
        EXPECT_EQ(call.comState, S_FALSE);  // the worker had its apartment before the shell
    }
}

// The stand-in program beside the install folder's files; removed with the folder.
struct StandIn {
    HANDLE started = CreateEventW(nullptr, TRUE, FALSE, L"ZlTestUpdaterStarted");
    zltest::ScopedEnv env{L"ZLTEST_UPDATER_EVENT", L"ZlTestUpdaterStarted"};
    explicit StandIn(const std::wstring& dir) {
        CopyFileW(ZLTEST_UPDATER_STANDIN, (dir + L"\\zlupd.exe").c_str(), FALSE);
    }
    ~StandIn() { CloseHandle(started); }
    bool Ran() { return WaitForSingleObject(started, 20000) == WAIT_OBJECT_0; }
};

TEST(UpdateCheck, YesStartsTheUpdaterInItsFolder) {
    zltest::TempDir install;
    StandIn standIn(install.Path());
    Published pub("version=9\n");
    zltest::SeamRecorder rec;
    rec.boxAnswer = IDYES;
    rec.seams.shellExecute = zl::Seams::Real().shellExecute;
    zl::ScopedSeams seams(rec.seams);
    RunWorker(pub.Address(), true, install.Path());
    ASSERT_TRUE(standIn.Ran());
    // Its working folder is the install folder.
    EXPECT_NE(GetFileAttributesW(install.File(L"started.txt").c_str()), INVALID_FILE_ATTRIBUTES);
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
        EXPECT_EQ(f.S().engine.config.lastCheck, c.runs ? now : 0);
        EXPECT_TRUE(f.rec.Boxes().empty());
    }
    // Without an address the automatic check is silent.
    BareService f;
    f.S().config.updateUrl.clear();
    f.S()._CheckUpdate(false);
    EXPECT_TRUE(f.rec.Boxes().empty());
    EXPECT_EQ(f.Saved().lastCheck, 0);
}

TEST(UpdateCheck, ManualCheckStartsTheUpdaterAndRecordsNothing) {
    zltest::TempDir install;
    StandIn standIn(install.Path());
    // The component's module stands in that folder.
    HMODULE module =
        LoadLibraryExW(install.File(L"zlupd.exe").c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(module, nullptr);
    {
        BareService f;
        f.rec.seams.shellExecute = zl::Seams::Real().shellExecute;
        zl::ScopedSeams real(f.rec.seams);
        g_hInst = module;
        f.S()._CheckUpdate(true);
        g_hInst = GetModuleHandleW(nullptr);
        EXPECT_TRUE(standIn.Ran());
        EXPECT_TRUE(f.rec.Boxes().empty());
        EXPECT_EQ(GetFileAttributesW(f.S().config.Path().c_str()), INVALID_FILE_ATTRIBUTES);
    }
    FreeLibrary(module);
}

TEST(Purge, ThreadRunsOncePerProcessAndFreesItsCopy) {
    zltest::TempDir plain;  // not an installation: the purge leaves it alone
    ASSERT_TRUE(zltest::WriteBytes(plain.File(L"report.new.docx"), std::string("x")));
    EXPECT_TRUE(zl::PurgeBackupsAsync(plain.Path()));
    EXPECT_FALSE(zl::PurgeBackupsAsync(plain.Path()));
    EXPECT_FALSE(zl::PurgeBackupsAsync(L"C:\\elsewhere"));

    zltest::TempDir install;
    ASSERT_TRUE(zltest::WriteBytes(install.File(L"zlwb64.dll"), std::string("MZ")));
    ASSERT_TRUE(zltest::WriteBytes(install.File(L"zlwb64.dll.OLD"), std::string("MZ")));
    const std::wstring folder = install.Path();
    wchar_t* copy = new wchar_t[folder.size() + 1];
    wmemcpy(copy, folder.c_str(), folder.size() + 1);
    zltest::RunOnFreshThread(zl::PurgeProc, copy);
    EXPECT_EQ(GetFileAttributesW(install.File(L"zlwb64.dll.OLD").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(install.File(L"zlwb64.dll").c_str()), INVALID_FILE_ATTRIBUTES);
    zltest::RunOnFreshThread(zl::PurgeProc, nullptr);
}

TEST(UpdateRule, PageAddressFromANetworkManifestMustBeWeb) {
    const std::wstring web = L"https://up.example.com/downloads/update/";
    const std::wstring local = L"C:\\updates\\";
    const struct {
        std::wstring configured, manifestUrl, opened;
    } cases[] = {
        {web, L"https://up.example.com/setup.exe", L"https://up.example.com/setup.exe"},
        {web, L"HTTP://up.example.com/s.exe", L"HTTP://up.example.com/s.exe"},
        {web, L"", web},
        {web, L"\\\\evil\\share\\setup.exe", web},
        {web, L"file:///C:/Windows/system32/calc.exe", web},
        {web, L"C:\\Windows\\notepad.exe", web},
        {L"  " + web, L"C:\\x.exe", L"  " + web},
        {local, L"C:\\updates\\setup.exe", L"C:\\updates\\setup.exe"},
        {local, L"", local},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(zl::UpdatePageAddress(c.configured, c.manifestUrl), c.opened) << c.manifestUrl;
    }
}

}  // namespace
