// The main window: title, help card or input box and status line, and the menus that
// change every setting. Settings change through Options and the engine through
// InputKeys; this file only wires them to the window.
#include <windows.h>

#include <initializer_list>

#include "DemoApp.h"
#include "DemoFiles.h"
#include "Fetch.h"
#include "GdiHelpers.h"
#include "HelpText.h"
#include "InputKeys.h"
#include "MenuIds.h"
#include "Options.h"
#include "UpdateCheck.h"
#include "WindowClass.h"

namespace zldemo {

namespace {

constexpr UINT kDemoHelpId = 1004;
constexpr UINT kSettingsHelpId = 1005;
constexpr UINT_PTR kStatusTimer = 1;
constexpr COLORREF kCardEdge = 0xDCD6D4;
constexpr COLORREF kTitleColour = 0x321E14;
constexpr COLORREF kStatusColour = 0x5F5A5A;
// Shown as it stands, never used as a format string: it holds a literal %APPDATA%.
constexpr wchar_t kSavedText[] = L"设置已保存到 %APPDATA%\\ZelunWubi\\config.ini";
constexpr wchar_t kHint[] = L"提示：字母=编码 空格=上屏 数字=选词 回车=清屏 Tab=切换方案";

HMENU g_menuBar = nullptr;
HWND g_help = nullptr;  // the help text control
std::wstring g_status;
bool g_topMost = false;
RECT g_helpCard = {16, 84, 643, 596};
RECT g_statusRect = {16, 362, 643, 400};
zl::FontHandle g_fontTitle;
zl::FontHandle g_fontHelp;

std::wstring ShownVersion() { return ShownVersionIn(g_folder); }

HFONT MakeFont(int px, int weight, const wchar_t* face, DWORD charset = DEFAULT_CHARSET) {
    return CreateFontW(-px, 0, 0, 0, weight, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, face);
}

// One menu row: a command and its text; id 0 is a separator. The version row is greyed
// by RefreshMenuState, which always follows.
struct MenuRow {
    UINT id;
    const wchar_t* text;
};

HMENU MakePopup(std::initializer_list<MenuRow> rows) {
    HMENU menu = CreatePopupMenu();
    for (const MenuRow& r : rows) {
        AppendMenuW(menu, r.id ? MF_STRING : MF_SEPARATOR, r.id, r.text);
    }
    return menu;
}

void BuildMenus(HWND hwnd) {
    HMENU select = CreatePopupMenu();
    for (int i = 0; i < kOptionCount; ++i) AppendMenuW(select, MF_STRING, kIdOptionFirst + i, kChkNames[i]);

    const struct {
        HMENU popup;
        const wchar_t* text;
    } bar[] = {
        {MakePopup({{kIdClearDemo, L"清空演示输入"},
                    {0, nullptr},
                    {kIdSelectHelp, L"全选说明文本"},
                    {kIdCopyHelp, L"复制说明文本"}}),
         L"编辑(&E)"},
        {select, L"选择(&S)"},
        {MakePopup({{kIdTopMost, L"窗口总在最前"},
                    {kIdMinimise, L"最小化"},
                    {0, nullptr},
                    {kIdClose, L"关闭(&C)"}}),
         L"窗口(&W)"},
        {MakePopup({{kIdSchemeWubi, L"输入方案：五笔 86"},
                    {kIdSchemePinyin, L"输入方案：拼音"},
                    {kIdSchemeMixed, L"输入方案：五笔拼音混输"},
                    {0, nullptr},
                    {kIdTheme, L"状态条主题"},
                    {kIdAccent, L"状态条配色"},
                    {kIdBase, L"状态条底色"},
                    {kIdAccentDefault, L"恢复默认配色"},
                    {kIdBaseDefault, L"恢复默认底色"},
                    {0, nullptr},
                    {kIdSkinDefault, L"皮肤：默认（圆角·阴影）"},
                    {kIdSkinClassic, L"皮肤：经典（直角·黑细描边）"},
                    {kIdSkinFrame, L"皮肤：彩框（胶囊·彩色线框·无阴影）"},
                    {0, nullptr},
                    {kIdSaveSettings, L"保存设置"},
                    {kIdResetDefaults, L"恢复默认设置"},
                    {kIdCheckUpdate, L"检查更新…"}}),
         L"功能(&F)"},
        {MakePopup({{kIdShowHelp, L"查看使用说明"}, {kIdShortcuts, L"快捷键一览"}}), L"帮助(&H)"},
        {MakePopup({{kIdVersion, L"版本"},
                    {kIdAbout, L"关于 泽仑五笔输入法…"},
                    {0, nullptr},
                    {kIdHomePage, L"访问官方主页"},
                    {kIdDownloadPage, L"访问发布页面（下载）"}}),
         L"关于(&A)"},
    };
    g_menuBar = CreateMenu();
    for (const auto& b : bar) AppendMenuW(g_menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(b.popup), b.text);
    SetMenu(hwnd, g_menuBar);
}

void Check(UINT id, bool on) {
    CheckMenuItem(g_menuBar, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

void SetItemText(UINT id, const std::wstring& text, UINT extra = 0) {
    ModifyMenuW(g_menuBar, id, MF_BYCOMMAND | MF_STRING | extra, id, text.c_str());
}

void RefreshMenuState() {
    if (!g_menuBar) return;
    for (int i = 0; i < kOptionCount; ++i) Check(kIdOptionFirst + i, *OptionSlot(g_cfg, i) != 0);
    SetItemText(kIdTheme, SkinBtnText(g_cfg, 0));
    SetItemText(kIdAccent, SkinBtnText(g_cfg, 1));
    SetItemText(kIdBase, SkinBtnText(g_cfg, 2));
    Check(kIdSkinDefault, g_cfg.statusSkin == 0);
    Check(kIdSkinClassic, g_cfg.statusSkin == 1);
    Check(kIdSkinFrame, g_cfg.statusSkin == 2);
    Check(kIdSchemeWubi, g_engine.mode == zl::kModeWubi);
    Check(kIdSchemePinyin, g_engine.mode == zl::kModePinyin);
    Check(kIdSchemeMixed, g_engine.mode == zl::kModeMixed);
    SetItemText(kIdVersion, L"版本  v" + ShownVersion(), MF_GRAYED);
    Check(kIdTopMost, g_topMost);
}

void RepaintInput() {
    if (g_input) InvalidateRect(g_input, nullptr, FALSE);
}

// Copies g_cfg into the engine, recomputes what is typed and repaints the box.
void ApplyOptionsFromUI() {
    ApplyOptions(g_engine, g_cfg);
    RepaintInput();
}

void ApplyAndSave() {
    g_cfg.Save();
    ApplyOptionsFromUI();
    RefreshMenuState();
}

void LayoutMain(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int w = rc.right;
    if (w <= 64) return;
    g_helpCard.right = w - 16;
    g_statusRect.right = w - 16;
    if (g_input) MoveWindow(g_input, 16, 56, w - 32, 300, TRUE);
    if (g_help) {
        if (g_settingsOnly) {
            MoveWindow(g_help, g_helpCard.left + 8, g_helpCard.top + 8, g_helpCard.right - g_helpCard.left - 16,
                       g_helpCard.bottom - g_helpCard.top - 16, TRUE);
        } else {
            MoveWindow(g_help, 16, 454, w - 32, 180, TRUE);
        }
    }
    if (g_settingsOnly) InvalidateRect(hwnd, nullptr, FALSE);
}

void PutText(HDC dc, int x, int y, const std::wstring& text) {
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

void PaintMain(HWND, HDC dc, const RECT& rc) {
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    {
        zl::SelectGuard font(dc, g_fontTitle.Get());
        SetTextColor(dc, kTitleColour);
        PutText(dc, 16, 14, g_settingsOnly ? L"泽仑五笔输入法 · 设置" : L"泽仑五笔输入法 · 演示与设置");
    }
    if (g_settingsOnly) {
        zl::PenHandle pen(CreatePen(PS_SOLID, 1, kCardEdge));
        zl::SelectGuard usePen(dc, pen.Get());
        zl::SelectGuard useBrush(dc, g_cardBrush.Get());
        RoundRect(dc, g_helpCard.left, g_helpCard.top, g_helpCard.right, g_helpCard.bottom, 10, 10);
    } else {
        zl::SelectGuard font(dc, g_fontUI.Get());
        SetTextColor(dc, kStatusColour);
        if (!g_status.empty()) PutText(dc, 16, 366, g_status);
        PutText(dc, 16, 386, kHint);
    }
}

void OnCreate(HWND hwnd) {
    HINSTANCE inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd, GWLP_HINSTANCE));
    g_main = hwnd;
    g_fontTitle.Reset(MakeFont(24, FW_BOLD, L"Microsoft YaHei"));
    g_font.Reset(MakeFont(22, FW_NORMAL, L"Microsoft YaHei"));
    g_fontUI.Reset(MakeFont(15, FW_NORMAL, L"Microsoft YaHei"));
    g_fontHelp.Reset(MakeFont(15, FW_NORMAL, L"微软雅黑", GB2312_CHARSET));
    g_cardBrush.Reset(CreateSolidBrush(kCardColour));
    if (!g_settingsOnly) {
        g_input = CreateWindowExW(WS_EX_CLIENTEDGE, kInputClass, L"", WS_CHILD | WS_VISIBLE, 16, 56, 627, 300, hwnd,
                                  nullptr, inst, nullptr);
    }
    g_helpText = LoadHelpFile(g_folder);
    if (g_helpText.empty()) g_helpText = BuiltInHelpText();

    HWND label = CreateWindowExW(0, L"STATIC", L"使用说明", WS_CHILD | WS_VISIBLE, 16, g_settingsOnly ? 58 : 430,
                                 200, 22, hwnd, nullptr, inst, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(g_fontUI.Get()), FALSE);

    const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL;
    if (g_settingsOnly) {
        g_help = CreateWindowExW(0, L"EDIT", L"", style, 24, 92, 611, 496, hwnd,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kSettingsHelpId)), inst, nullptr);
    } else {
        g_help = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", style, 16, 454, 627, 180, hwnd,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kDemoHelpId)), inst, nullptr);
    }
    if (g_help) {
        SendMessageW(g_help, EM_SETLIMITTEXT, 0x7FFFFFF0, 0);
        SendMessageW(g_help, WM_SETFONT, reinterpret_cast<WPARAM>(g_fontHelp.Get()), FALSE);
        SetWindowTextW(g_help, g_helpText.c_str());
        if (g_settingsOnly) SubclassMainHelp(g_help);
    }
    BuildMenus(hwnd);
    LayoutMain(hwnd);
    RefreshMenuState();
    // The status line is drawn in the demonstration window only.
    if (!g_settingsOnly) SetTimer(hwnd, kStatusTimer, 250, nullptr);
}

void OnStatusTimer() {
    std::wstring line = StatusLine(g_engine);
    if (line == g_status) return;
    g_status = std::move(line);
    InvalidateRect(g_main, &g_statusRect, FALSE);
}

void CheckForUpdate(HWND hwnd) {
    UpdateCheckEnv env;
    env.address = g_cfg.updateUrl;
    env.version = ShownVersion();
    env.startUpdater = [] { return StartUpdaterIn(g_folder); };
    env.fetch = [](const std::wstring& a, zl::UpdateInfo* info, std::wstring* err) {
        return zl::FetchUpdateInfo(a, info, err);
    };
    env.message = [hwnd](const std::wstring& text, const wchar_t* caption, UINT flags) {
        return MessageBoxW(hwnd, text.c_str(), caption, flags);
    };
    env.open = [](const std::wstring& a) { zl::OpenUrl(a); };
    RunUpdateCheck(env);
}

void OnCommand(HWND hwnd, UINT id) {
    if (EditOptions(g_cfg, id)) {
        ApplyAndSave();
        return;
    }
    switch (id) {
        case kIdSchemeWubi:
        case kIdSchemePinyin:
        case kIdSchemeMixed:
            SelectScheme(g_engine, g_cfg, static_cast<int>(id - kIdSchemeWubi));
            g_cfg.Save();
            g_cand.Hide();
            RepaintInput();
            RefreshMenuState();
            break;
        case kIdAccent:
        case kIdBase: {
            int& field = id == kIdAccent ? g_cfg.statusAccent : g_cfg.statusBase;
            const COLORREF fallback = id == kIdAccent ? kAccentFallback : kCardFallback;
            COLORREF picked = 0;
            if (PickColor(hwnd, field ? static_cast<COLORREF>(field) : fallback, &picked)) {
                // The dialog may have stayed open a long time: what the input method saved
                // meanwhile must not be written back with the values read when the menu opened.
                g_cfg.Load();
                field = static_cast<int>(picked);
                ApplyAndSave();
            }
            break;
        }
        case kIdSaveSettings:
            ApplyAndSave();
            MessageBoxW(hwnd, kSavedText, kAppCaption, MB_ICONINFORMATION);
            break;
        case kIdCheckUpdate: CheckForUpdate(hwnd); break;
        case kIdClearDemo:
            g_text.clear();
            g_engine.Clear();
            g_cand.Hide();
            RepaintInput();
            break;
        case kIdSelectHelp: SendMessageW(g_help, EM_SETSEL, 0, -1); break;
        case kIdCopyHelp:
            SendMessageW(g_help, EM_SETSEL, 0, -1);
            SendMessageW(g_help, WM_COPY, 0, 0);
            break;
        case kIdTopMost:
            g_topMost = !g_topMost;
            SetWindowPos(hwnd, g_topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            RefreshMenuState();
            break;
        case kIdMinimise: ShowWindow(hwnd, SW_MINIMIZE); break;
        case kIdClose: PostMessageW(hwnd, WM_CLOSE, 0, 0); break;
        case kIdShowHelp: OpenHelpWindow(); break;
        case kIdShortcuts:
            MessageBoxW(hwnd, ShortcutListText().c_str(), L"快捷键一览", MB_ICONINFORMATION);
            break;
        case kIdAbout:
            MessageBoxW(hwnd, AboutText(ShownVersion()).c_str(), L"关于 泽仑五笔输入法", MB_ICONINFORMATION);
            break;
        case kIdHomePage: zl::OpenUrl(zl::HomePageUrl()); break;
        case kIdDownloadPage: zl::OpenUrl(DownloadPageAddress()); break;
        default: break;
    }
}

LRESULT CALLBACK MainProcWork(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE: OnCreate(hwnd); return 0;
        case WM_SIZE: LayoutMain(hwnd); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: PaintBuffered(hwnd, PaintMain); return 0;
        case WM_CTLCOLORSTATIC:
            if (g_settingsOnly && reinterpret_cast<HWND>(lp) == g_help) {
                SetBkColor(reinterpret_cast<HDC>(wp), kCardColour);
                return reinterpret_cast<LRESULT>(g_cardBrush.Get());
            }
            break;
        case WM_TIMER:
            if (wp == kStatusTimer) OnStatusTimer();
            return 0;
        case WM_INITMENUPOPUP:
            g_cfg.Load();
            ApplyOptionsFromUI();
            RefreshMenuState();
            return 0;
        case WM_COMMAND: OnCommand(hwnd, LOWORD(wp)); return 0;
        case WM_LBUTTONDOWN: SetFocus(hwnd); return 0;
        case WM_MOUSEWHEEL:
            if (g_settingsOnly && g_help) return SendMessageW(g_help, msg, wp, lp);
            break;
        case WM_DESTROY:
            KillTimer(hwnd, kStatusTimer);
            if (g_helpPopup) DestroyWindow(g_helpPopup);
            g_cand.Hide();
            if (g_settingsOnly) DeletePreviewPid();
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            // The menu went with the window; the fonts and brush go after the controls that used them.
            g_menuBar = nullptr;
            g_main = g_input = g_help = nullptr;
            g_fontTitle.Reset();
            g_font.Reset();
            g_fontUI.Reset();
            g_fontHelp.Reset();
            g_cardBrush.Reset();
            break;
        default: break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return zl::NoThrowWndProc<MainProcWork>(hwnd, msg, wp, lp);
}

}  // namespace zldemo
