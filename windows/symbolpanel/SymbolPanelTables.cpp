// The six categories of the symbol panel, each in display order.
#include "SymbolPanel.h"

namespace zl {

// 常用: 41 items, 11 a row.
const wchar_t* const kCat0[41] = {
    L"，", L"。", L"、", L"；", L"：", L"？", L"！", L"…", L"—", L"～", L"·",
    L"《", L"》", L"「", L"」", L"『", L"』", L"【", L"】", L"〈", L"〉", L"（",
    L"）", L"〔", L"〕", L"“", L"”", L"‘", L"’", L"％", L"＃", L"＆", L"＊",
    L"￥", L"＠", L"×", L"÷", L"±", L"Φ", L"§", L"¶",
};

// 数学: 41 items, 11 a row.
const wchar_t* const kCat1[41] = {
    L"＋", L"－", L"×", L"÷", L"＝", L"≠", L"≈", L"＜", L"＞", L"≤", L"≥",
    L"±", L"∝", L"∞", L"∑", L"∏", L"√", L"∟", L"∠", L"⌒", L"⊙", L"∫",
    L"∴", L"∵", L"∧", L"∨", L"∩", L"∪", L"∈", L"∶", L"°", L"′", L"″",
    L"‰", L"≡", L"∽", L"⊥", L"∥", L"Φ", L"⌀", L"％",
};

// 序号: 50 items, 13 a row.
const wchar_t* const kCat2[50] = {
    L"①", L"②", L"③", L"④", L"⑤", L"⑥", L"⑦", L"⑧", L"⑨", L"⑩", L"⑴", L"⑵", L"⑶",
    L"⑷", L"⑸", L"⑹", L"⑺", L"⑻", L"⑼", L"⑽", L"⒈", L"⒉", L"⒊", L"⒋", L"⒌", L"⒍",
    L"⒎", L"⒏", L"⒐", L"⒑", L"Ⅰ", L"Ⅱ", L"Ⅲ", L"Ⅳ", L"Ⅴ", L"Ⅵ", L"Ⅶ", L"Ⅷ", L"Ⅸ",
    L"Ⅹ", L"㈠", L"㈡", L"㈢", L"㈣", L"㈤", L"㈥", L"㈦", L"㈧", L"㈨", L"㈩",
};

// 箭头: 40 items, 11 a row.
const wchar_t* const kCat3[40] = {
    L"←", L"↑", L"→", L"↓", L"↔", L"↕", L"↖", L"↗", L"↘", L"↙", L"▲",
    L"▼", L"◀", L"▶", L"◆", L"◇", L"○", L"●", L"◎", L"△", L"▽", L"□",
    L"■", L"☆", L"★", L"※", L"◢", L"◣", L"◤", L"◥", L"▁", L"▂", L"▃",
    L"▄", L"▅", L"▆", L"▇", L"█", L"░", L"▒",
};

// 符号: 40 items, 11 a row.
const wchar_t* const kCat4[40] = {
    L"※", L"§", L"¶", L"©", L"®", L"™", L"№", L"☆", L"★", L"♪", L"♫",
    L"♭", L"♯", L"♠", L"♣", L"♥", L"♦", L"☀", L"☁", L"☂", L"☃", L"☎",
    L"☏", L"☜", L"☞", L"☺", L"☻", L"♀", L"♂", L"☯", L"‖", L"∷", L"∮",
    L"≌", L"≮", L"≯", L"℃", L"¤", L"〓", L"﹢",
};

// 颜文字: 12 items, 3 a row.
const wchar_t* const kCat5[12] = {
    L"（＾▽＾）", L"（￣▽￣）", L"(^_^)",
    L"(T_T)", L"(>_<)", L"(￣ー￣)",
    L"（＠＿＠）", L"（￣︶￣）", L"(＝＿＝)",
    L"（≧▽≦）", L"(⊙＿⊙)", L"（＞﹏＜）",
};
const SymbolCategory kCats[kSymbolCategoryCount] = {
    {L"常用", kCat0, 41, 11},
    {L"数学", kCat1, 41, 11},
    {L"序号", kCat2, 50, 13},
    {L"箭头", kCat3, 40, 11},
    {L"符号", kCat4, 40, 11},
    {L"颜文字", kCat5, 12, 3},
};

}  // namespace zl
