// zlbench: time per key of the composition engine on a dictionary, learning on.
//   zlbench --dict PATH\zlwb.dat [--keys FILE]... [--repeat N]
// Without --keys the shared Wubi and pinyin key files are replayed. Each key file runs in
// all three schemes, twice (the first pass, then again with warm caches); then the built-in
// worst cases run, then the first key file again in Wubi with 100,000 texts in user.dat.
// The learning files live in a fresh folder under %TEMP%.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "KeyReplay.h"
#include "LearnFormat.h"
#include "UserTexts.h"
#include "WholeFile.h"

using namespace zlbench;

namespace {

const char* const kSchemeNames[] = {"wubi", "pinyin", "mixed"};

double NowMs() {
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w) s.push_back(c < 128 ? static_cast<char>(c) : '?');
    return s;
}

// A fresh engine started as the input method starts it, with the default settings and
// the learning files of the user folder; loadMs: the time one load of the dictionary
// takes. Typing starts once the start's background work is done (the dictionary's
// warm-up, a heavy user's hand-over to the writer), as it does when a user starts typing
// a moment after the input method starts.
std::unique_ptr<zl::Engine> Open(const std::wstring& dict, zl::Mode mode, double& loadMs) {
    {
        zl::Dict probe;
        const double t0 = NowMs();
        const bool ok = probe.Load(dict);
        loadMs = NowMs() - t0;
        if (!ok) return nullptr;
    }
    auto engine = std::make_unique<zl::Engine>();
    engine->mode = mode;
    const double t0 = NowMs();
    if (!engine->Init(dict.substr(0, dict.find_last_of(L"\\/")))) return nullptr;
    while (!engine->dict.WarmedUp()) Sleep(1);
    engine->SaveUser();  // nothing to write yet: waits for the writer's hand-over
    const double warmMs = NowMs() - t0;
    static bool told = false;
    if (!told) std::printf("warm-up after the first load: %.1f ms\n", warmMs);
    told = true;
    return engine;
}

void PrintRow(const std::string& name, const char* scheme, const Stats& s, double loadMs) {
    std::printf("%-28s %-7s %8zu %8.2f %8.2f %8.2f %8.2f %9.2f %6zu %11.0f %8.3f\n", name.c_str(), scheme, s.keys,
                s.mean, s.median, s.p90, s.p99, s.max, s.over1ms, s.keysPerSecond, loadMs);
}


bool WriteUserFile(const std::wstring& folder, size_t texts) {
    zl::UseCounts counts;
    for (size_t i = 0; counts.size() < texts; ++i) counts[zlbench::UserText(i)] = 1 + i % 50;
    std::string bytes;
    zl::FormatUseCounts(counts, bytes);
    return zl::SaveWholeFile(folder + L"\\user.dat", bytes);
}

struct WorstCase {
    const char* name;
    zl::Mode mode;
    Action keys;
};

Action Repeated(Key::Kind kind, int n) { return Action(n, Key{kind, 0}); }

Action Concat(Action a, const Action& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<WorstCase> WorstCases() {
    const std::string longPinyin = "jiangchengweixiansheng";
    const int len = static_cast<int>(longPinyin.size());
    const Action paging = Concat(Repeated(Key::PageDown, 25), Repeated(Key::PageUp, 25));
    return {
        {"wildcard zzxx", zl::kModeMixed, Typed("zzxx ")},
        {"wildcard zzzz", zl::kModeMixed, Typed("zzzz ")},
        {"long pinyin", zl::kModePinyin, Typed(longPinyin + " ")},
        {"long pinyin", zl::kModeMixed, Typed(longPinyin + " ")},
        {"long temp pinyin", zl::kModeWubi, Typed("z" + longPinyin + " ")},
        {"no pinyin after 4 letters", zl::kModeMixed, Typed("qqqqqqqq ")},
        {"backspace long pinyin", zl::kModePinyin, Concat(Typed(longPinyin), Repeated(Key::Backspace, len))},
        {"backspace wubi", zl::kModeWubi, Concat(Typed("ggl"), Repeated(Key::Backspace, 3))},
        {"paging a", zl::kModeWubi, Concat(Typed("a"), paging)},
        {"paging s", zl::kModePinyin, Concat(Typed("s"), paging)},
        {"paging a", zl::kModeMixed, Concat(Typed("a"), paging)},
    };
}

void RemoveLearningFiles(const std::wstring& folder) {
    for (const wchar_t* name : {L"\\user.dat", L"\\promote.dat"}) DeleteFileW((folder + name).c_str());
}

void PrintMemory() {
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof pmc;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc)) {
        std::printf("memory: not available\n");
        return;
    }
    std::printf("peak private memory %.1f MiB (now %.1f MiB), peak working set %.1f MiB\n",
                pmc.PeakPagefileUsage / 1048576.0, pmc.PrivateUsage / 1048576.0, pmc.PeakWorkingSetSize / 1048576.0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring dict;
    std::vector<std::wstring> keyFiles;
    int repeat = 200;
    for (int i = 1; i < argc; ++i) {
        const std::wstring a = argv[i];
        if (a == L"--dict" && i + 1 < argc)
            dict = argv[++i];
        else if (a == L"--keys" && i + 1 < argc)
            keyFiles.push_back(argv[++i]);
        else if (a == L"--repeat" && i + 1 < argc)
            repeat = std::max(1, _wtoi(argv[++i]));
        else {
            std::fprintf(stderr, "usage: zlbench --dict PATH [--keys FILE]... [--repeat N]\n");
            return 2;
        }
    }
    const size_t slash = dict.find_last_of(L"\\/");
    if (slash == std::wstring::npos || _wcsicmp(dict.c_str() + slash + 1, L"zlwb.dat") != 0) {
        std::fprintf(stderr, "zlbench: --dict must name a zlwb.dat (its folder is the data folder)\n");
        return 2;
    }
    if (keyFiles.empty()) keyFiles = {ZL_BENCH_KEYS, ZL_BENCH_PINYIN_KEYS};

    wchar_t temp[MAX_PATH];
    const DWORD tempLen = GetTempPathW(MAX_PATH, temp);
    if (tempLen == 0 || tempLen >= MAX_PATH) return 1;
    const std::wstring folder = std::wstring(temp) + L"zlbench-" + std::to_wstring(GetCurrentProcessId());
    // A run that stopped early leaves its folder; a later one may get the same id.
    RemoveLearningFiles(folder);
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return 1;
    SetEnvironmentVariableW(L"ZLWB_USERDIR", folder.c_str());

    std::printf("%-28s %-7s %8s %8s %8s %8s %8s %9s %6s %11s %8s\n", "case", "scheme", "keys", "mean", "median",
                "p90", "p99", "max", ">1ms", "keys/s", "load ms");
    std::printf("%-28s %-7s %8s %8s %8s %8s %8s %9s %6s %11s %8s\n", "", "", "", "us", "us", "us", "us", "us", "", "",
                "");
    for (const std::wstring& file : keyFiles) {
        std::vector<Action> actions;
        if (!ReadActions(file, actions)) {
            std::fprintf(stderr, "zlbench: cannot read %s\n", Narrow(file).c_str());
            return 1;
        }
        std::wstring name = file.substr(file.find_last_of(L"\\/") + 1);
        for (int m = 0; m < 3; ++m) {
            double loadMs = 0;
            auto engine = Open(dict, static_cast<zl::Mode>(m), loadMs);
            if (!engine) {
                std::fprintf(stderr, "zlbench: cannot load the dictionary\n");
                return 1;
            }
            // The first pass meets every code for the first time; the second is typing
            // with the mapping and the kept lists warm.
            const Stats first = Replay(*engine, actions, 1);
            PrintRow(Narrow(name) + " first pass", kSchemeNames[m], first, loadMs);
            PrintRow(Narrow(name), kSchemeNames[m], Replay(*engine, actions, 1), loadMs);
        }
    }
    for (const WorstCase& w : WorstCases()) {
        double loadMs = 0;
        auto engine = Open(dict, w.mode, loadMs);
        if (!engine) return 1;
        PrintRow(w.name, kSchemeNames[w.mode], Replay(*engine, {w.keys}, repeat), loadMs);
    }

    // A heavy user: every commit counts a use in a map of 100,000 texts, which must be saved.
    constexpr size_t kHeavyTexts = 100000;
    std::vector<Action> wubi;
    if (!WriteUserFile(folder, kHeavyTexts) || !ReadActions(keyFiles.front(), wubi)) {
        std::fprintf(stderr, "zlbench: cannot write user.dat or read the keys\n");
        return 1;
    }
    {
        double loadMs = 0;
        auto engine = Open(dict, zl::kModeWubi, loadMs);
        if (!engine || engine->userFreq.size() < kHeavyTexts) {
            std::fprintf(stderr, "zlbench: user.dat did not load\n");
            return 1;
        }
        Stats commits;
        const Stats all = Replay(*engine, wubi, 1, &commits);
        PrintRow("all keys, 100000 texts", "wubi", all, loadMs);
        PrintRow("commits, 100000 texts", "wubi", commits, loadMs);
        const double t0 = NowMs();
        engine->SaveUser();  // what focus loss pays
        std::printf("%-28s %-7s %8.3f ms\n", "save at focus loss", "wubi", NowMs() - t0);
    }
    PrintMemory();

    RemoveLearningFiles(folder);
    RemoveDirectoryW(folder.c_str());
    return 0;
}
