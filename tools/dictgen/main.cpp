// zldictgen: writes zlwb.dat from the Wubi-86 and pinyin tables in Rime's format.
//   zldictgen --wubi FILE --pinyin FILE --out FILE [--all-chars]
#include <windows.h>

#include <cstdio>
#include <string>

#include "DictBuild.h"
#include "WholeFile.h"

namespace {

std::string Narrow(const std::wstring& w) {
    if (w.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

int Fail(const std::wstring& file, const std::string& message) {
    std::fprintf(stderr, "zldictgen: %s: %s\n", Narrow(file).c_str(), message.c_str());
    return 1;
}

bool ReadTable(const std::wstring& path, std::vector<zl::RimeRow>& rows, std::string& error) {
    std::string content;
    if (zl::ReadWholeFile(path, content) != zl::FileRead::Read) {
        error = "cannot read the file";
        return false;
    }
    return zl::ParseRimeTable(content, rows, error);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring wubiPath, pinyinPath, outPath;
    zl::DictBuildOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::wstring a = argv[i];
        if (a == L"--all-chars") {
            options.allCharacters = true;
        } else if (i + 1 < argc && a == L"--wubi") {
            wubiPath = argv[++i];
        } else if (i + 1 < argc && a == L"--pinyin") {
            pinyinPath = argv[++i];
        } else if (i + 1 < argc && a == L"--out") {
            outPath = argv[++i];
        } else {
            std::fprintf(stderr, "usage: zldictgen --wubi FILE --pinyin FILE --out FILE [--all-chars]\n");
            return 2;
        }
    }
    if (wubiPath.empty() || pinyinPath.empty() || outPath.empty()) {
        std::fprintf(stderr, "usage: zldictgen --wubi FILE --pinyin FILE --out FILE [--all-chars]\n");
        return 2;
    }

    std::vector<zl::RimeRow> wubi, pinyin;
    std::string error;
    if (!ReadTable(wubiPath, wubi, error)) return Fail(wubiPath, error);
    if (!ReadTable(pinyinPath, pinyin, error)) return Fail(pinyinPath, error);

    zl::DictWriter writer;
    zl::DictBuildStats stats;
    if (!zl::BuildDictSources(wubi, pinyin, options, writer, stats, error))
        return Fail(error.compare(0, 4, "wubi") == 0 ? wubiPath : pinyinPath, error);

    std::vector<uint8_t> bytes;
    if (!writer.Build(bytes, error)) return Fail(outPath, error);
    // A failed run never leaves a half dictionary under the final name.
    if (!zl::SaveWholeFile(outPath, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
        return Fail(outPath, "cannot write the output file");

    std::printf("zldictgen: %zu Wubi and %zu pinyin entries, %zu non-GBK rows dropped, %zu duplicates merged, %zu bytes\n",
                stats.wubiEntries, stats.pinyinEntries, stats.droppedNonGbk, stats.duplicates, bytes.size());
    return 0;
}
