// Replays typing actions through an engine the way the text service drives it, and
// times each key.
#pragma once

#include <string>
#include <vector>

#include "Engine.h"

namespace zlbench {

struct Key {
    enum Kind { Letter, Space, Digit, Backspace, PageDown, PageUp } kind;
    char c;
};
using Action = std::vector<Key>;

// One action per line: letters, a space commits, 1..9 select; other characters are skipped.
bool ReadActions(const std::wstring& path, std::vector<Action>& out);
Action Typed(const std::string& keys);

struct Stats {
    size_t keys = 0;
    double mean = 0, median = 0, p90 = 0, p99 = 0, max = 0;  // microseconds per key
    double keysPerSecond = 0;
    size_t over1ms = 0;
};

// Figures of samples in microseconds.
Stats Summarise(std::vector<double> us);

// A steady clock in microseconds, for timing single keys.
double NowUs();

// Replays every action `repeat` times, each starting from an idle engine; one sample
// per key: the operation, taking the commit and reading the shown page. The keys that
// committed text also go to commits when it is given.
Stats Replay(zl::Engine& engine, const std::vector<Action>& actions, int repeat, Stats* commits = nullptr);

}  // namespace zlbench
