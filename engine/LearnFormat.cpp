// Parsing and writing the learning files. Lines that do not fit the format are
// skipped one by one, so a damaged line never costs the valid ones around it.
#include <windows.h>

#include <limits>

#include "LearnFormat.h"

namespace zl {

namespace {

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// UTF-8 to UTF-16 with the platform's replacement of invalid sequences.
void Widen(std::string_view bytes, std::wstring& out) {
    out.clear();
    if (bytes.empty() || bytes.size() > static_cast<size_t>(std::numeric_limits<int>::max())) return;
    // UTF-8 never needs more UTF-16 units than it has bytes.
    out.resize(bytes.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &out[0],
                                      static_cast<int>(out.size()));
    out.resize(n > 0 ? static_cast<size_t>(n) : 0);
}

// Collects UTF-16 in a small buffer and converts it to UTF-8 a block at a time, so a
// save neither builds nor converts a second copy of the whole file. Blocks end between
// whole items, so a surrogate pair is never split.
class Utf8Out {
public:
    explicit Utf8Out(std::string& out) : out_(out) { out_.clear(); }
    ~Utf8Out() { Flush(); }
    // Converts what is still buffered; out is complete afterwards.
    void Finish() { Flush(); }

    // Keeps text together in one block; a text larger than a block goes on its own.
    void Text(std::wstring_view text) {
        if (text.size() > kBlock - used_) Flush();
        if (text.size() > kBlock) {
            Convert(text.data(), text.size());
            return;
        }
        text.copy(block_ + used_, text.size());
        used_ += text.size();
    }
    void Unit(wchar_t u) {
        if (used_ == kBlock) Flush();
        block_[used_++] = u;
    }
    void Decimal(uint32_t value) {
        wchar_t digits[10];
        size_t n = 0;
        do {
            digits[n++] = static_cast<wchar_t>(L'0' + value % 10);
            value /= 10;
        } while (value != 0);
        if (n > kBlock - used_) Flush();
        while (n > 0) block_[used_++] = digits[--n];
    }

private:
    static constexpr size_t kBlock = 8192;

    void Flush() {
        Convert(block_, used_);
        used_ = 0;
    }
    void Convert(const wchar_t* units, size_t count) {
        if (count == 0 || count > static_cast<size_t>(std::numeric_limits<int>::max() / 3)) return;
        const size_t at = out_.size();
        out_.resize(at + count * 3);
        const int n = WideCharToMultiByte(CP_UTF8, 0, units, static_cast<int>(count), &out_[at],
                                          static_cast<int>(count * 3), nullptr, nullptr);
        out_.resize(at + (n > 0 ? static_cast<size_t>(n) : 0));
    }

    std::string& out_;
    wchar_t block_[kBlock];
    size_t used_ = 0;
};

// Calls line(view) for every LF-separated line; the part after the last LF counts too.
template <typename Fn>
void ForEachLine(std::string_view bytes, Fn line) {
    while (!bytes.empty()) {
        const size_t lf = bytes.find('\n');
        line(bytes.substr(0, lf));
        if (lf == std::string_view::npos) break;
        bytes.remove_prefix(lf + 1);
    }
}

// The files are written without a byte-order mark, but one added by a text editor must not
// glue itself to the first line's code or text.
std::string_view WithoutBom(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    return bytes;
}

// An editor may have saved the file as UTF-16 with its mark. Read as UTF-8 not one line
// would parse, and the next save would replace every entry with the few learned since;
// converted, it loads whole and the save writes it back as UTF-8. No UTF-8 file starts
// with either mark's bytes. Other files come back as they are, without a UTF-8 mark.
std::string_view AsUtf8(std::string_view bytes, std::string& converted) {
    const bool little = bytes.substr(0, 2) == "\xFF\xFE";
    if (!little && bytes.substr(0, 2) != "\xFE\xFF") return WithoutBom(bytes);
    std::wstring text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
        text.push_back(static_cast<wchar_t>(little ? first | second << 8 : second | first << 8));
    }
    Utf8Out utf8(converted);
    utf8.Text(text);
    utf8.Finish();
    return converted;
}

// A first line that starts with U+FEFF would read back as a byte-order mark and lose it;
// an empty line before it (skipped by the readers) keeps it.
void GuardLeadingMark(std::string& out) {
    if (out.compare(0, 3, "\xEF\xBB\xBF") == 0) out.insert(out.begin(), '\n');
}

}  // namespace

bool IsStorableText(std::wstring_view text) { return text.find_first_of(L"\t\r\n") == std::wstring_view::npos; }

bool ParseCount(std::string_view s, uint32_t& value) {
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    if (i < s.size() && s[i] == '+') ++i;
    if (i >= s.size() || s[i] < '0' || s[i] > '9') return false;
    uint64_t v = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        v = v * 10 + static_cast<uint64_t>(s[i] - '0');
        if (v > UINT32_MAX) v = UINT32_MAX;
    }
    value = static_cast<uint32_t>(v);
    return true;
}

void ParseUseCounts(std::string_view bytes, UseCounts& counts) {
    ForEachUseCount(bytes, [&](const std::wstring& text, uint32_t count) { counts[text] = count; });
}

void ForEachUseCount(std::string_view bytes, const std::function<void(const std::wstring&, uint32_t)>& f,
                     const std::atomic<bool>* stop) {
    std::wstring text;
    std::string converted;
    ForEachLine(AsUtf8(bytes, converted), [&](std::string_view line) {
        // Stopped: the rest of the lines are only passed over.
        if (stop && stop->load(std::memory_order_relaxed)) return;
        const size_t tab = line.find('\t');
        if (tab == std::string_view::npos || tab == 0) return;
        uint32_t count = 0;
        if (!ParseCount(line.substr(tab + 1), count)) return;
        Widen(line.substr(0, tab), text);
        if (text.empty() || !IsStorableText(text)) return;
        f(text, count);
    });
}

void FormatUseCounts(const UseCounts& counts, std::string& out) {
    out.reserve(counts.size() * 12);
    Utf8Out utf8(out);
    for (const auto& [text, count] : counts) {
        if (text.empty() || !IsStorableText(text)) continue;
        utf8.Text(text);
        utf8.Unit(L'\t');
        utf8.Decimal(count);
        utf8.Unit(L'\n');
    }
    utf8.Finish();
    GuardLeadingMark(out);
}

void ParsePromotions(std::string_view bytes, Promotions& promotions, uint32_t& maxStamp) {
    std::wstring code, text;
    std::string converted;
    ForEachLine(AsUtf8(bytes, converted), [&](std::string_view line) {
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const size_t tab1 = line.find('\t');
        if (tab1 == std::string_view::npos) return;
        const size_t tab2 = line.find('\t', tab1 + 1);
        if (tab2 == std::string_view::npos || tab2 == tab1 + 1) return;
        uint32_t stamp = 0;
        if (!ParseCount(line.substr(tab2 + 1), stamp)) return;
        Widen(line.substr(0, tab1), code);
        Widen(line.substr(tab1 + 1, tab2 - tab1 - 1), text);
        // What the writer could not store is not loaded either, so a save keeps every
        // promotion it read. A separator inside the code would move the split.
        if (text.empty() || !IsStorableText(text) || !IsStorableText(code) ||
            code.find(kPromoteSep) != std::wstring::npos)
            return;
        code.push_back(kPromoteSep);
        code.append(text);
        promotions[code] = stamp;
        if (stamp > maxStamp) maxStamp = stamp;
    });
}

void FormatPromotions(const Promotions& promotions, std::string& out) {
    out.reserve(promotions.size() * 16);
    Utf8Out utf8(out);
    for (const auto& [key, stamp] : promotions) {
        const size_t sep = key.find(kPromoteSep);
        if (sep == std::wstring::npos || sep + 1 == key.size()) continue;
        const std::wstring_view code(key.data(), sep);
        const std::wstring_view text(key.data() + sep + 1, key.size() - sep - 1);
        if (!IsStorableText(code) || !IsStorableText(text)) continue;
        utf8.Text(code);
        utf8.Unit(L'\t');
        utf8.Text(text);
        utf8.Unit(L'\t');
        utf8.Decimal(stamp);
        utf8.Unit(L'\n');
    }
    utf8.Finish();
    GuardLeadingMark(out);
}

}  // namespace zl
