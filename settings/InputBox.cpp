// The demonstration input box: draws its own text and composition and hands every
// key-down to InputKeyDown.
#include <windows.h>

#include "DemoApp.h"
#include "GdiHelpers.h"
#include "InputKeys.h"
#include "WindowClass.h"

namespace zldemo {

namespace {

constexpr COLORREF kTextColour = 0x141414;
constexpr COLORREF kCompositionColour = 0x143CA0;
constexpr COLORREF kUnderlineColour = 0x2850C8;
constexpr COLORREF kCaretColour = 0xBE6E1E;
constexpr int kMargin = 12;

void Line(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

void PaintBox(HWND hwnd, HDC dc, const RECT& rc) {
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    zl::SelectGuard font(dc, g_font.Get());
    SetBkMode(dc, TRANSPARENT);

    const size_t composeFrom = g_text.size();
    std::wstring text = g_text;
    if (!g_engine.code.empty()) text += g_engine.shownCode;
    const int lineH = g_cfg.fontSize * 16 / 10;  // the font size setting x 1.6, rounded down
    zl::PenHandle underline(CreatePen(PS_DOT, 1, kUnderlineColour));
    int x = kMargin;
    int y = kMargin;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n') {
            x = kMargin;
            y += lineH;
            continue;
        }
        // A surrogate pair is one character.
        const int units = IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1]) ? 2 : 1;
        SIZE size{0, 0};
        GetTextExtentPoint32W(dc, &text[i], units, &size);
        if (x + size.cx > rc.right - 24) {
            x = kMargin;
            y += lineH;
        }
        const bool composing = i >= composeFrom;
        SetTextColor(dc, composing ? kCompositionColour : kTextColour);
        TextOutW(dc, x, y, &text[i], units);
        if (composing) {
            zl::SelectGuard pen(dc, underline.Get());
            Line(dc, x, y + lineH - 4, x + size.cx, y + lineH - 4);
        }
        x += size.cx;
        i += static_cast<size_t>(units - 1);
    }
    if (GetFocus() == hwnd) {
        zl::PenHandle caret(CreatePen(PS_SOLID, 2, kCaretColour));
        zl::SelectGuard pen(dc, caret.Get());
        if (text.empty()) {
            Line(dc, kMargin + 1, kMargin + 2, kMargin + 1, kMargin + lineH - 4);
        } else {
            Line(dc, x + 1, y + 2, x + 1, y + lineH - 4);
        }
    }
}

void OnKeyDown(HWND hwnd, UINT vk) {
    const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    if (!InputKeyDown(g_engine, g_cfg, g_text, vk, shift)) return;
    InvalidateRect(hwnd, nullptr, FALSE);
    if (WantsCandidates(g_engine)) {
        POINT box{0, 0};
        ClientToScreen(hwnd, &box);
        g_cand.Show(CandShowFor(g_engine, g_cfg, box));
    } else {
        g_cand.Hide();
    }
}

LRESULT CALLBACK InputProcWork(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS: InvalidateRect(hwnd, nullptr, FALSE); return 0;
        case WM_PAINT: PaintBuffered(hwnd, PaintBox); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_KEYDOWN: OnKeyDown(hwnd, static_cast<UINT>(wp)); return 0;
        case WM_CHAR: return 0;
        // The committed text, for screen readers and scripts; the box has no edit control.
        case WM_GETTEXTLENGTH: return static_cast<LRESULT>(g_text.size());
        case WM_GETTEXT: {
            if (wp == 0 || !lp) return 0;
            const size_t n = g_text.size() < wp - 1 ? g_text.size() : wp - 1;
            wchar_t* out = reinterpret_cast<wchar_t*>(lp);
            g_text.copy(out, n);
            out[n] = L'\0';
            return static_cast<LRESULT>(n);
        }
        case WM_LBUTTONDOWN: SetFocus(hwnd); return 0;
        default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

}  // namespace

LRESULT CALLBACK InputProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return zl::NoThrowWndProc<InputProcWork>(hwnd, msg, wp, lp);
}

}  // namespace zldemo
