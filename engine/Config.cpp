#include "Config.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <string_view>

#include "UniqueHandle.h"
#include "UserDir.h"
#include "WholeFile.h"

namespace zl {

const std::wstring& DefaultUpdateUrl() {
    static const std::wstring url = std::wstring(L"http://") + ZL_UPDATE_HOST + L"/downloads/update/";
    return url;
}

const std::wstring& HomePageUrl() {
    static const std::wstring url = std::wstring(L"http://") + ZL_UPDATE_HOST + L"/";
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

// UTF-16 without the little-endian mark: big-endian after its mark, or unmarked, where
// the NULs of the ASCII characters tell the byte order. Empty when it is neither: a NUL
// character, or too few ASCII ones for an ini file (a byte-encoded file with a stray NUL
// or a zero-filled tail), since converting such a file would garble it.
std::wstring DecodeUtf16(std::string_view bytes) {
    std::wstring text;
    bool bigEndian;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
        static_cast<unsigned char>(bytes[1]) == 0xFF) {
        bytes.remove_prefix(2);
        bigEndian = true;
    } else {
        size_t evenNuls = 0, oddNuls = 0;
        for (size_t i = 0; i < bytes.size(); ++i)
            if (bytes[i] == '\0') ++(i % 2 ? oddNuls : evenNuls);
        if (evenNuls + oddNuls == 0) return text;
        bigEndian = evenNuls > oddNuls;
        // One NUL per ASCII character: at least one character in eight.
        if (std::max(evenNuls, oddNuls) < bytes.size() / 16) return text;
    }
    if (bytes.size() % 2 != 0) return text;
    for (size_t i = 0; i < bytes.size(); i += 2) {
        const auto lo = static_cast<unsigned char>(bytes[bigEndian ? i + 1 : i]);
        const auto hi = static_cast<unsigned char>(bytes[bigEndian ? i : i + 1]);
        if ((lo | hi) == 0) return std::wstring();
        text.push_back(static_cast<wchar_t>(lo | hi << 8));
    }
    return text;
}

// Text of a file saved by an editor, without its UTF-8 mark: UTF-16 when it has NULs or
// the big-endian mark (no text file in a byte encoding has either), else UTF-8 when it
// is valid UTF-8, else the ANSI code page, which is how the profile functions would read
// it. Empty when it cannot be decoded.
std::wstring DecodeForeign(std::string_view bytes) {
    std::wstring text;
    if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX)) return text;
    if (bytes.find('\0') != std::string_view::npos || bytes.substr(0, 2) == "\xFE\xFF") return DecodeUtf16(bytes);
    const int len = static_cast<int>(bytes.size());
    UINT codePage = CP_UTF8;
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), len, nullptr, 0);
    if (n <= 0) {
        codePage = CP_ACP;
        n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), len, nullptr, 0);
    }
    if (n <= 0) return text;
    text.resize(static_cast<size_t>(n));
    n = MultiByteToWideChar(codePage, 0, bytes.data(), len, &text[0], n);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

// The profile functions write a file in the ANSI code page unless it starts with a UTF-16LE
// byte-order mark, and there the Chinese section and key names would all become "?" and
// collide. So a missing or empty file gets the mark, and a file in another encoding is
// converted, keeping every line, by a whole-file replacement that leaves the old file on
// failure. False when the file must not be written: it could not be read or converted.
bool EnsureUnicodeFile(const std::wstring& file) {
    static const unsigned char kBom[2] = {0xFF, 0xFE};
    {
        UniqueHandle h(CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!h.Valid()) return false;
        LARGE_INTEGER size;
        if (!GetFileSizeEx(h.Get(), &size)) return false;
        DWORD done = 0;
        if (size.QuadPart == 0) return WriteFile(h.Get(), kBom, sizeof kBom, &done, nullptr) && done == sizeof kBom;
        unsigned char head[2] = {};
        if (!ReadFile(h.Get(), head, sizeof head, &done, nullptr)) return false;
        if (done == sizeof head && head[0] == kBom[0] && head[1] == kBom[1]) return true;
    }
    std::string bytes;
    if (ReadWholeFile(file, bytes) != FileRead::Read) return false;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == kBom[0] &&
        static_cast<unsigned char>(bytes[1]) == kBom[1])
        return true;  // another process converted it meanwhile
    std::string_view body = bytes;
    if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
    const std::wstring text = DecodeForeign(body);
    // Only a mark decodes to nothing, and that is an empty file, not a failure.
    if (text.empty() && !body.empty()) return false;
    std::string converted(reinterpret_cast<const char*>(kBom), sizeof kBom);
    for (wchar_t unit : text) {
        converted.push_back(static_cast<char>(unit & 0xFF));
        converted.push_back(static_cast<char>((unit >> 8) & 0xFF));
    }
    return SaveWholeFile(file, converted);
}

}  // namespace

Config DefaultConfig() { return Config{}; }

std::wstring Config::Path() const { return UserDir() + L"\\config.ini"; }

bool Config::Load() {
    loadFailed_ = false;
    const std::wstring file = Path();
    if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
        // Only a file that is not there leaves the record as it is to save. A folder out of
        // reach (a roaming profile's share, say) may still hold the user's values.
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
        loadFailed_ = true;
        return false;
    }
    // Read in the ANSI code page, an edited file's Chinese names would not be found, and
    // the next load-modify-save would write the defaults over the user's values. Made
    // Unicode first, every value is read; a file that cannot be made so is read as it is.
    if (!EnsureUnicodeFile(file)) {
        // Locked by another process's save, say: the profile functions would read nothing.
        std::string bytes;
        if (ReadWholeFile(file, bytes) != FileRead::Read) {
            loadFailed_ = true;
            return false;
        }
    }

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
    return true;
}

void Config::Save() const {
    if (loadFailed_) return;
    const std::wstring file = Path();
    if (!EnsureUnicodeFile(file)) return;

    for (const IntKey& k : kIntKeys)
        WritePrivateProfileStringW(k.section, k.key, std::to_wstring(this->*k.field).c_str(), file.c_str());
    // The default address is never stored, so that an empty value always means the default.
    const wchar_t* url = updateUrl == DefaultUpdateUrl() ? L"" : updateUrl.c_str();
    WritePrivateProfileStringW(kUpdateSection, kUrlKey, url, file.c_str());
    WritePrivateProfileStringW(kUpdateSection, kAutoCheckKey, std::to_wstring(autoCheck).c_str(), file.c_str());
    WritePrivateProfileStringW(kUpdateSection, kLastCheckKey, std::to_wstring(lastCheck).c_str(), file.c_str());
}

}  // namespace zl
