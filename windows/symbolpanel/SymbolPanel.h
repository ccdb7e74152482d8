// The symbol and emoticon panel: six tabbed grids that open above the status bar. A
// picked symbol goes to the owner; a press outside the panel and its owner window closes
// it. Every call is made on the thread that created the panel.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "GdiHelpers.h"

namespace zl {

// One tab: its label and its items in display order, laid out row by row.
struct SymbolCategory {
    const wchar_t* label;
    const wchar_t* const* items;
    int32_t count;
    int32_t columns;
};

constexpr int kSymbolCategoryCount = 6;
extern const wchar_t* const kCat0[41];
extern const wchar_t* const kCat1[41];
extern const wchar_t* const kCat2[50];
extern const wchar_t* const kCat3[40];
extern const wchar_t* const kCat4[40];
extern const wchar_t* const kCat5[12];
extern const SymbolCategory kCats[kSymbolCategoryCount];

// Posted by the panel to itself after a click on an item, so that the owner's handler
// runs after the mouse-down handling has finished.
constexpr UINT kSymCommitMsg = WM_APP + 21;
// Posted by the mouse hook after a press outside; wParam and lParam carry the point's x and y.
constexpr UINT kSymHideMsg = WM_APP + 22;

// Fixed geometry in pixels (not scaled by dpi).
constexpr int kSymPanelW = 404;
constexpr int kSymPanelH = 190;
constexpr int kSymMargin = 10;
constexpr int kSymInnerW = kSymPanelW - 2 * kSymMargin;  // 384
constexpr int kSymTabStep = kSymInnerW / kSymbolCategoryCount;  // 64
constexpr int kSymTabTop = 10;
constexpr int kSymTabBottom = 36;
constexpr int kSymGridTop = 44;
constexpr int kSymRowH = 34;
constexpr int kSymRows = 4;
constexpr int kSymGapAbove = 8;  // between the panel's bottom and the anchor
constexpr int kSymBelowOffset = 38;  // anchor to the panel's top when it opens below

// Columns of a category; 10 for an index outside 0..5.
int SymbolColumns(int category);
// Items of a category; 0 for an index outside 0..5.
int SymbolItemCount(int category);
int SymbolCellWidth(int category);
int SymbolGridLeft(int category);
// The drawn rectangle of tab i.
RECT SymbolTabRect(int tab);
// The full cell of item k of a category.
RECT SymbolItemRect(int category, int item);
// A tab (isTab true, may be −1 beyond the last) or an item of `category` (isTab false);
// −1 for none. isTab may be null.
int SymbolHitTest(int category, POINT client, bool* isTab);
// Top-left corner of the panel for an anchor (the status bar's top-left corner) within a
// monitor's work area: above the anchor, or below it when there is no room above.
POINT PlaceSymbolPanel(POINT anchor, const RECT& work);

class SymbolPanel {
public:
    static constexpr const wchar_t* kClassName = L"ZelunWubiSymWnd";
    static constexpr UINT_PTR kForegroundTimer = 1;
    static constexpr UINT kForegroundMs = 400;
    static constexpr UINT_PTR kFlashTimer = 2;
    static constexpr UINT kFlashMs = 130;

    SymbolPanel() = default;
    ~SymbolPanel() { Destroy(); }
    SymbolPanel(const SymbolPanel&) = delete;
    SymbolPanel& operator=(const SymbolPanel&) = delete;

    bool Create(HINSTANCE instance);
    void Show(POINT anchorPoint);
    void Hide();
    void Toggle(POINT anchorPoint);
    void Destroy();
    void CheckForeground();
    void InstallHook();
    void RemoveHook();
    int HitTest(POINT client, bool* isTab) const { return SymbolHitTest(category, client, isTab); }
    void ApplySize();
    static int ColsOf(int cat) { return SymbolColumns(cat); }
    static int RowsOf(int) { return kSymRows; }
    static int PanelH() { return kSymPanelH; }
    // Paints the whole panel, double-buffered, into dc at (0, 0).
    void OnPaint(HDC dc) const;

    static LRESULT CALLBACK MouseHook(int code, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK WndProc(HWND window, UINT msg, WPARAM wp, LPARAM lp);

    HWND hwnd = nullptr;
    HWND owner = nullptr;  // presses inside it do not close the panel
    HHOOK hook = nullptr;  // this thread's mouse hook while the panel is open and watched
    uint8_t visible = 0;
    uint8_t dark = 0;
    int32_t category = 0;
    int32_t hoverItem = -1;
    int32_t hoverTab = -1;
    int32_t flashItem = -1;
    int32_t lastItem = -1;
    POINT anchor{0, 0};
    std::wstring pending;
    FontHandle tabFont;
    FontHandle symbolFont;
    FontHandle textFont;
    std::function<void(const std::wstring&)> onInsert;
    std::function<void()> onVisibilityChanged;

private:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    void OnMouseMove(LPARAM lp);
    void OnLButtonDown(LPARAM lp);
    void OnCommit();
    void OnOutsidePress(LONG x, LONG y);
    void ForgetWindow();

    HINSTANCE instance_ = nullptr;
    HWND watched_ = nullptr;  // the window registered with this thread's hook
};

}  // namespace zl
