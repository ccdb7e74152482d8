#include "KeyReplay.h"

#include <windows.h>

#include <algorithm>
#include <fstream>

namespace zlbench {

namespace {

double Ticks() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart);
}

double TicksPerMicrosecond() {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1e6;
}

void Press(zl::Engine& engine, const Key& key) {
    switch (key.kind) {
    case Key::Letter:
        // The text service starts temporary pinyin with z instead of typing it.
        if (key.c == 'z' && engine.CanTempPinyin())
            engine.BeginTempPinyin();
        else
            engine.OnLetter(key.c);
        break;
    case Key::Space: engine.OnSpace(); break;
    case Key::Digit: engine.OnDigit(key.c - '0'); break;
    case Key::Backspace: engine.OnBackspace(); break;
    case Key::PageDown: engine.OnPageKey(true); break;
    case Key::PageUp: engine.OnPageKey(false); break;
    }
}

// What the edit session and the candidate window take after each key.
struct Screen {
    std::wstring committed;
    std::wstring composition;
    std::vector<std::wstring> texts;
    std::vector<std::string> codes;

    void Read(zl::Engine& engine) {
        engine.TakeCommit(committed);
        composition = engine.shownCode;
        texts.clear();
        codes.clear();
        const uint64_t p = engine.PageSize();
        for (uint64_t i = p * engine.page; i < engine.candidates.size() && i < p * (engine.page + 1); ++i) {
            texts.push_back(engine.candidates[i].text);
            codes.push_back(engine.candidates[i].code);
        }
    }
};

}  // namespace

Action Typed(const std::string& keys) {
    Action a;
    for (char c : keys) {
        if (c >= 'a' && c <= 'z')
            a.push_back({Key::Letter, c});
        else if (c == ' ')
            a.push_back({Key::Space, c});
        else if (c >= '1' && c <= '9')
            a.push_back({Key::Digit, c});
    }
    return a;
}

bool ReadActions(const std::wstring& path, std::vector<Action>& out) {
    const int n = WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return false;
    std::string narrow(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, &narrow[0], n, nullptr, nullptr);
    std::ifstream in(narrow.c_str());
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        Action a = Typed(line);
        if (!a.empty()) out.push_back(std::move(a));
    }
    return true;
}

double NowUs() {
    static const double perUs = TicksPerMicrosecond();
    return Ticks() / perUs;
}

Stats Summarise(std::vector<double> us) {
    Stats s;
    s.keys = us.size();
    if (us.empty()) return s;
    std::sort(us.begin(), us.end());
    double total = 0;
    for (double t : us) {
        total += t;
        if (t > 1000) ++s.over1ms;
    }
    auto at = [&](double q) { return us[std::min(us.size() - 1, static_cast<size_t>(q * us.size()))]; };
    s.mean = total / us.size();
    s.median = at(0.5);
    s.p90 = at(0.9);
    s.p99 = at(0.99);
    s.max = us.back();
    s.keysPerSecond = total > 0 ? us.size() / (total / 1e6) : 0;
    return s;
}

Stats Replay(zl::Engine& engine, const std::vector<Action>& actions, int repeat, Stats* commits) {
    const double perUs = TicksPerMicrosecond();
    std::vector<double> us, commitUs;
    Screen screen;
    for (int r = 0; r < repeat; ++r) {
        for (const Action& a : actions) {
            for (const Key& k : a) {
                const double t0 = Ticks();
                Press(engine, k);
                screen.Read(engine);
                const double t = (Ticks() - t0) / perUs;
                us.push_back(t);
                if (!screen.committed.empty()) {
                    commitUs.push_back(t);
                    screen.committed.clear();
                }
            }
            // Untimed: the next action starts idle, as after a commit.
            engine.Clear();
            engine.commit.clear();
        }
    }
    if (commits) *commits = Summarise(std::move(commitUs));
    return Summarise(std::move(us));
}

}  // namespace zlbench
