// zlsavebench: cost of a counted use once more than 8000 texts are known (each asks the
// background writer for a save of user.dat), of the flush at focus loss and of the load,
// for 8001 and 100000 known texts.
//   zlsavebench [--repeat N]
// Saves into a fresh folder under %TEMP% (ZLWB_USERDIR points there while it runs).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Engine.h"
#include "LearnFormat.h"
#include "UserTexts.h"

namespace {

double NowMs() {
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

struct Row {
    double mean, median, p90, max;
};

Row Summarise(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms) sum += v;
    return {sum / ms.size(), ms[ms.size() / 2], ms[ms.size() * 9 / 10], ms.back()};
}

void Print(const char* what, size_t texts, size_t bytes, const Row& r) {
    std::printf("%-22s %8zu %9zu %8.3f %8.3f %8.3f %8.3f\n", what, texts, bytes, r.mean, r.median, r.p90, r.max);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int repeat = 200;
    for (int i = 1; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"--repeat" && i + 1 < argc)
            repeat = std::max(1, _wtoi(argv[++i]));
        else {
            std::fprintf(stderr, "usage: zlsavebench [--repeat N]\n");
            return 2;
        }
    }

    wchar_t temp[MAX_PATH];
    const DWORD n = GetTempPathW(MAX_PATH, temp);
    if (n == 0 || n >= MAX_PATH) return 1;
    const std::wstring folder = std::wstring(temp) + L"zlsavebench-" + std::to_wstring(GetCurrentProcessId());
    if (!CreateDirectoryW(folder.c_str(), nullptr)) return 1;
    SetEnvironmentVariableW(L"ZLWB_USERDIR", folder.c_str());

    std::printf("%-22s %8s %9s %8s %8s %8s %8s\n", "step", "texts", "bytes", "mean ms", "median", "p90", "max");
    for (size_t texts : {size_t{8001}, size_t{100000}}) {
        zl::Engine engine;
        for (size_t i = 0; engine.userFreq.size() < texts; ++i) engine.userFreq[zlbench::UserText(i)] = 1 + i % 50;
        const std::wstring known = engine.userFreq.begin()->first;

        std::vector<double> format, use;
        std::string bytes;
        for (int r = 0; r < repeat; ++r) {
            const double t0 = NowMs();
            zl::FormatUseCounts(engine.userFreq, bytes);
            format.push_back(NowMs() - t0);
        }
        // The first use above 8000 texts hands the counts to the background writer
        // (a heavy user's counts are handed over when they load instead).
        const double h0 = NowMs();
        engine.Learn(known);
        const double handOver = NowMs() - h0;
        for (int r = 0; r < repeat; ++r) {
            const double t0 = NowMs();
            engine.Learn(known);  // counts and asks for a save: what one commit pays
            use.push_back(NowMs() - t0);
        }
        const double f0 = NowMs();
        engine.SaveUser();  // the flush at focus loss
        const double flush = NowMs() - f0;
        if (engine.userDirty) {
            std::fprintf(stderr, "zlsavebench: save failed\n");
            return 1;
        }
        zl::Engine reloaded;
        const double l0 = NowMs();
        reloaded.LoadUser();
        const double load = NowMs() - l0;
        Print("format only", texts, bytes.size(), Summarise(format));
        Print("counted use", texts, bytes.size(), Summarise(use));
        Print("first use (hand-over)", texts, bytes.size(), {handOver, handOver, handOver, handOver});
        Print("flush after the burst", texts, bytes.size(), {flush, flush, flush, flush});
        Print("load at activation", texts, bytes.size(), {load, load, load, load});
    }

    DeleteFileW((folder + L"\\user.dat").c_str());
    RemoveDirectoryW(folder.c_str());
    return 0;
}
