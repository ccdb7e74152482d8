#include "CandWindow.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include "CandPalette.h"
#include "Theme.h"
#include "WindowClass.h"

namespace zl {

namespace {

SIZE TextSize(HDC dc, const std::wstring& text) {
    SIZE s{0, 0};
    if (!text.empty()) GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &s);
    return s;
}

// Height of a line of text in the font selected into dc.
int LineHeight(HDC dc) {
    SIZE s{0, 0};
    GetTextExtentPoint32W(dc, L"0", 1, &s);
    return s.cy;
}

void PutText(HDC dc, int x, int y, const std::wstring& text, COLORREF colour) {
    if (text.empty()) return;
    SetTextColor(dc, colour);
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

}  // namespace

bool CandWindow::Create(HINSTANCE instance) {
    if (hwnd) return true;
    RegisterPopupClass(instance, kClassName, NoThrowWndProc<WndProc>);
    instance_ = instance;
    CreateWindowExW(kPopupExStyle, kClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, instance, this);
    return hwnd != nullptr;
}

void CandWindow::Destroy() {
    font.Reset();
    smallFont.Reset();
    if (hwnd) {
        KillTimer(hwnd, kForegroundTimer);
        DestroyWindow(hwnd);
        hwnd = nullptr;
    }
    visible = 0;
    // A class outlives the module that registered it; unregister it with the last window so
    // that a later copy of this module loaded elsewhere does not find a class whose window
    // procedure points into freed code. Fails harmlessly while other windows still use it.
    if (instance_) {
        UnregisterClassW(kClassName, instance_);
        instance_ = nullptr;
    }
}

void CandWindow::Hide() {
    if (hwnd && visible) {
        ShowWindow(hwnd, SW_HIDE);
        visible = 0;
    }
}

void CandWindow::Show(const CandShow& s) {
    if (!hwnd) return;
    if (!s.list || s.list->empty()) {
        Hide();
        return;
    }
    const CandPage slice = SliceCandPage(s.list->size(), s.page, s.pageSize);
    show = s;
    show.list = nullptr;  // not kept past this call
    // Only the page's candidates are read: the others' texts stay unmade.
    pageItems.clear();
    for (uint64_t i = slice.first; i < slice.first + slice.count; ++i) pageItems.push_back((*s.list)[i]);
    if (pageItems.empty()) {
        cells.clear();
        Hide();
        return;
    }
    pageCount = slice.pageCount;
    fontPx = ClampCandFontPx(s.fontPx);
    dark = IsDarkMode() ? 1 : 0;
    metrics = CandMetricsFor(fontPx);

    if (fontsPx_ != fontPx || !font || !smallFont) {
        font.Reset(MakePopupFont(fontPx));
        smallFont.Reset(MakePopupFont(metrics.smallPx));
        fontsPx_ = fontPx;
    }

    // Measure once here; painting reuses the numbers.
    std::vector<CandCellSize> sizes;
    textWidths.clear();
    {
        MemoryDc dc(nullptr);
        SelectGuard keep(dc.Get(), font.Get());
        mainTextH = LineHeight(dc.Get());
        for (const Candidate& c : pageItems) textWidths.push_back(TextSize(dc.Get(), c.text).cx);
        SelectObject(dc.Get(), smallFont.Get());
        smallTextH = LineHeight(dc.Get());
        for (size_t i = 0; i < pageItems.size(); ++i) {
            int extra = 0;
            if (show.showCode && !pageItems[i].code.empty()) {
                extra = TextSize(dc.Get(), CodeToWide(pageItems[i].code)).cx + 4;
            }
            sizes.push_back(CandCellSize{textWidths[i], extra});
        }
        indicatorTextW = 0;
        if (show.showPageIndicator && pageCount > 1) {
            indicatorTextW = TextSize(dc.Get(), FormatPageIndicator(show.page, pageCount)).cx;
        }
    }
    const int indicatorW = indicatorTextW > 0 ? indicatorTextW + 2 * metrics.padX : 0;
    CandLayout layout = LayoutCandCells(metrics, sizes, indicatorW, show.horizontal != 0);
    cells = std::move(layout.cells);
    clientSize = SIZE{layout.width, layout.height};

    POINT wanted{s.x, s.y};
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GetMonitorInfoW(MonitorFromPoint(wanted, MONITOR_DEFAULTTONEAREST), &mi)) work = mi.rcWork;
    POINT at = PlaceCandWindow(wanted, clientSize, work, fontPx);

    SetWindowPos(hwnd, HWND_TOPMOST, at.x, at.y, clientSize.cx, clientSize.cy,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (regionSize_.cx != clientSize.cx || regionSize_.cy != clientSize.cy) {
        HRGN region = CreateRoundRectRgn(0, 0, clientSize.cx + 1, clientSize.cy + 1, 10, 10);
        // The window owns the region once it is set; only a refused one is ours to delete.
        if (region && SetWindowRgn(hwnd, region, TRUE)) {
            regionSize_ = clientSize;
        } else if (region) {
            DeleteObject(region);
        }
    }
    visible = 1;
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
}

void CandWindow::CheckForeground() {
    if (!hwnd || !visible) return;
    HWND fg = GetForegroundWindow();
    DWORD pid = 0;
    if (fg) GetWindowThreadProcessId(fg, &pid);
    if (!fg || pid != GetCurrentProcessId()) Hide();
}

int CandWindow::HitTest(POINT screen) const {
    if (!hwnd || !visible) return -1;
    POINT client = screen;
    ScreenToClient(hwnd, &client);
    return HitTestCells(cells, client);
}

bool CandWindow::IsDarkMode() {
    // A missing value counts as dark for this window.
    return ReadAppsUseLightTheme(0) == 0;
}

void CandWindow::OnPaint() {
    if (!hwnd) return;
    WindowDc dc(hwnd);
    if (dc) PaintTo(dc.Get());
}

void CandWindow::PaintTo(HDC target) const {
    const int w = clientSize.cx;
    const int h = clientSize.cy;
    if (!target || w <= 0 || h <= 0) return;
    MemoryDc mem(target);
    BitmapHandle bitmap(CreateCompatibleBitmap(target, w, h));
    if (!mem || !bitmap) return;
    SelectGuard keepBitmap(mem.Get(), bitmap.Get());
    SelectGuard keepFont(mem.Get(), font.Get());
    HDC dc = mem.Get();
    const CandPalette& pal = CandPaletteFor(dark != 0);
    const CandMetrics& m = metrics;

    const RECT all{0, 0, w, h};
    FillSolid(dc, all, pal.background);
    SetDCBrushColor(dc, pal.border);
    FrameRect(dc, &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    SetBkMode(dc, TRANSPARENT);

    const size_t n = std::min(cells.size(), pageItems.size());
    for (size_t i = 0; i < n; ++i) {
        const RECT& cell = cells[i];
        const int centre = (cell.top + cell.bottom) / 2;
        const bool selected = i == show.selected;
        if (selected) FillSolid(dc, RECT{cell.left, cell.top + 2, cell.right, cell.bottom - 2}, pal.selectedFill);

        SelectObject(dc, smallFont.Get());
        wchar_t index[16];
        int len = wsprintfW(index, L"%u", static_cast<unsigned>(i + 1));
        PutText(dc, cell.left + m.padX, centre - smallTextH / 2, std::wstring(index, len > 0 ? len : 0),
                 selected ? pal.accent : pal.secondary);

        SelectObject(dc, font.Get());
        const int textX = cell.left + m.padX + m.indexCol + 4;
        PutText(dc, textX, centre - mainTextH / 2, pageItems[i].text, pal.text);

        if (show.showCode && !pageItems[i].code.empty()) {
            SelectObject(dc, smallFont.Get());
            const int textW = i < textWidths.size() ? textWidths[i] : 0;
            PutText(dc, textX + textW + 4, centre - smallTextH / 2 + 1, CodeToWide(pageItems[i].code),
                     pal.secondary);
        }
    }

    if (indicatorTextW > 0) {
        SelectObject(dc, smallFont.Get());
        PutText(dc, w - indicatorTextW - m.padX, h - smallTextH - 3,
                 FormatPageIndicator(show.page, pageCount), pal.secondary);
    }

    BitBlt(target, 0, 0, w, h, dc, 0, 0, SRCCOPY);
}

void CandWindow::OnLButtonDown(LPARAM lp) {
    POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    ClientToScreen(hwnd, &pt);
    const int index = HitTest(pt);
    if (index < 0 || !onCandidateClick) return;
    // The owner may show another page or replace the callback while it runs.
    std::function<void(int)> callback = onCandidateClick;
    callback(index);
}

LRESULT CALLBACK CandWindow::WndProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = PopupOf<CandWindow>(window, msg, lp);
    if (!self) return DefWindowProcW(window, msg, wp, lp);
    switch (msg) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        self->OnPaint();
        EndPaint(window, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_TIMER:
        if (wp == kForegroundTimer) {
            self->CheckForeground();
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
        self->OnLButtonDown(lp);
        return 0;
    case WM_NCDESTROY:
        // Destroyed from outside (its thread ending, a parent going away): forget the handle,
        // and the region that went with it, so that the next window gets one.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (self->hwnd == window) {
            self->hwnd = nullptr;
            self->visible = 0;
            self->regionSize_ = SIZE{};
        }
        break;
    }
    return DefWindowProcW(window, msg, wp, lp);
}

}  // namespace zl
