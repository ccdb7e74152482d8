#include "RimeTable.h"

#include <windows.h>

#include <cstdio>

namespace zl {

namespace {

std::string TrimLineEnd(std::string s) {
    while (!s.empty() && (s.back() == '\r' || s.back() == ' ')) s.pop_back();
    return s;
}

bool Utf8ToWide(const std::string& s, std::wstring& out) {
    out.clear();
    if (s.empty()) return true;
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), nullptr, 0);
    if (n <= 0) return false;
    out.resize(n);
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), &out[0], n) == n;
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> cols;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        cols.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) break;
        start = tab + 1;
    }
    return cols;
}

}  // namespace

bool ParseWeight(const std::string& s, uint32_t& weight) {
    uint64_t v = 0;
    size_t i = 0;
    if (s.empty() || s[0] < '0' || s[0] > '9') return false;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        v = v * 10 + static_cast<uint64_t>(s[i] - '0');
        if (v > UINT32_MAX) return false;
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size(); ++i)
            if (s[i] < '0' || s[i] > '9') return false;
    }
    if (i != s.size()) return false;
    weight = static_cast<uint32_t>(v);
    return true;
}

bool SplitPinyin(const std::string& key, std::vector<std::string>& syllables) {
    syllables.clear();
    size_t start = 0;
    while (start < key.size()) {
        size_t end = key.find(' ', start);
        if (end == std::string::npos) end = key.size();
        std::string syl = key.substr(start, end - start);
        start = end + 1;
        if (syl.empty()) continue;
        for (size_t p; (p = syl.find("\xC3\xBC")) != std::string::npos;) syl.replace(p, 2, "v");  // ü
        for (char c : syl)
            if (c < 'a' || c > 'z') return false;
        if (syl == "lue") syl = "lve";
        if (syl == "nue") syl = "nve";
        syllables.push_back(syl);
    }
    return !syllables.empty();
}

bool ParseRimeTable(const std::string& content, std::vector<RimeRow>& rows, std::string& error) {
    rows.clear();
    bool inData = false;
    size_t lineNo = 0;
    size_t pos = 0;
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
    while (pos < content.size()) {
        size_t eol = content.find('\n', pos);
        if (eol == std::string::npos) eol = content.size();
        const std::string line = TrimLineEnd(content.substr(pos, eol - pos));
        pos = eol + 1;
        ++lineNo;
        if (!inData) {
            inData = line == "...";
            continue;
        }
        if (line.empty() || line[0] == '#') continue;

        const std::vector<std::string> cols = SplitTabs(line);
        RimeRow row;
        row.line = lineNo;
        if (cols.size() < 2 || cols[0].empty() || cols[1].empty()) {
            error = "line " + std::to_string(lineNo) + ": expected text<TAB>code[<TAB>weight]";
            return false;
        }
        if (!Utf8ToWide(cols[0], row.text)) {
            error = "line " + std::to_string(lineNo) + ": text is not valid UTF-8";
            return false;
        }
        row.key = cols[1];
        if (cols.size() >= 3 && !cols[2].empty() && !ParseWeight(cols[2], row.weight)) {
            error = "line " + std::to_string(lineNo) + ": weight '" + cols[2] + "' is not an unsigned 32-bit number";
            return false;
        }
        rows.push_back(std::move(row));
    }
    if (!inData) {
        error = "no line '...' starts the data";
        return false;
    }
    return true;
}

}  // namespace zl
