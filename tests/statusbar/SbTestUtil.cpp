#include "SbTestUtil.h"

#include <vector>

namespace sbtest {

bool WritePreviewPid(const UserFolder& folder, const std::string& content) {
    return zltest::WriteBytes(folder.Dir().File(L"preview.pid"), content);
}

LPARAM ClientPoint(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

void Send(zl::StatusBar& bar, UINT msg, int x, int y) {
    WPARAM keys = msg == WM_MOUSEMOVE || msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0;
    SendMessageW(bar.hwnd, msg, keys, ClientPoint(x, y));
}

void LeftGesture(HWND w, int upX, int dragX) {
    SendMessageW(w, WM_LBUTTONDOWN, 0, ClientPoint(60, 20));
    if (dragX >= 0) SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(dragX, 20));
    SendMessageW(w, WM_LBUTTONUP, 0, ClientPoint(upX, 20));
}

RECT WorkArea() {
    RECT r{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

void ResetPositionCache() {
    zl::StatusBar::s_posX_ = -1;
    zl::StatusBar::s_posY_ = -1;
    zl::StatusBar::s_posInit_ = 0;
}

}  // namespace sbtest
