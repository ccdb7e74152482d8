#include "Config.h"

#include <windows.h>

#include <cwchar>

#include "UniqueHandle.h"
#include "UserDir.h"

namespace zl {

const std::wstring& DefaultUpdateUrl() {
    static const std::wstring url = std::wstring(L"http://") + ZL_UPDATE_HOST + L"/downloads/update/";
    return url;
}

namespace {

struct IntKey {
    const wchar_t* section;
    const wchar_t* key;
    int Config::*field;
};

// The order of reading and writing; a new file gets its sections and keys in this order.
// The [更新] keys follow them.
const IntKey kIntKeys[] = {
    {L"方案", L"默认", &Config::scheme},
    {L"界面", L"候选个数", &Config::pageSize},
    {L"界面", L"字号", &Config::fontSize},
    {L"界面", L"竖排", &Config::vertical},
    {L"界面", L"显示编码", &Config::showCode},
    {L"界面", L"显示提示", &Config::showHint},
    {L"输入", L"四码唯一自动上屏", &Config::autoCommit4},
    {L"输入", L"五码自动上屏", &Config::autoCommit5},
    {L"输入", L"词频调整", &Config::freqAdjust},
    {L"输入", L"新窗口默认中文", &Config::newWindowChinese},
    {L"输入", L"中文标点", &Config::chinesePunct},
    {L"输入", L"模糊音", &Config::fuzzyPinyin},
    {L"编码", L"仅GBK", &Config::gbkOnly},
    {L"界面", L"状态条", &Config::statusBar},
    {L"界面", L"状态条主题", &Config::statusTheme},
    {L"界面", L"状态条皮肤", &Config::statusSkin},
    {L"界面", L"状态条半透明", &Config::statusTranslucent},
    {L"界面", L"状态条强调色", &Config::statusAccent},
    {L"界面", L"状态条底色", &Config::statusBase},
    {L"界面", L"全角", &Config::fullWidth},
    {L"界面", L"小键盘选词", &Config::numpadSelect},
    {L"界面", L"Shift英文", &Config::shiftEnglish},
    {L"界面", L"Shift切换中英", &Config::shiftToggle},
    {L"界面", L"Ctrl空格", &Config::ctrlSpace},
    {L"输入", L"手动调频", &Config::manualFreq},
    {L"输入", L"手写输入", &Config::handwriting},
    {L"界面", L"状态条X", &Config::statusX},
    {L"界面", L"状态条Y", &Config::statusY},
};

const wchar_t kUpdateSection[] = L"更新";
const wchar_t kUrlKey[] = L"地址";
const wchar_t kAutoCheckKey[] = L"自动检测";
const wchar_t kLastCheckKey[] = L"上次检测";

// A missing key gives the current value back; a value without digits reads as 0;
// out-of-range numbers saturate instead of wrapping.
int ReadInt(const std::wstring& file, const wchar_t* section, const wchar_t* key, int current) {
    wchar_t buf[64];
    GetPrivateProfileStringW(section, key, std::to_wstring(current).c_str(), buf, 64, file.c_str());
    return static_cast<int>(wcstol(buf, nullptr, 10));
}

int64_t ReadInt64(const std::wstring& file, const wchar_t* section, const wchar_t* key, int64_t current) {
    wchar_t buf[64];
    GetPrivateProfileStringW(section, key, std::to_wstring(current).c_str(), buf, 64, file.c_str());
    return static_cast<int64_t>(wcstoll(buf, nullptr, 10));
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// 0..2, anything else (negatives too) becomes 0.
int ZeroAbove2(int v) { return static_cast<unsigned>(v) > 2u ? 0 : v; }

// The profile functions write a file they create in the ANSI code page, where the Chinese
// section and key names would all become "?" and collide. A file that starts with a UTF-16LE
// byte-order mark is kept in UTF-16 by them, so a missing or empty file gets one first.
void EnsureUnicodeFile(const std::wstring& file) {
    UniqueHandle h(CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.Valid()) return;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(h.Get(), &size) || size.QuadPart != 0) return;
    static const unsigned char kBom[2] = {0xFF, 0xFE};
    DWORD written = 0;
    WriteFile(h.Get(), kBom, sizeof kBom, &written, nullptr);
}

}  // namespace

std::wstring Config::Path() const { return UserDir() + L"\\config.ini"; }

void Config::Load() {
    const std::wstring file = Path();
    if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) return;

    for (const IntKey& k : kIntKeys) this->*k.field = ReadInt(file, k.section, k.key, this->*k.field);

    wchar_t url[1024];
    const DWORD n = GetPrivateProfileStringW(kUpdateSection, kUrlKey, L"", url, 1024, file.c_str());
    updateUrl = n ? std::wstring(url, n) : DefaultUpdateUrl();
    autoCheck = ReadInt(file, kUpdateSection, kAutoCheckKey, autoCheck);
    lastCheck = ReadInt64(file, kUpdateSection, kLastCheckKey, lastCheck);

    pageSize = Clamp(pageSize, 1, 9);
    fontSize = Clamp(fontSize, 12, 48);
    scheme = ZeroAbove2(scheme);
    statusSkin = ZeroAbove2(statusSkin);
}

void Config::Save() const {
    const std::wstring file = Path();
    EnsureUnicodeFile(file);

    for (const IntKey& k : kIntKeys)
        WritePrivateProfileStringW(k.section, k.key, std::to_wstring(this->*k.field).c_str(), file.c_str());
    // The default address is never stored, so that an empty value always means the default.
    const wchar_t* url = updateUrl == DefaultUpdateUrl() ? L"" : updateUrl.c_str();
    WritePrivateProfileStringW(kUpdateSection, kUrlKey, url, file.c_str());
    WritePrivateProfileStringW(kUpdateSection, kAutoCheckKey, std::to_wstring(autoCheck).c_str(), file.c_str());
    WritePrivateProfileStringW(kUpdateSection, kLastCheckKey, std::to_wstring(lastCheck).c_str(), file.c_str());
}

}  // namespace zl
