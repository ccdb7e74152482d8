// The right-click menu read back item by item: ids, labels, ticks and greys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MenuModel.h"

namespace {

struct Row {
    UINT id;  // 0 for a separator or the submenu's own row
    std::wstring label;
    bool checked, grayed;
};

// The rows in order, each submenu's rows following its own.
void ReadMenu(HMENU menu, std::vector<Row>& rows) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW mi{};
        mi.cbSize = sizeof(mi);
        mi.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_SUBMENU | MIIM_STRING;
        mi.dwTypeData = text;
        mi.cch = 255;
        ASSERT_TRUE(GetMenuItemInfoW(menu, i, TRUE, &mi));
        const bool plain = !mi.hSubMenu && !(mi.fType & MFT_SEPARATOR);
        // Wine reports separators as grey.
        rows.push_back({plain ? mi.wID : 0, (mi.fType & MFT_SEPARATOR) ? L"-" : text,
                        (mi.fState & MFS_CHECKED) != 0, plain && (mi.fState & MFS_GRAYED) != 0});
        if (mi.hSubMenu) ReadMenu(mi.hSubMenu, rows);
    }
}

std::vector<Row> Build(const zl::MenuState& s) {
    std::vector<Row> rows;
    HMENU menu = zl::BuildTextServiceMenu(s);
    EXPECT_NE(menu, nullptr);
    if (menu) {
        ReadMenu(menu, rows);
        DestroyMenu(menu);
    }
    return rows;
}

TEST(MenuModel, RowsIdsAndLabelsInOrder) {
    zl::MenuState s;
    s.version = L"4.6.0";
    const std::vector<std::pair<UINT, std::wstring>> want = {
        {1, L"五笔输入"}, {2, L"拼音输入"}, {18, L"五笔拼音混输"}, {3, L"英文输入"}, {0, L"-"},
        {4, L"全角输出"}, {5, L"小键盘数字用于选词"}, {24, L"竖排候选"}, {13, L"图标输入（符号 / 颜文字）"},
        {6, L"按住 Shift 直接输入英文"}, {14, L"单击 Shift 切换中英文"}, {10, L"Ctrl+空格 切换中英文"},
        {11, L"Ctrl+数字 手动调频（第N个调到首位）"}, {12, L"清除手动调频记录"},
        {20, L"手写输入（系统手写面板）"}, {0, L"-"}, {7, L"设置…"}, {8, L"显示状态条"},
        {19, L"状态条半透明（鼠标靠近恢复实体）"}, {0, L"状态条皮肤"},
        {21, L"默认皮肤（圆角 · 柔和阴影）"}, {22, L"经典皮肤（直角 · 黑色细描边 · 无阴影）"},
        {23, L"彩框皮肤（胶囊 · 彩色线框 · 无阴影）"}, {0, L"-"}, {16, L"自动检测新版本"},
        {15, L"检查更新…"}, {9, L"关于 泽仑五笔 v4.6.0"},
    };
    const std::vector<Row> rows = Build(s);
    ASSERT_EQ(rows.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(rows[i].id, want[i].first) << i;
        EXPECT_EQ(rows[i].label, want[i].second) << i;
    }
}

TEST(MenuModel, TicksAndGreysFollowTheState) {
    zl::MenuState none;
    none.skin = 7;  // an unknown skin counts as the default one
    zl::MenuState all;
    all.scheme = 2;
    all.fullWidth = all.numpadSelect = all.vertical = all.symbolsOpen = true;
    all.shiftEnglish = all.shiftToggle = all.ctrlSpace = all.manualFreq = true;
    all.hasPromotions = all.touchKeyboardShown = all.statusBar = all.translucent = all.autoCheck = true;
    all.skin = 2;
    zl::MenuState english;  // English ticks no scheme
    english.chinese = false;
    english.scheme = 1;
    english.skin = 1;
    zl::MenuState pinyin;
    pinyin.scheme = 1;
    const struct {
        const zl::MenuState* state;
        std::vector<UINT> ticked, grayed;
    } cases[] = {
        {&none, {1, 21}, {12}},
        {&all, {18, 4, 5, 24, 13, 6, 14, 10, 11, 20, 8, 19, 23, 16}, {}},
        {&english, {3, 22}, {12}},
        {&pinyin, {2, 21}, {12}},
    };
    for (const auto& c : cases) {
        std::vector<UINT> ticked, grayed;
        for (const Row& r : Build(*c.state)) {
            if (r.checked) ticked.push_back(r.id);
            if (r.grayed) grayed.push_back(r.id);
        }
        EXPECT_EQ(ticked, c.ticked);
        EXPECT_EQ(grayed, c.grayed);
    }
}

}  // namespace
