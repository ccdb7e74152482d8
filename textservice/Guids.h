// The component's class, profile and preserved-key identifiers, and its names.
#pragma once

#include <windows.h>

namespace zl {

// {7E2F1C4A-9B3D-4A6E-8F52-1C3D5A7B9E01}: the text service's class, TIP id and category item.
constexpr GUID CLSID_ZLTextService = {
    0x7e2f1c4a, 0x9b3d, 0x4a6e, {0x8f, 0x52, 0x1c, 0x3d, 0x5a, 0x7b, 0x9e, 0x01}};
// The one language profile (0x0804).
constexpr GUID GUID_ZLProfileWubi = {
    0x7e2f1c4a, 0x9b3d, 0x4a6e, {0x8f, 0x52, 0x1c, 0x3d, 0x5a, 0x7b, 0x9e, 0x02}};
// A profile of earlier versions: registration only ever removes it.
constexpr GUID GUID_ZLProfilePinyin = {
    0x7e2f1c4a, 0x9b3d, 0x4a6e, {0x8f, 0x52, 0x1c, 0x3d, 0x5a, 0x7b, 0x9e, 0x03}};
// The Ctrl+Space preserved key.
constexpr GUID GUID_ZLKeyCtrlSpace = {
    0x7e2f1c4a, 0x9b3d, 0x4a6e, {0x8f, 0x52, 0x1c, 0x3d, 0x5a, 0x7b, 0x9e, 0x05}};

// The same identifiers in registry form. Registry paths are built from these constants,
// never from a conversion that could fail and leave an empty string.
constexpr wchar_t kClsidText[] = L"{7E2F1C4A-9B3D-4A6E-8F52-1C3D5A7B9E01}";
constexpr wchar_t kProfileWubiText[] = L"{7E2F1C4A-9B3D-4A6E-8F52-1C3D5A7B9E02}";
constexpr wchar_t kProfilePinyinText[] = L"{7E2F1C4A-9B3D-4A6E-8F52-1C3D5A7B9E03}";
constexpr wchar_t kKeyCtrlSpaceText[] = L"{7E2F1C4A-9B3D-4A6E-8F52-1C3D5A7B9E05}";

constexpr LANGID kLangId = 0x0804;
constexpr const wchar_t* kDisplayName = L"\u6CFD\u4ED1\u4E94\u7B14\u8F93\u5165\u6CD5";  // 泽仑五笔输入法
constexpr wchar_t kProfileDescription[] = L"\u6CFD\u4ED1\u4E94\u7B14";                 // 泽仑五笔

}  // namespace zl
