// Candidate lists for the candidate-window tests.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "CandWindow.h"
#include "Candidate.h"

namespace candtest {

inline zl::CandidateList Sample(size_t n) {
    static const wchar_t* texts[] = {L"工", L"式", L"中国", L"经济", L"东", L"同学", L"五笔输入法", L"我们", L"不"};
    static const char* codes[] = {"a", "aa", "khlg", "xcyj", "ai", "mgip", "gtlw", "trwu", "i"};
    std::vector<zl::Candidate> out;
    for (size_t i = 0; i < n; ++i) {
        zl::Candidate c;
        c.text = texts[i % 9];
        c.code = codes[i % 9];
        out.push_back(c);
    }
    zl::CandidateList list;
    list.Assign(std::move(out));
    return list;
}

// A request placed well inside the screen.
inline zl::CandShow Request(const zl::CandidateList& list, uint64_t page = 0, bool horizontal = true) {
    zl::CandShow s;
    s.list = &list;
    s.page = page;
    s.pageSize = 5;
    s.x = 100;
    s.y = 100;
    s.fontPx = 20;
    s.showCode = 1;
    s.horizontal = horizontal ? 1 : 0;
    s.showPageIndicator = 1;
    s.selected = 0;
    return s;
}

inline POINT CellCentreOnScreen(const zl::CandWindow& w, size_t i) {
    const RECT& r = w.cells[i];
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(w.hwnd, &p);
    return p;
}

}  // namespace candtest
