// Composition keys, paging and commit.
#include "Engine.h"

namespace zl {

namespace {

constexpr uint64_t kDefaultPageSize = 5;
constexpr size_t kWubiLetters = 4;

}  // namespace

uint64_t Engine::PageSize() const {
    // The settings keep it within 1..9; a record filled some other way must not
    // divide by zero or page backwards.
    return config.pageSize < 1 ? kDefaultPageSize : static_cast<uint64_t>(config.pageSize);
}

uint64_t Engine::PageStart() const {
    // page is public: a value past the list must not wrap P x page round to a valid index.
    const uint64_t p = PageSize();
    if (page > candidates.size() / p) return UINT64_MAX;
    return p * page;
}

void Engine::AppendLetter(char c) {
    code.push_back(c);
    shownCode.push_back(static_cast<wchar_t>(c));
    Refresh();
}

bool Engine::OnLetter(char c) {
    if (c < 'a' || c > 'z') return false;
    const size_t n = code.size();

    if (mode == kModePinyin || tempPinyin) {
        if (n < kMaxPinyinLetters) AppendLetter(c);
        return true;
    }

    if (n < kWubiLetters) {
        AppendLetter(c);
        if (code.size() == kWubiLetters && config.autoCommit4 && wubiCount == 1 && exactCount == 1 &&
            (mode != kModeMixed || !pinyinLonger))
            CommitIndex(0);
        return true;
    }

    if (mode == kModeMixed && n < kMaxMixedLetters && PinyinExtends(code + c)) {
        AppendLetter(c);
        return true;
    }
    if (!config.autoCommit5 || candidates.empty()) return true;
    CommitIndex(0);
    code.assign(1, c);
    shownCode.assign(1, static_cast<wchar_t>(c));
    Refresh();
    return true;
}

bool Engine::OnBackspace() {
    if (code.empty()) return false;
    code.pop_back();
    if (!shownCode.empty()) shownCode.pop_back();
    if (!code.empty()) {
        Refresh();
    } else {
        candidates.clear();
        page = 0;
    }
    return true;
}

bool Engine::OnSpace() {
    if (code.empty()) return false;
    if (candidates.empty())
        Clear();
    else
        CommitIndex(PageStart());
    return true;
}

bool Engine::OnDigit(int d) {
    if (code.empty() || d < 1 || d > 9) return false;
    const uint64_t onPage = static_cast<uint64_t>(d - 1);
    if (onPage >= candidates.size()) return false;
    return SelectOnPage(onPage);
}

bool Engine::OnEnter() {
    if (code.empty()) return false;
    Clear();
    commit.clear();
    dquoteOpen = false;
    squoteOpen = false;
    return true;
}

bool Engine::OnEscape() {
    if (code.empty()) return false;
    Clear();
    return true;
}

bool Engine::OnPageKey(bool next) {
    if (code.empty()) return false;
    return next ? NextPage() : PrevPage();
}

uint64_t Engine::pageCount() const {
    const uint64_t p = PageSize();
    return (candidates.size() + p - 1) / p;
}

bool Engine::NextPage() {
    const uint64_t pages = pageCount();
    if (pages == 0 || page >= pages - 1) return false;
    ++page;
    return true;
}

bool Engine::PrevPage() {
    if (page == 0) return false;
    --page;
    return true;
}

bool Engine::SelectOnPage(uint64_t i) {
    const uint64_t first = PageStart();
    if (first >= candidates.size() || i >= candidates.size() - first) return false;
    CommitIndex(first + i);
    return true;
}

bool Engine::SelectGlobal(uint64_t i) {
    if (i >= candidates.size()) return false;
    CommitIndex(i);
    return true;
}

void Engine::CommitIndex(uint64_t i) {
    if (i >= candidates.size()) return;
    const std::wstring text = candidates[i].text;
    commit += text;
    Learn(text);
    Clear();
}

bool Engine::TakeCommit(std::wstring& out) {
    if (commit.empty()) return false;
    out.swap(commit);
    commit.clear();
    return true;
}

void Engine::Clear() {
    code.clear();
    shownCode.clear();
    candidates.clear();
    page = 0;
    exactCount = 0;
    pinyinLonger = false;
    tempPinyin = false;
}

bool Engine::CanTempPinyin() const { return mode == kModeWubi && !tempPinyin && code.empty(); }

void Engine::BeginTempPinyin() {
    if (CanTempPinyin()) tempPinyin = true;
}

void Engine::CancelTempPinyin() {
    if (tempPinyin) Clear();
}

}  // namespace zl
