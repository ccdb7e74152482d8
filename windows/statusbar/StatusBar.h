// The floating status bar: one per text-service object, one visible per desktop.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

namespace zl {

// What the bar shows.
struct StatusInfo {
    uint8_t chinese = 1;
    uint32_t scheme = 0;  // 0 五, 1 拼, 2 混; anything else shows 五
    uint8_t fullWidth = 0;
    uint8_t symbolsOpen = 0;  // only triggers a repaint
};

// How the bar looks; fields in the order of the config keys.
struct StatusSkin {
    uint32_t theme = 0;        // 0 system, 1 light, 2 dark, other light
    uint32_t skin = 0;         // 0 default, 1 classic, 2 colour frame
    uint32_t translucent = 1;  // constant alpha 160 while the mouse is away
    uint32_t accent = 0;       // COLORREF, 0 = preset
    uint32_t base = 0;         // COLORREF, 0 = preset
};

// Colours of one repaint; pillText is the colour of the 中/英 glyph.
struct Palette {
    COLORREF bgTop, bgBottom, outline, highlight;
    COLORREF pillOnTop, pillOnBottom, pillOffTop, pillOffBottom;
    COLORREF glyphOff, accent, hoverFill, pressedFill, separator;
    COLORREF pillText;
};

// Button edges in 96-dpi units from the left end of the button row.
extern const int kEdges[6];

// The thread of this process whose bar is the one shown; interlocked access only.
extern volatile LONG g_activeTid;

// Per channel a + (b - a)·t/256, t in 256ths.
COLORREF RgbLerp(COLORREF a, COLORREF b, int t);
// AppsUseLightTheme == 0; a missing key or value means light.
bool IsDarkTheme();
// The palette for a skin in the resolved theme.
Palette MakePalette(const StatusSkin& skin, bool dark);

void FillRoundGradient(HDC dc, int x, int y, int w, int h, int radius, COLORREF c1, COLORREF c2,
                       bool vertical);
void StrokeRound(HDC dc, int x, int y, int w, int h, int radius, int width, COLORREF colour);
void StrokeRectFlat(HDC dc, int x, int y, int w, int h, COLORREF colour);
void DrawCellHighlight(HDC dc, int region, bool pressed, const Palette& palette, bool square);
// The button row on its 688 × 144 canvas (four times the row's 96-dpi size).
void DrawStatusCanvas(HDC dc, const Palette& p, const StatusSkin& skin, const StatusInfo& info,
                      int hover, int pressed);

BOOL CALLBACK HideSiblingProc(HWND window, LPARAM ownWindow);
BOOL CALLBACK FindVisibleProc(HWND window, LPARAM flag);
BOOL CALLBACK FindStatusInPid(HWND window, LPARAM pidAndFound);
BOOL CALLBACK FindChildPid(HWND child, LPARAM pidAndFound);

struct PidSearch {
    DWORD pid;
    bool found;
};

class StatusBar {
public:
    StatusBar() = default;
    ~StatusBar() { Destroy(); }
    StatusBar(const StatusBar&) = delete;
    StatusBar& operator=(const StatusBar&) = delete;

    // Window, look and mouse.
    bool Create(HINSTANCE instance);
    void Destroy();
    void Update(const StatusInfo& info);
    void SetSkin(const StatusSkin& skin);
    int HitRegion(POINT client) const;
    static int ComputeLayeredAlpha(bool translucent, bool composition, bool buttonDown,
                                   bool mouseInside);
    int L(int v) const { return MulDiv(v, dpi, 96); }

    // Placement and arbitration.
    void Place();
    void SetPos(int x, int y);
    static void SetSharedPos(int x, int y);
    void Show();
    void Hide();
    void SetEnabled(bool on);
    void CheckForeground();

    // Draws the current state into a top-down premultiplied 32-bit buffer of w × h
    // (what Render presents), without touching the render cache.
    bool DrawPixels(int w, int h, std::vector<uint32_t>& out);

    HWND hwnd = nullptr;
    HFONT glyphFont = nullptr;
    uint8_t visible = 0;
    uint8_t enabled = 0;
    uint8_t dark = 0;
    StatusSkin skin;
    uint8_t mouseInside = 0;
    int dpi = 96;
    StatusInfo info;
    int x = -1, y = -1;
    uint8_t buttonDown = 0;
    uint8_t dragging = 0;
    int maxDist2 = 0;
    POINT pressClient{};
    POINT pressTopLeft{};
    POINT pressScreen{};
    int hover = -1;
    int pressed = -1;
    uint8_t tracking = 0;
    uint32_t renderKey = 0;
    uint32_t renderAccent = 0;
    uint32_t renderBase = 0;
    int renderW = 0;
    int renderH = 0;
    uint8_t dirty = 1;
    uint8_t dwmOk = 0;
    uint8_t dwmProbed = 0;
    uint8_t renderLogged = 0;
    RECT pressRect{};
    DWORD lastActivityTick = 0;
    HWND lastForeground = nullptr;
    uint8_t proxy = 0;
    DWORD lastScanTick = 0;
    std::function<HWND()> foregroundWindowProvider;
    std::function<DWORD()> focusPidProvider;
    std::function<void(int)> onClick;
    std::function<void(POINT)> onRightClick;
    std::function<void(int, int)> onMoved;
    std::function<void()> onTick;
    // Constant alpha of the last presentation (255 before any).
    int presentedAlpha = 255;

    // Process-wide: the bars of several UI threads read and write them.
    static std::atomic<int> s_posX_;
    static std::atomic<int> s_posY_;
    static std::atomic<uint8_t> s_posInit_;

    static LRESULT CALLBACK WndProc(HWND window, UINT msg, WPARAM wp, LPARAM lp);

private:
    void Render();
    void DrawFrame(HDC dc, uint32_t* bits, int w, int h, const Palette& pal);
    void ResolveDark();
    void HideInline(const wchar_t* trace);
    bool AnyOtherBarVisible() const;
    void OnMouseMove(int cx, int cy);
    void OnLButtonDown(int cx, int cy);
    void OnLButtonUp(int cx, int cy);
    void OnCaptureChanged(HWND gaining);
    // After a drag: takes the new place, reports it, redraws what the bar uncovered.
    // Nothing of the object is touched after the report.
    void EndMove();
    void OnMouseLeaveTimer();
    void Invalidate(bool erase);
    POINT ScreenPoint(int cx, int cy) const;

    HINSTANCE instance_ = nullptr;  // the module whose class Create registered
};

// Redraws the desktop under a rectangle a window left, inflated by 2 pixels.
void RedrawDesktopUnder(const RECT& r);

}  // namespace zl
