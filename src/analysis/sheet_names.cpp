#include "sheet_names.h"

#include "rez_error.h"
#include "utf8.h"

#include <algorithm>
#include <iterator>
#include <set>

namespace rez {
namespace {

struct FoldRun {
    char32_t first;
    char32_t last;
    int delta;
    int step;
};

constexpr FoldRun FoldRuns[] = {
#include "case_fold_table.inc"
};

int Utf16Length(char32_t c) {
    return c >= 0x10000 ? 2 : 1;
}

// The code points of a UTF-8 text; a malformed byte becomes U+FFFD.
std::u32string Decode(std::string_view text) {
    std::u32string out;
    for (std::size_t pos = 0; pos < text.size();)
        out.push_back(NextCodePoint(text, pos).value_or(U'\uFFFD'));
    return out;
}

std::string Encode(std::u32string_view text) {
    std::string out;
    for (const char32_t c : text)
        AppendUtf8(out, c);
    return out;
}

// The longest start of `text` that fits in `units` UTF-16 code units.
std::u32string_view Cut(std::u32string_view text, int units) {
    std::size_t n = 0;
    for (int used = 0; n < text.size() && used + Utf16Length(text[n]) <= units; ++n)
        used += Utf16Length(text[n]);
    return text.substr(0, n);
}

std::u32string_view TrimApostrophes(std::u32string_view text) {
    while (!text.empty() && text.front() == U'\'')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == U'\'')
        text.remove_suffix(1);
    return text;
}

std::u32string SheetStem(std::string_view groupName) {
    std::u32string name = Decode(groupName);
    for (char32_t& c : name)
        if (IsControlCharacter(c) ||
            std::u32string_view(U"[]:*?/\\").find(c) != std::u32string_view::npos)
            c = U'_';
    std::u32string stem(TrimApostrophes(Cut(TrimApostrophes(name), MaxSheetNameLength)));
    return stem.empty() ? Decode(UnnamedSheetName) : stem;
}

bool IsHex(char32_t c) {
    return (c >= U'0' && c <= U'9') || (c >= U'a' && c <= U'f') || (c >= U'A' && c <= U'F');
}

// Whether an escape "_xHHHH_" starts at `i`.
bool EscapeAt(std::u32string_view text, std::size_t i) {
    if (i + 7 > text.size() || text[i] != U'_' || text[i + 1] != U'x' || text[i + 6] != U'_')
        return false;
    return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i) + 2,
                       text.begin() + static_cast<std::ptrdiff_t>(i) + 6, IsHex);
}

} // namespace

char32_t FoldCase(char32_t c) {
    const auto* run = std::upper_bound(std::begin(FoldRuns), std::end(FoldRuns), c,
                                       [](char32_t v, const FoldRun& r) { return v < r.first; });
    if (run == std::begin(FoldRuns))
        return c;
    --run;
    if (c > run->last || (c - run->first) % static_cast<char32_t>(run->step) != 0)
        return c;
    return static_cast<char32_t>(static_cast<int>(c) + run->delta);
}

std::string FoldCase(std::string_view text) {
    std::u32string folded = Decode(text);
    for (char32_t& c : folded)
        c = FoldCase(c);
    return Encode(folded);
}

GroupSheetNamer::GroupSheetNamer()
    : taken_{FoldCase(SummarySheetName), FoldCase(NormsSheetName), FoldCase(ReservedSheetName)} {}

std::string GroupSheetNamer::Next(std::string_view groupName) {
    const std::u32string stem = SheetStem(groupName);
    std::string name = Encode(stem);
    for (int k = 2; taken_.contains(FoldCase(name)); ++k) {
        const std::string suffix = " (" + std::to_string(k) + ")";
        name = Encode(Cut(stem, MaxSheetNameLength - static_cast<int>(suffix.size()))) + suffix;
    }
    taken_.insert(FoldCase(name));
    return name;
}

std::vector<std::string> GroupSheetNames(std::span<const std::string> groupNames) {
    GroupSheetNamer namer;
    std::vector<std::string> names;
    names.reserve(groupNames.size());
    for (const std::string& groupName : groupNames)
        names.push_back(namer.Next(groupName));
    return names;
}

std::string CellText(std::string_view text) {
    const std::u32string decoded = Decode(text);
    // Two counts must stay within the limit: the spreadsheet's, in UTF-16 units of the text
    // as read back, and the writing library's, in code points of the text as passed to it
    // (a protected "_" costs seven).
    std::u32string out;
    int units = 0;
    std::size_t codePoints = 0;
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        std::u32string piece;
        int pieceUnits = 0;
        if (IsControlCharacter(decoded[i])) {
            // Shown as messages show it ("\x1b", "\u202e"): a NUL would end the cell's text
            // and a direction mark turn it round.
            const std::string escaped = EscapeForMessage(Encode(std::u32string(1, decoded[i])));
            piece.assign(escaped.begin(), escaped.end());
            pieceUnits = static_cast<int>(piece.size());
        } else if (EscapeAt(decoded, i)) {
            piece = U"_x005F_";
            pieceUnits = 1;
        } else {
            piece.assign(1, decoded[i]);
            pieceUnits = Utf16Length(decoded[i]);
        }
        units += pieceUnits;
        if (units > MaxCellTextLength || codePoints + piece.size() > MaxCellTextLength)
            break;
        codePoints += piece.size();
        out += piece;
    }
    return Encode(out);
}

std::string InternalLink(std::string_view sheetName) {
    std::string link = "internal:'";
    for (const char c : sheetName) {
        link += c;
        if (c == '\'')
            link += '\'';
    }
    return link + "'!A1";
}

} // namespace rez
