// Manifests and files read from a local folder (the same code serves UNC shares).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "Download.h"
#include "Fetch.h"
#include "TempDir.h"
#include "Version.h"

namespace {

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

TEST(FetchUpdateInfo, LocalFolderAndFile) {
    zltest::TempDir dir;
    ASSERT_TRUE(zltest::WriteBytes(dir.File(L"version.txt"),
                                   std::string("version=4.6.0\nurl=setup.exe\ninc=inc/manifest.txt\n")));
    for (const std::wstring& address :
         {dir.Path() + L"\\", L"  " + dir.Path() + L"/ ", dir.File(L"version.txt")}) {
        zl::UpdateInfo info;
        std::wstring err;
        ASSERT_TRUE(zl::FetchUpdateInfo(address, &info, &err)) << err;
        EXPECT_EQ(info.version, L"4.6.0");
        const std::wstring folder = address.find(L"/ ") != std::wstring::npos
                                        ? dir.Path() + L"/"
                                        : dir.Path() + L"\\";
        EXPECT_EQ(info.url, folder + L"setup.exe");
        EXPECT_EQ(info.incManifest, folder + L"inc/manifest.txt");
        EXPECT_TRUE(err.empty());
    }
}

TEST(FetchUpdateInfo, LocalFailures) {
    zltest::TempDir dir;
    zl::UpdateInfo info{L"keep", L"", L"", L""};
    std::wstring err;
    EXPECT_FALSE(zl::FetchUpdateInfo(L" \t", &info, &err));
    EXPECT_EQ(err, L"未配置更新地址");
    EXPECT_FALSE(zl::FetchUpdateInfo(dir.Path(), &info, &err));
    EXPECT_EQ(err, L"无法打开更新文件：" + dir.Path());
    EXPECT_FALSE(zl::FetchUpdateInfo(L"http://", &info, &err));
    EXPECT_EQ(err, L"无法打开更新文件：http://version.txt");
    ASSERT_TRUE(zltest::WriteBytes(dir.File(L"version.txt"), std::string()));
    EXPECT_FALSE(zl::FetchUpdateInfo(dir.Path() + L"\\", &info, &err));
    EXPECT_EQ(err, L"更新文件内容为空：" + dir.File(L"version.txt"));
    ASSERT_TRUE(zltest::WriteBytes(dir.File(L"version.txt"), std::string("url=x\n")));
    EXPECT_FALSE(zl::FetchUpdateInfo(dir.Path() + L"\\", &info, &err));
    EXPECT_EQ(err, L"更新信息格式不正确（应包含 version= 与 url=）");
    EXPECT_EQ(info.version, L"keep");
    EXPECT_FALSE(zl::FetchUpdateInfo(dir.Path() + L"\\", nullptr, &err));
    EXPECT_FALSE(zl::FetchUpdateInfo(L"", &info));  // no error string wanted
}

TEST(FetchIncManifest, LocalPathsMayNameLocalFiles) {
    zltest::TempDir dir;
    const std::wstring path = dir.File(L"manifest.txt");
    ASSERT_TRUE(zltest::WriteBytes(
        path, std::string("version=4.6.0\nfile=a.dll|3|0|files/a.dll|x64\n"
                          "file=b.dll|3|0|\\\\share\\b.dll\nfile=c.dll|3|0\n")));
    zl::IncManifest man;
    std::wstring err, stamp = L"old";
    ASSERT_TRUE(zl::FetchIncManifest(path, &man, &err, &stamp)) << err;
    ASSERT_EQ(man.files.size(), 3u);
    EXPECT_EQ(man.files[0].url, dir.Path() + L"\\files/a.dll");
    EXPECT_EQ(man.files[1].url, L"\\\\share\\b.dll");
    EXPECT_EQ(man.files[2].url, L"");

    WIN32_FILE_ATTRIBUTE_DATA fa;
    ASSERT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &fa));
    EXPECT_EQ(stamp, zl::StampFromUtcFileTime(fa.ftLastWriteTime));

    // The stamp is stored before the parse, so a bad manifest still reports it.
    ASSERT_TRUE(zltest::WriteBytes(path, std::string("version=1\n")));
    stamp.clear();
    EXPECT_FALSE(zl::FetchIncManifest(path, &man, &err, &stamp));
    EXPECT_EQ(err, L"增量清单格式不正确");
    EXPECT_EQ(stamp.size(), 14u);
    EXPECT_EQ(man.files.size(), 3u);

    EXPECT_FALSE(zl::FetchIncManifest(L"", &man, &err));
    EXPECT_EQ(err, L"未提供增量清单地址");
    stamp = L"kept";
    EXPECT_FALSE(zl::FetchIncManifest(dir.File(L"none.txt"), &man, &err, &stamp));
    EXPECT_EQ(err, L"无法打开更新文件：" + dir.File(L"none.txt"));
    EXPECT_EQ(stamp, L"kept");
}

TEST(ReadLocal, ReadsAtMost64KiB) {
    zltest::TempDir dir;
    std::string big(70000, 'a');
    big[65535] = 'z';
    ASSERT_TRUE(zltest::WriteBytes(dir.File(L"big"), big));
    std::string out;
    std::wstring err;
    ASSERT_TRUE(zl::ReadLocal(dir.File(L"big"), &out, &err, nullptr));
    EXPECT_EQ(out.size(), 65536u);
    EXPECT_EQ(out.back(), 'z');

    // A manifest over the cap is parsed as far as it was read.
    std::string man = "version=1\nnotes=" + std::string(65530, 'n') + "\nfile=late|1\n";
    std::string head = "file=first|1\n";
    ASSERT_TRUE(zltest::WriteBytes(dir.File(L"m.txt"), head + man));
    zl::IncManifest parsed;
    ASSERT_TRUE(zl::FetchIncManifest(dir.File(L"m.txt"), &parsed, &err));
    ASSERT_EQ(parsed.files.size(), 1u);
    EXPECT_EQ(parsed.files[0].path, L"first");
}

TEST(DownloadFile, LocalCopy) {
    zltest::TempDir dir;
    const std::string data(100000, 'q');
    ASSERT_TRUE(zltest::WriteBytes(dir.File(L"src.bin"), data));
    std::vector<std::pair<uint64_t, uint64_t>> calls;
    zl::ProgressCallback cancel = [&](uint64_t d, uint64_t t) {
        calls.emplace_back(d, t);
        return false;  // ignored for a copy
    };
    std::wstring err;
    ASSERT_TRUE(zl::DownloadFile(dir.File(L"src.bin"), dir.File(L"dst.bin"), cancel, &err));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], std::make_pair(uint64_t{1}, uint64_t{1}));
    std::vector<uint8_t> got;
    ASSERT_TRUE(zltest::ReadBytes(dir.File(L"dst.bin"), got));
    EXPECT_EQ(got.size(), data.size());

    ASSERT_TRUE(zl::DownloadFile(dir.File(L"src.bin"), dir.File(L"dst2.bin"), {}, &err,
                                 data.size()));

    EXPECT_FALSE(zl::DownloadFile(dir.File(L"none"), dir.File(L"dst3.bin"), {}, &err));
    EXPECT_EQ(err, L"复制失败：" + dir.File(L"none"));
    EXPECT_FALSE(Exists(dir.File(L"dst3.bin")));

    // A target that cannot be written (a folder stands in its place, or its folder is
    // missing): the message names the source, never the temporary file.
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"taken").c_str(), nullptr));
    for (const std::wstring& target : {dir.File(L"taken"), dir.File(L"no\\such\\dst.bin")}) {
        err.clear();
        EXPECT_FALSE(zl::DownloadFile(dir.File(L"src.bin"), target, {}, &err));
        EXPECT_EQ(err, L"复制失败：" + dir.File(L"src.bin")) << target;
        EXPECT_FALSE(Exists(target + L".part"));
    }
}

TEST(DownloadFile, LocalCopyOfTheWrongSizeIsRefused) {
    zltest::TempDir dir;
    ASSERT_TRUE(zltest::WriteBytes(dir.File(L"src.bin"), std::string(10, 'q')));
    ASSERT_TRUE(zltest::WriteBytes(dir.File(L"dst.bin"), std::string("previous")));
    std::wstring err;
    EXPECT_FALSE(zl::DownloadFile(dir.File(L"src.bin"), dir.File(L"dst.bin"), {}, &err, 11));
    EXPECT_EQ(err, L"下载的文件大小不正确（收到 10 字节，应为 11 字节）");
    std::vector<uint8_t> got;
    ASSERT_TRUE(zltest::ReadBytes(dir.File(L"dst.bin"), got));
    EXPECT_EQ(std::string(got.begin(), got.end()), "previous");
    EXPECT_FALSE(Exists(dir.File(L"dst.bin.part")));
}

// Files on a share or a disc are often read-only. The copy is the caller's working file:
// it must be replaceable by the next copy and removable afterwards.
TEST(DownloadFile, LocalCopyOfAReadOnlySourceIsAnOrdinaryFile) {
    zltest::TempDir dir;
    const std::wstring src = dir.File(L"src.bin");
    const std::wstring dst = dir.File(L"dst.bin");
    ASSERT_TRUE(zltest::WriteBytes(src, std::string(10, 'q')));
    ASSERT_TRUE(SetFileAttributesW(src.c_str(), FILE_ATTRIBUTE_READONLY));
    std::wstring err;
    ASSERT_TRUE(zl::DownloadFile(src, dst, {}, &err, 10)) << err;
    ASSERT_TRUE(zl::DownloadFile(src, dst, {}, &err, 10)) << err;
    EXPECT_EQ(GetFileAttributesW(dst.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_TRUE(DeleteFileW(dst.c_str()));
    SetFileAttributesW(src.c_str(), FILE_ATTRIBUTE_NORMAL);
}
