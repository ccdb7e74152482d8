#include "InputKeys.h"

#include "Options.h"

namespace zldemo {

wchar_t PunctKeyChar(UINT vk, bool shift) {
    struct Key {
        UINT vk;
        wchar_t plain;
        wchar_t shifted;
    };
    static const Key kKeys[] = {
        {VK_OEM_1, L';', L':'},      {VK_OEM_PLUS, L'=', L'+'}, {VK_OEM_COMMA, L',', L'<'},
        {VK_OEM_MINUS, L'-', L'_'},  {VK_OEM_PERIOD, L'.', L'>'}, {VK_OEM_2, L'/', L'?'},
        {VK_OEM_3, L'`', L'~'},      {VK_OEM_4, L'[', L'{'},    {VK_OEM_5, L'\\', L'|'},
        {VK_OEM_6, L']', L'}'},      {VK_OEM_7, L'\'', L'"'},
    };
    for (const Key& k : kKeys) {
        if (k.vk == vk) return shift ? k.shifted : k.plain;
    }
    return 0;
}

void SelectScheme(zl::Engine& engine, zl::Config& cfg, int scheme) {
    const zl::Mode mode = static_cast<zl::Mode>(SchemeFromSetting(scheme));
    if (mode != engine.mode) {
        engine.mode = mode;
        engine.Clear();
    }
    cfg.scheme = mode;
}

void ApplyOptions(zl::Engine& engine, const zl::Config& cfg) {
    engine.config = cfg;
    if (!engine.code.empty()) engine.Update();
}

bool InputKeyDown(zl::Engine& engine, zl::Config& cfg, std::wstring& text, UINT vk, bool shift) {
    const bool typing = !engine.code.empty();
    bool handled = false;
    bool tab = false;
    if (vk >= 'A' && vk <= 'Z') {
        handled = engine.OnLetter(static_cast<char>(vk - 'A' + 'a'));
    } else if (vk >= '1' && vk <= '9') {
        handled = typing && engine.OnDigit(static_cast<int>(vk - '0'));
    } else if (vk == VK_BACK) {
        if (typing) {
            handled = engine.OnBackspace();
        } else if (!text.empty()) {
            // A character outside the BMP is two units: never leave half of it behind.
            const size_t n = text.size();
            const bool pair = n >= 2 && IS_LOW_SURROGATE(text[n - 1]) && IS_HIGH_SURROGATE(text[n - 2]);
            text.resize(n - (pair ? 2 : 1));
            handled = true;
        }
    } else if (vk == VK_TAB) {
        tab = true;
        // The input method may have changed other keys since a menu last read the file.
        cfg.Load();
        SelectScheme(engine, cfg, (engine.mode + 1) % 3);
        cfg.Save();
        ApplyOptions(engine, cfg);
    } else if (vk == VK_RETURN) {
        if (typing) {
            handled = engine.OnEnter();
        } else {
            text += L'\n';
            handled = true;
        }
    } else if (vk == VK_ESCAPE) {
        handled = engine.OnEscape();
    } else if (vk == VK_SPACE) {
        if (typing) {
            handled = engine.OnSpace();
        } else {
            text += L' ';
            handled = true;
        }
    } else if (vk == VK_PRIOR || vk == VK_UP) {
        handled = engine.OnPageKey(false);
    } else if (vk == VK_NEXT || vk == VK_DOWN) {
        handled = engine.OnPageKey(true);
    } else if (const wchar_t c = PunctKeyChar(vk, shift)) {
        text += engine.punct(c);
        handled = true;
    }
    std::wstring out;
    while (engine.TakeCommit(out)) text += out;
    return handled || tab;
}

bool WantsCandidates(const zl::Engine& engine) {
    return !engine.code.empty() && !engine.candidates.empty();
}

zl::CandShow CandShowFor(const zl::Engine& engine, const zl::Config& cfg, POINT box) {
    zl::CandShow s;
    s.list = &engine.candidates;
    s.page = engine.page;
    s.pageSize = static_cast<uint64_t>(cfg.pageSize);
    s.fontPx = static_cast<uint32_t>(cfg.fontSize);
    s.showCode = cfg.showCode != 0;
    s.horizontal = cfg.vertical == 0;
    s.showPageIndicator = cfg.showHint != 0;
    s.selected = 0;
    s.x = box.x + 20;
    s.y = box.y + cfg.fontSize * 24 / 10;  // font size x 2.4, rounded down
    return s;
}

std::wstring StatusLine(const zl::Engine& engine) {
    return std::wstring(L"当前方案：") + SchemeName(engine.mode) + L"    候选数：" +
           std::to_wstring(engine.candidates.size()) + L"    编码：" +
           std::wstring(engine.code.begin(), engine.code.end());
}

}  // namespace zldemo
