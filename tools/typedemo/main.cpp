// zltype: types a few codes through the dictionary and prints what each offers.
//   zltype DICT [CODE...]      a code starting with ':' is searched as pinyin
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Dict.h"

namespace {

std::string Utf8(std::wstring_view w) {
    if (w.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

void Show(const zl::Dict& dict, const std::string& typed) {
    const bool pinyin = typed.size() > 1 && typed[0] == ':';
    const std::string code = pinyin ? typed.substr(1) : typed;
    std::vector<uint32_t> ids;
    if (pinyin)
        dict.SearchPinyin(code, ids, 100);
    else
        dict.SearchWubi(code, ids, 100);
    std::string line = (pinyin ? "pinyin " : "wubi   ") + code + "\t";
    for (size_t i = 0; i < ids.size() && i < 9; ++i) {
        zl::DictEntry e;
        if (!dict.GetEntry(ids[i], e)) continue;
        line += std::to_string(i + 1) + "." + Utf8(dict.Text(e)) + " ";
    }
    line += "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: zltype DICT [CODE...]\n");
        return 2;
    }
    zl::Dict dict;
    if (!dict.Load(argv[1])) {
        std::fprintf(stderr, "zltype: cannot load the dictionary\n");
        return 1;
    }
    std::vector<std::string> codes;
    for (int i = 2; i < argc; ++i) codes.push_back(Utf8(argv[i]));
    if (codes.empty()) codes = {"a", "g", "ggll", "wq", "wqvb", "jjjj", "gz", ":s", ":zhongguo", ":zg", ":lu"};
    for (const std::string& c : codes) Show(dict, c);
    return 0;
}
