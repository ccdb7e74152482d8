// Mouse input on the bar: hover, the five buttons, dragging and the leave confirmation.
#include "StatusBar.h"

#include <algorithm>
#include <climits>

#include "ZlTrace.h"

namespace zl {

namespace {

int Dist2(POINT a, POINT b) {
    long long dx = a.x - b.x, dy = a.y - b.y;
    return static_cast<int>(std::min<long long>(dx * dx + dy * dy, INT_MAX));
}

}  // namespace

void StatusBar::Invalidate(bool erase) {
    if (hwnd) InvalidateRect(hwnd, nullptr, erase ? TRUE : FALSE);
}

POINT StatusBar::ScreenPoint(int cx, int cy) const {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return POINT{r.left + cx, r.top + cy};
}

void StatusBar::OnMouseMove(int cx, int cy) {
    KillTimer(hwnd, 3);
    if (!mouseInside) {
        mouseInside = 1;
        Invalidate(false);
    }
    if (!buttonDown) {
        int region = HitRegion(POINT{cx, cy});
        if (region != hover) {
            hover = region;
            Invalidate(false);
        }
        if (!tracking) {
            TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, hwnd, 0};
            if (TrackMouseEvent(&t)) tracking = 1;
        }
        return;
    }
    POINT s = ScreenPoint(cx, cy);
    maxDist2 = std::max(maxDist2, Dist2(s, pressScreen));
    if (!dragging && maxDist2 < 16) return;
    if (!dragging) {
        dragging = 1;
        hover = pressed = -1;
        Invalidate(false);
        SetCursor(LoadCursorW(nullptr, IDC_SIZEALL));
    }
    SetWindowPos(hwnd, HWND_TOPMOST, pressTopLeft.x + s.x - pressScreen.x,
                 pressTopLeft.y + s.y - pressScreen.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

void StatusBar::OnLButtonDown(int cx, int cy) {
    pressClient = POINT{cx, cy};
    pressScreen = ScreenPoint(cx, cy);
    GetWindowRect(hwnd, &pressRect);
    pressTopLeft = POINT{pressRect.left, pressRect.top};
    buttonDown = 1;
    dragging = 0;
    maxDist2 = 0;
    pressed = HitRegion(pressClient);
    Invalidate(false);
    SetCapture(hwnd);
}

void StatusBar::OnLButtonUp(int cx, int cy) {
    const int region = pressed;
    pressed = -1;
    Invalidate(false);
    if (!buttonDown) return;
    buttonDown = 0;  // cleared first: the capture loss that follows is then ignored
    ReleaseCapture();
    const POINT s = ScreenPoint(cx, cy);
    const int d2 = Dist2(s, pressScreen);
    if (!dragging && d2 < 16) {
        const int hit = HitRegion(POINT{cx, cy});
        if (hit >= 0 && hit == region && onClick) {
            // The owner may clear the callback or delete the bar in it: a copy runs.
            const std::function<void(int)> click = onClick;
            click(hit);
        }
        return;
    }
    dragging = 0;
    if (d2 > 15) {
        SetWindowPos(hwnd, HWND_TOPMOST, pressTopLeft.x + s.x - pressScreen.x,
                     pressTopLeft.y + s.y - pressScreen.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    }
    EndMove();
}

void StatusBar::EndMove() {
    RECT now{};
    GetWindowRect(hwnd, &now);
    x = now.left;
    y = now.top;
    // The callback may destroy the bar: only copies are used after it.
    const RECT atPress = pressRect;
    const bool movedAway = now.left != pressTopLeft.x || now.top != pressTopLeft.y;
    if (onMoved) {
        const std::function<void(int, int)> moved = onMoved;
        moved(now.left, now.top);
    }
    if (movedAway) RedrawDesktopUnder(atPress);
}

void StatusBar::OnCaptureChanged(HWND gaining) {
    // Taking the capture again on a press does not end the press.
    if (!buttonDown || gaining == hwnd) return;
    const bool wasDragging = dragging != 0;
    pressed = -1;
    buttonDown = dragging = 0;
    maxDist2 = 0;
    Invalidate(false);
    if (!wasDragging) return;
    EndMove();
}

void StatusBar::OnMouseLeaveTimer() {
    KillTimer(hwnd, 3);
    if (!mouseInside) return;
    POINT pt{};
    RECT r{};
    GetCursorPos(&pt);
    GetWindowRect(hwnd, &r);
    if (PtInRect(&r, pt)) {
        if (!tracking) {
            TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, hwnd, 0};
            if (TrackMouseEvent(&t)) tracking = 1;
        }
        ZlTrace(L"sb mouseleave ignored (still inside)");
        return;
    }
    mouseInside = 0;
    hover = -1;
    ZlTrace(L"sb mouseleave -> translucent");
    Invalidate(false);
}

}  // namespace zl
