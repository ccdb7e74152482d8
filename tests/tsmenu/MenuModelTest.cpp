// The right-click menu read back item by item: ids, labels, ticks, greys and the skin submenu.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MenuModel.h"

namespace {

struct Row {
    UINT id;  // 0 for a separator or the submenu
    std::wstring label;
    bool checked;
    bool grayed;
    HMENU sub;
};

std::vector<Row> ReadMenu(HMENU menu) {
    std::vector<Row> rows;
    const int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW mi{};
        mi.cbSize = sizeof(mi);
        mi.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_SUBMENU | MIIM_STRING;
        mi.dwTypeData = text;
        mi.cch = 255;
        EXPECT_TRUE(GetMenuItemInfoW(menu, i, TRUE, &mi));
        Row r{mi.wID, (mi.fType & MFT_SEPARATOR) ? L"-" : text, (mi.fState & MFS_CHECKED) != 0,
              (mi.fState & MFS_GRAYED) != 0, mi.hSubMenu};
        if (r.sub || (mi.fType & MFT_SEPARATOR)) r.id = 0;
        rows.push_back(r);
    }
    return rows;
}

struct MenuOwner {
    explicit MenuOwner(HMENU m) : menu(m) {}
    ~MenuOwner() {
        if (menu) DestroyMenu(menu);
    }
    HMENU menu;
};

TEST(MenuModel, RowsIdsAndLabelsInOrder) {
    zl::MenuState s;
    s.version = L"4.6.0";
    MenuOwner m(zl::BuildTextServiceMenu(s));
    ASSERT_NE(m.menu, nullptr);
    const std::vector<std::pair<UINT, std::wstring>> want = {
        {1, L"五笔输入"},
        {2, L"拼音输入"},
        {18, L"五笔拼音混输"},
        {3, L"英文输入"},
        {0, L"-"},
        {4, L"全角输出"},
        {5, L"小键盘数字用于选词"},
        {24, L"竖排候选"},
        {13, L"图标输入（符号 / 颜文字）"},
        {6, L"按住 Shift 直接输入英文"},
        {14, L"单击 Shift 切换中英文"},
        {10, L"Ctrl+空格 切换中英文"},
        {11, L"Ctrl+数字 手动调频（第N个调到首位）"},
        {12, L"清除手动调频记录"},
        {20, L"手写输入（系统手写面板）"},
        {0, L"-"},
        {7, L"设置…"},
        {8, L"显示状态条"},
        {19, L"状态条半透明（鼠标靠近恢复实体）"},
        {0, L"状态条皮肤"},
        {0, L"-"},
        {16, L"自动检测新版本"},
        {15, L"检查更新…"},
        {9, L"关于 泽仑五笔 v4.6.0"},
    };
    const std::vector<Row> rows = ReadMenu(m.menu);
    ASSERT_EQ(rows.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(rows[i].id, want[i].first) << i;
        EXPECT_EQ(rows[i].label, want[i].second) << i;
    }
    ASSERT_NE(rows[19].sub, nullptr);
    const std::vector<Row> skins = ReadMenu(rows[19].sub);
    ASSERT_EQ(skins.size(), 3u);
    EXPECT_EQ(skins[0].id, 21u);
    EXPECT_EQ(skins[0].label, L"默认皮肤（圆角 · 柔和阴影）");
    EXPECT_EQ(skins[1].id, 22u);
    EXPECT_EQ(skins[1].label, L"经典皮肤（直角 · 黑色细描边 · 无阴影）");
    EXPECT_EQ(skins[2].id, 23u);
    EXPECT_EQ(skins[2].label, L"彩框皮肤（胶囊 · 彩色线框 · 无阴影）");
}

// Which ids are ticked (and which greyed) for a state.
std::vector<UINT> Ticked(const zl::MenuState& s, std::vector<UINT>* grayed = nullptr) {
    MenuOwner m(zl::BuildTextServiceMenu(s));
    std::vector<UINT> ids;
    for (const Row& r : ReadMenu(m.menu)) {
        if (r.checked) ids.push_back(r.id);
        if (grayed && r.grayed && r.id != 0) grayed->push_back(r.id);  // separators may read as grey
        if (r.sub) {
            for (const Row& k : ReadMenu(r.sub)) {
                if (k.checked) ids.push_back(k.id);
            }
        }
    }
    return ids;
}

TEST(MenuModel, TicksAndGreysFollowTheState) {
    zl::MenuState none;  // English is not ticked in Chinese mode; scheme 0 ticks Wubi
    none.skin = 7;       // an unknown skin counts as the default one
    std::vector<UINT> grayed;
    EXPECT_EQ(Ticked(none, &grayed), (std::vector<UINT>{1, 21}));
    EXPECT_EQ(grayed, (std::vector<UINT>{12}));

    zl::MenuState all;
    all.scheme = 2;
    all.fullWidth = all.numpadSelect = all.vertical = all.symbolsOpen = true;
    all.shiftEnglish = all.shiftToggle = all.ctrlSpace = all.manualFreq = true;
    all.hasPromotions = all.touchKeyboardShown = all.statusBar = all.translucent = true;
    all.autoCheck = true;
    all.skin = 2;
    grayed.clear();
    EXPECT_EQ(Ticked(all, &grayed), (std::vector<UINT>{18, 4, 5, 24, 13, 6, 14, 10, 11, 20, 8, 19, 23, 16}));
    EXPECT_TRUE(grayed.empty());

    // English mode ticks no scheme, whatever the scheme.
    zl::MenuState english;
    english.chinese = false;
    english.scheme = 1;
    english.skin = 1;
    EXPECT_EQ(Ticked(english), (std::vector<UINT>{3, 22}));
    zl::MenuState pinyin;
    pinyin.scheme = 1;
    EXPECT_EQ(Ticked(pinyin), (std::vector<UINT>{2, 21}));
}

TEST(MenuModel, AboutNotesAStaleComponentOnlyForANewerInstalledVersion) {
    const std::wstring note = L"（当前会话仍运行旧版组件 v4.5.3，重启电脑或重开正在使用的程序后完全生效）";
    const struct {
        const wchar_t* installed;
        bool noted;
    } cases[] = {{L"", false}, {L"4.5.3", false}, {L"4.5.3.0", false}, {L"4.5.2", false},
                 {L"4.5.4", true}, {L"v5", true}};
    for (const auto& c : cases) {
        const std::wstring text = zl::AboutText(L"9.9", c.installed);
        EXPECT_EQ(text.rfind(L"泽仑五笔输入法 v9.9\n\n三个方案", 0), 0u);
        EXPECT_EQ(text.find(L"\n\n" + note) != std::wstring::npos, c.noted) << c.installed;
        // The download page is the update folder without its trailing slash.
        EXPECT_NE(text.find(L"五笔输入法发布页面（下载）：http://"), std::wstring::npos);
        const size_t end = text.find(L"/downloads/update") + 17;
        EXPECT_TRUE(end == text.size() || text[end] == L'\n') << c.installed;
    }
}

}  // namespace
