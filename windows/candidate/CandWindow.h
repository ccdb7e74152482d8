// The candidate window: a page of candidates beside the caret, never activated.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "CandLayout.h"
#include "Candidate.h"
#include "CandidateList.h"
#include "GdiHelpers.h"

namespace zl {

// What one Show call displays.
struct CandShow {
    const CandidateList* list = nullptr;  // read only during Show
    uint64_t page = 0;
    uint64_t pageSize = 0;
    int32_t x = 0;  // wanted top-left, screen pixels
    int32_t y = 0;
    uint32_t fontPx = 0;
    uint8_t showCode = 0;
    uint8_t horizontal = 0;
    uint8_t showPageIndicator = 0;
    uint32_t selected = 0;  // index within the page
};

class CandWindow {
public:
    static constexpr const wchar_t* kClassName = L"ZelunWubiCandWnd";
    static constexpr UINT_PTR kForegroundTimer = 1;
    static constexpr UINT kForegroundMs = 400;

    CandWindow() = default;
    ~CandWindow() { Destroy(); }
    CandWindow(const CandWindow&) = delete;
    CandWindow& operator=(const CandWindow&) = delete;

    bool Create(HINSTANCE instance);
    void Destroy();
    void Hide();
    void Show(const CandShow& s);
    void CheckForeground();
    int HitTest(POINT screen) const;
    static bool IsDarkMode();
    void OnPaint();
    // Draws the whole client area, double-buffered, into `target` at (0, 0).
    void PaintTo(HDC target) const;

    static LRESULT CALLBACK WndProc(HWND window, UINT msg, WPARAM wp, LPARAM lp);

    HWND hwnd = nullptr;
    FontHandle font;
    FontHandle smallFont;
    uint8_t visible = 0;
    CandShow show;
    std::vector<Candidate> pageItems;
    std::vector<RECT> cells;
    uint64_t pageCount = 0;
    int32_t fontPx = 0;
    uint8_t dark = 0;
    std::function<void(int)> onCandidateClick;

    // Measured at Show so that painting measures nothing.
    CandMetrics metrics{};
    SIZE clientSize{};
    int mainTextH = 0;
    int smallTextH = 0;
    std::vector<int> textWidths;
    int indicatorTextW = 0;  // 0 when no indicator is drawn

private:
    void OnLButtonDown(LPARAM lp);
    HINSTANCE instance_ = nullptr;
    // What the fonts were made for and the region's size: a keystroke that changes
    // neither makes no new font and sets no new region.
    int32_t fontsPx_ = 0;
    SIZE regionSize_{};
};

}  // namespace zl
