// zlkeypathbench: time per key of the text service's whole key path — the test call, the
// key call, the edit session on the fake TSF kit's document and the candidate window
// update — beside the engine alone, on the same typed actions.
//   zlkeypathbench --dict-dir DIR [--keys FILE] [--repeat N]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "KeyReplay.h"
#include "TextService.h"
#include "TsfKit.h"

using namespace zlbench;

namespace {

WPARAM VkOf(const Key& k) {
    switch (k.kind) {
    case Key::Letter: return static_cast<WPARAM>(k.c - 'a' + 'A');
    case Key::Space: return VK_SPACE;
    case Key::Digit: return static_cast<WPARAM>(k.c);
    case Key::Backspace: return VK_BACK;
    case Key::PageDown: return VK_NEXT;
    case Key::PageUp: return VK_PRIOR;
    }
    return VK_ESCAPE;
}

// One key as TSF sends it to a foreground key sink.
void Press(zl::CTextService& s, ITfContext* ctx, WPARAM vk) {
    BOOL eaten = FALSE;
    s.OnTestKeyDown(ctx, vk, 1, &eaten);
    if (eaten) s.OnKeyDown(ctx, vk, 1, &eaten);
    eaten = FALSE;
    s.OnTestKeyUp(ctx, vk, 0xC0000001, &eaten);
    if (eaten) s.OnKeyUp(ctx, vk, 0xC0000001, &eaten);
}

Stats KeyPath(zl::CTextService& s, tsfkit::FakeContext* ctx, const std::vector<Action>& actions, int repeat) {
    std::vector<double> us;
    for (int r = 0; r < repeat; ++r) {
        for (const Action& a : actions) {
            for (const Key& k : a) {
                const WPARAM vk = VkOf(k);
                const double t0 = NowUs();
                Press(s, ctx, vk);
                us.push_back(NowUs() - t0);
            }
            // Untimed: the next action starts idle in an empty document, as after a commit.
            Press(s, ctx, VK_ESCAPE);
            if (!ctx->active) {
                ctx->text.clear();
                ctx->selStart = ctx->selEnd = 0;
            }
        }
    }
    return Summarise(std::move(us));
}

void PrintRow(const char* name, const Stats& s) {
    std::printf("%-24s %8zu %8.2f %8.2f %8.2f %8.2f %9.2f %11.0f\n", name, s.keys, s.mean, s.median, s.p90,
                s.p99, s.max, s.keysPerSecond);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring dictDir, keys = ZL_BENCH_KEYS;
    int repeat = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring opt = argv[i];
        if (opt == L"--dict-dir") dictDir = argv[i + 1];
        else if (opt == L"--keys") keys = argv[i + 1];
        else if (opt == L"--repeat") repeat = std::max(1, _wtoi(argv[i + 1]));
    }
    std::vector<Action> actions;
    if (dictDir.empty() || !ReadActions(keys, actions)) {
        std::fprintf(stderr, "usage: zlkeypathbench --dict-dir DIR [--keys FILE] [--repeat N]\n");
        return 2;
    }
    // Learning files and the trace go to a scratch folder, not the user's.
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    const std::wstring scratch = std::wstring(tmp) + L"zlkeypathbench";
    CreateDirectoryW(scratch.c_str(), nullptr);
    SetEnvironmentVariableW(L"ZLWB_USERDIR", scratch.c_str());

    zl::Engine engine;
    if (!engine.Init(dictDir)) {
        std::fprintf(stderr, "dictionary not loaded\n");
        return 1;
    }
    std::printf("%-24s %8s %8s %8s %8s %8s %9s %11s\n", "us per key", "keys", "mean", "median", "p90", "p99",
                "max", "keys/s");
    const Stats alone = Replay(engine, actions, repeat);
    PrintRow("engine alone", alone);
    // The service twice: without a candidate window, then with one painting every key.
    for (bool window : {false, true}) {
        auto* service = new zl::CTextService();
        service->engine.Init(dictDir);
        if (window && !service->candWindow.Create(GetModuleHandleW(nullptr))) {
            std::printf("candidate window could not be created\n");
            service->Release();
            break;
        }
        auto* tm = new tsfkit::FakeThreadMgr;
        tsfkit::FakeContext* ctx = nullptr;
        tm->NewFocusedDocument(&ctx);
        const Stats path = KeyPath(*service, ctx, actions, repeat);
        PrintRow(window ? "key path + cand window" : "key path", path);
        std::printf("%-24s %8s %8.2f more than the engine alone\n", "", "", path.mean - alone.mean);
        service->Deactivate();
        service->Release();
        tm->Release();
    }
    return 0;
}
