// Manifests and downloads over HTTP, against the local server of http_fixture.py.
#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <string>
#include <utility>
#include <vector>

#include "Crc32.h"
#include "Download.h"
#include "Fetch.h"
#include "TempDir.h"
#include "Version.h"

namespace {

// The body bytes of the server's /bytes, /nolength, /short and /slow routes.
std::string Pattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 31 + 7) & 0xFF);
    return s;
}

class HttpTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::vector<uint8_t> port;
        if (zltest::ReadBytes(std::wstring(ZL_HTTP_DIR) + L"\\port", port)) {
            base_ = L"http://127.0.0.1:" + std::wstring(port.begin(), port.end());
        }
    }

    void SetUp() override { ASSERT_FALSE(base_.empty()) << "the test server is not running"; }

    static std::wstring Url(const std::wstring& path) { return base_ + path; }

    // Writes a file the server offers under /files/<name> and /lm/<name>.
    static void Serve(const std::wstring& name, const std::string& bytes) {
        std::wstring path = std::wstring(ZL_HTTP_DIR) + L"\\root";
        CreateDirectoryW(path.c_str(), nullptr);
        size_t start = 0;
        for (size_t slash; (slash = name.find(L'/', start)) != std::wstring::npos; start = slash + 1) {
            CreateDirectoryW((path + L"\\" + name.substr(0, slash)).c_str(), nullptr);
        }
        ASSERT_TRUE(zltest::WriteBytes(path + L"\\" + name, bytes));
    }

    static bool Exists(const std::wstring& path) {
        return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    static std::wstring base_;
    zltest::TempDir dir_;
};

std::wstring HttpTest::base_;

}  // namespace

TEST_F(HttpTest, UpdateInfoFromTheAddressForms) {
    Serve(L"u1/version.txt", "version=4.6.0\nurl=setup.exe\ninc=/inc/manifest.txt\nnotes=n\n");
    const std::wstring folder = Url(L"/files/u1/");
    for (const std::wstring& address :
         {folder, L" " + Url(L"/files/u1") + L" ", Url(L"/files/u1?x=1#f"),
          L"HTTP" + Url(L"/files/u1/version.txt").substr(4)}) {
        zl::UpdateInfo info;
        std::wstring err;
        ASSERT_TRUE(zl::FetchUpdateInfo(address, &info, &err)) << address << L": " << err;
        EXPECT_EQ(info.version, L"4.6.0");
        EXPECT_EQ(info.notes, L"n");
        EXPECT_EQ(info.incManifest.substr(info.incManifest.find(L"/files")),
                  L"/files/u1/inc/manifest.txt");
        EXPECT_EQ(info.url.substr(info.url.find(L"/files")), L"/files/u1/setup.exe");
        EXPECT_TRUE(err.empty());
    }
    // A server name with a dot and no path is fetched as it stands: the root is 404 here.
    zl::UpdateInfo info;
    std::wstring err;
    EXPECT_FALSE(zl::FetchUpdateInfo(base_, &info, &err));
    EXPECT_EQ(err, L"更新服务器返回 HTTP 404");
}

TEST_F(HttpTest, StatusCodesRedirectsAndEmptyBodies) {
    Serve(L"u2/version.txt", "version=5\nurl=a.exe");
    zl::UpdateInfo info;
    std::wstring err;
    for (int code : {404, 500, 403}) {
        EXPECT_FALSE(zl::FetchUpdateInfo(Url(L"/status/" + std::to_wstring(code) + L"/x.txt"),
                                         &info, &err));
        EXPECT_EQ(err, L"更新服务器返回 HTTP " + std::to_wstring(code));
    }
    EXPECT_FALSE(zl::FetchUpdateInfo(Url(L"/empty/version.txt"), &info, &err));
    EXPECT_EQ(err, L"更新文件内容为空");
    EXPECT_FALSE(zl::FetchUpdateInfo(Url(L"/bytes/100/version.txt"), &info, &err));
    EXPECT_EQ(err, L"更新信息格式不正确（应包含 version= 与 url=）");
    for (int code : {301, 302, 307}) {
        const std::wstring address =
            Url(L"/redirect/" + std::to_wstring(code) + L"/files/u2/version.txt");
        ASSERT_TRUE(zl::FetchUpdateInfo(address, &info, &err)) << code << L" " << err;
        EXPECT_EQ(info.version, L"5");
        // Resolved against the address asked for, not the redirect's target.
        EXPECT_EQ(info.url, Url(L"/redirect/" + std::to_wstring(code) + L"/files/u2/a.exe"));
    }
}

TEST_F(HttpTest, ManifestReadIsCappedAndTruncationFails) {
    std::string out;
    std::wstring err;
    ASSERT_TRUE(zl::HttpGet(Url(L"/bytes/100000"), &out, &err, nullptr)) << err;
    EXPECT_GT(out.size(), 65535u);
    EXPECT_LE(out.size(), 65535u + 4096u);
    EXPECT_EQ(out, Pattern(out.size()));

    ASSERT_TRUE(zl::HttpGet(Url(L"/nolength/3000"), &out, &err, nullptr)) << err;
    EXPECT_EQ(out.size(), 3000u);

    // A body shorter than its Content-Length would parse as a manifest without its tail.
    out = "unchanged";
    EXPECT_FALSE(zl::HttpGet(Url(L"/short/1000/10"), &out, &err, nullptr));
    EXPECT_EQ(err, L"更新文件下载不完整（连接中断）");
    EXPECT_EQ(out, "unchanged");
}

TEST_F(HttpTest, RequestsCarryTheUserAgent) {
    std::string out;
    std::wstring err;
    ASSERT_TRUE(zl::HttpGet(Url(L"/header/User-Agent"), &out, &err, nullptr)) << err;
    EXPECT_EQ(out, "ZelunWubi-Updater");
    const std::wstring dest = dir_.File(L"ua.txt");
    ASSERT_TRUE(zl::DownloadFile(Url(L"/header/User-Agent"), dest, {}, &err)) << err;
    std::vector<uint8_t> got;
    ASSERT_TRUE(zltest::ReadBytes(dest, got));
    EXPECT_EQ(std::string(got.begin(), got.end()), "ZelunWubi-Updater");
}

TEST_F(HttpTest, IncManifestStampAndResolution) {
    Serve(L"u3/inc/manifest.txt",
          "version=4.6.0\nbuild=20250101120000\nfile=zlwb64.dll|5|0|files/zlwb64.dll|x64\n"
          "file=data/zlwb.dat|7|0|https://mirror.example/zlwb.dat\nfile=readme.txt|1\n");
    zl::IncManifest man;
    std::wstring err, stamp = L"stale";
    ASSERT_TRUE(zl::FetchIncManifest(Url(L"/files/u3/inc/manifest.txt"), &man, &err, &stamp)) << err;
    EXPECT_EQ(stamp, L"");  // no Last-Modified header
    ASSERT_EQ(man.files.size(), 3u);
    EXPECT_EQ(man.files[0].url, Url(L"/files/u3/inc/files/zlwb64.dll"));
    EXPECT_EQ(man.files[1].url, L"https://mirror.example/zlwb.dat");
    EXPECT_EQ(man.files[2].url, L"");

    ASSERT_TRUE(zl::FetchIncManifest(Url(L"/lm/u3/inc/manifest.txt"), &man, &err, &stamp)) << err;
    WIN32_FILE_ATTRIBUTE_DATA fa;
    ASSERT_TRUE(GetFileAttributesExW(
        (std::wstring(ZL_HTTP_DIR) + L"\\root\\u3\\inc\\manifest.txt").c_str(),
        GetFileExInfoStandard, &fa));
    EXPECT_EQ(stamp, zl::StampFromUtcFileTime(fa.ftLastWriteTime));

    stamp = L"kept";
    EXPECT_FALSE(zl::FetchIncManifest(Url(L"/status/404"), &man, &err, &stamp));
    EXPECT_EQ(stamp, L"kept");
}

TEST_F(HttpTest, RemoteManifestsMayNotNameLocalPaths) {
    zl::UpdateInfo info{L"keep", L"", L"", L""};
    std::wstring err;
    const struct {
        const char* text;
        const wchar_t* address;
    } infos[] = {
        {"version=5\nurl=\\\\share\\setup.exe", L"\\\\share\\setup.exe"},
        {"version=5\nurl=C:\\setup.exe", L"C:\\setup.exe"},
        {"version=5\ninc=file:///C:/inc/manifest.txt", L"file:///C:/inc/manifest.txt"},
        {"version=5\ninc=\\\\share\\manifest.txt", L"\\\\share\\manifest.txt"},
    };
    int n = 0;
    for (const auto& c : infos) {
        const std::wstring name = L"u4/" + std::to_wstring(n++) + L"/version.txt";
        Serve(name, c.text);
        EXPECT_FALSE(zl::FetchUpdateInfo(Url(L"/files/" + name), &info, &err)) << c.text;
        EXPECT_EQ(err, std::wstring(L"更新信息中含有不允许的地址：") + c.address);
    }
    EXPECT_EQ(info.version, L"keep");

    Serve(L"u4/manifest.txt", "file=a.dll|1|0|files/a.dll\nfile=b.dll|1|0|D:\\pkg\\b.dll\n");
    zl::IncManifest man;
    EXPECT_FALSE(zl::FetchIncManifest(Url(L"/files/u4/manifest.txt"), &man, &err));
    EXPECT_EQ(err, L"更新信息中含有不允许的地址：D:\\pkg\\b.dll");
    EXPECT_TRUE(man.files.empty());
}

TEST_F(HttpTest, DownloadReportsProgressAgainstContentLength) {
    const std::wstring dest = dir_.File(L"a.bin");
    ASSERT_TRUE(zltest::WriteBytes(dest, std::string(300000, 'x')));  // replaced whole
    std::vector<std::pair<uint64_t, uint64_t>> calls;
    zl::ProgressCallback cb = [&](uint64_t d, uint64_t t) {
        calls.emplace_back(d, t);
        return true;
    };
    std::wstring err;
    ASSERT_TRUE(zl::DownloadFile(Url(L"/bytes/200000"), dest, cb, &err, 200000)) << err;
    ASSERT_FALSE(calls.empty());
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].second, 200000u);
        if (i > 0) {
            EXPECT_GT(calls[i].first, calls[i - 1].first);
        }
    }
    EXPECT_EQ(calls.back().first, 200000u);
    uint32_t crc = 0;
    uint64_t size = 0;
    ASSERT_TRUE(zl::Crc32File(dest, &crc, &size));
    const std::string want = Pattern(200000);
    EXPECT_EQ(size, 200000u);
    EXPECT_EQ(crc, zl::Crc32(0, want.data(), want.size()));
    EXPECT_FALSE(Exists(dest + L".part"));

    // Without Content-Length the total is what arrived so far.
    calls.clear();
    ASSERT_TRUE(zl::DownloadFile(Url(L"/nolength/150000"), dest, cb, &err)) << err;
    ASSERT_FALSE(calls.empty());
    for (const auto& c : calls) EXPECT_EQ(c.first, c.second);
    EXPECT_EQ(calls.back().first, 150000u);

    // Redirects are followed; an empty callback is fine.
    ASSERT_TRUE(zl::DownloadFile(Url(L"/redirect/302/bytes/5000"), dest, {}, &err)) << err;
    ASSERT_TRUE(zl::Crc32File(dest, &crc, &size));
    EXPECT_EQ(size, 5000u);
}

TEST_F(HttpTest, FailedDownloadsLeaveNoFileUnderTheTargetName) {
    const std::wstring dest = dir_.File(L"b.bin");
    std::wstring err;
    const struct {
        std::wstring path;
        uint64_t expected;
        std::wstring message;  // prefix
    } cases[] = {
        {L"/short/100000/5000", 0, L"下载"},  // a size mismatch or a read error
        {L"/short/100000/5000", 100000, L"下载"},
        {L"/bytes/1000", 999, L"下载的文件大小不正确（收到 1000 字节，应为 999 字节）"},
        {L"/nolength/1000", 2000, L"下载的文件大小不正确（收到 1000 字节，应为 2000 字节）"},
        {L"/nolength/3000", 2000, L"下载的文件大小不正确（收到 "},
        {L"/short/600000000/10", 0, L"下载的文件超过允许的大小"},
        {L"/short/600000000/10", 600000000, L"下载的文件超过允许的大小"},  // a manifest cannot lift it
        {L"/status/404", 0, L"更新服务器返回 HTTP 404"},
        {L"/redirect/302/status/500", 0, L"更新服务器返回 HTTP 500"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(zl::DownloadFile(Url(c.path), dest, {}, &err, c.expected)) << c.path;
        EXPECT_EQ(err.substr(0, c.message.size()), c.message) << c.path << L": " << err;
        EXPECT_FALSE(Exists(dest)) << c.path;
        EXPECT_FALSE(Exists(dest + L".part")) << c.path;
    }
    // A short body never replaces a good file of an earlier run.
    ASSERT_TRUE(zltest::WriteBytes(dest, std::string("good")));
    EXPECT_FALSE(zl::DownloadFile(Url(L"/short/100000/5000"), dest, {}, &err));
    std::vector<uint8_t> kept;
    ASSERT_TRUE(zltest::ReadBytes(dest, kept));
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "good");

    EXPECT_FALSE(zl::DownloadFile(L"http://127.0.0.1:1/x.bin", dest, {}, &err));
    EXPECT_EQ(err, L"无法连接更新服务器");
    std::wstring direct;
    EXPECT_FALSE(zl::DownloadHttp(L"", dest, {}, INTERNET_OPEN_TYPE_DIRECT, &direct));
    EXPECT_EQ(direct, L"下载地址为空");
}

TEST_F(HttpTest, CancelMidDownload) {
    const std::wstring dest = dir_.File(L"c.bin");
    const std::wstring tag = L"cancel-" + std::to_wstring(GetCurrentProcessId());
    int calls = 0;
    zl::ProgressCallback cancel = [&](uint64_t d, uint64_t t) {
        ++calls;
        EXPECT_EQ(t, 1048576u);
        EXPECT_LT(d, t);
        return false;
    };
    std::wstring err;
    EXPECT_FALSE(zl::DownloadFile(Url(L"/gated/1048576/" + tag), dest, cancel, &err));
    EXPECT_EQ(err, L"已取消");
    EXPECT_EQ(calls, 1);
    // The server holds the rest of the body back until it is released: had the download
    // read on (or drained the body when closing), it could not have returned before this.
    std::string answer;
    std::wstring fetchErr;
    ASSERT_TRUE(zl::HttpGet(Url(L"/release/" + tag), &answer, &fetchErr, nullptr)) << fetchErr;
    EXPECT_EQ(answer, "held");
    // A cancel makes no second connection.
    ASSERT_TRUE(zl::HttpGet(Url(L"/count/" + tag), &answer, &fetchErr, nullptr)) << fetchErr;
    EXPECT_EQ(answer, "1");
    EXPECT_FALSE(Exists(dest));
    EXPECT_FALSE(Exists(dest + L".part"));
}

TEST_F(HttpTest, NoSecondConnectionAfterALocalWriteFailure) {
    const std::wstring dest = dir_.File(L"no-such-folder\\d.bin");
    std::wstring err;
    bool noRetry = false;
    EXPECT_FALSE(zl::DownloadHttp(Url(L"/bytes/100"), dest, {}, INTERNET_OPEN_TYPE_DIRECT, &err, 0, &noRetry));
    EXPECT_TRUE(noRetry);
    EXPECT_EQ(err.rfind(L"无法写入临时文件：", 0), 0u);
    // A failure on the network side may be tried again over another connection.
    EXPECT_FALSE(zl::DownloadHttp(Url(L"/status/404"), dir_.File(L"e.bin"), {}, INTERNET_OPEN_TYPE_DIRECT, &err, 0,
                                  &noRetry));
    EXPECT_FALSE(noRetry);
}
