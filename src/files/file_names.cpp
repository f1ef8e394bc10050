#include "file_names.h"

#include "rez_error.h"
#include "utf8.h"

#include <algorithm>

namespace rez {
namespace {

constexpr std::size_t LongestSuffixBytes() {
    std::size_t longest = 0;
    for (const std::string_view suffix : GroupFileSuffixes)
        longest = std::max(longest, suffix.size());
    return longest;
}

constexpr std::size_t MaxStemBytes =
    MaxFileNameBytes - LongestSuffixBytes() - TemporaryNameExtraBytes;

bool IsForbiddenInFileName(char32_t c) {
    constexpr std::u32string_view forbidden = U"/\\:*?\"<>|";
    return IsControlCharacter(c) || forbidden.find(c) != std::u32string_view::npos;
}

} // namespace

std::string ReportFileStem(std::string_view groupName) {
    std::string stem;
    std::size_t pos = 0;
    while (pos < groupName.size()) {
        const std::size_t start = pos;
        const std::optional<char32_t> c = NextCodePoint(groupName, pos);
        const std::string_view piece = (!c || IsForbiddenInFileName(*c))
                                           ? std::string_view("_")
                                           : groupName.substr(start, pos - start);
        if (stem.size() + piece.size() > MaxStemBytes)
            break;
        stem += piece;
    }
    return stem;
}

std::string FoldFileNameCase(std::string_view name) {
    std::string folded;
    folded.reserve(name.size());
    std::size_t pos = 0;
    while (pos < name.size()) {
        const std::size_t start = pos;
        const std::optional<char32_t> c = NextCodePoint(name, pos);
        if (!c) {
            folded += name.substr(start, pos - start);
            continue;
        }
        char32_t lower = *c;
        if (lower >= U'A' && lower <= U'Z')
            lower += U'a' - U'A';
        else if (lower >= U'\u0410' && lower <= U'\u042F') // А-Я
            lower += 0x20;
        else if (lower >= U'\u0400' && lower <= U'\u040F') // Ѐ-Џ: Ё, Ђ, Є, І, Ї, Ў ...
            lower += 0x50;
        else if (lower == U'\u0490') // Ґ
            lower = U'\u0491';
        AppendUtf8(folded, lower);
    }
    return folded;
}

std::optional<std::string> StemClaims::Claim(const std::string& stem, const std::string& folder) {
    const auto [it, claimed] = folderOfStem_.emplace(FoldFileNameCase(stem), folder);
    if (claimed)
        return std::nullopt;
    return EscapeForMessage("Not written: " + folder + " and " + it->second +
                            " give the same file names \"" + stem + " ...\" (letter case ignored)");
}

std::filesystem::path PathFromBytes(std::string_view bytes) {
#ifdef _WIN32
    return std::filesystem::path(std::u8string(bytes.begin(), bytes.end()));
#else
    return std::filesystem::path(std::string(bytes));
#endif
}

std::string BytesOfPath(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
#else
    return path.native();
#endif
}

std::string DisplayPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return BytesOfPath(std::filesystem::path(path).make_preferred());
#else
    return path.native();
#endif
}

} // namespace rez
