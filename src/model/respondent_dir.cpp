#include "respondent_dir.h"

#include "rez_error.h"

#include <algorithm>
#include <filesystem>

namespace rez {
namespace {

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool MatchesRespondentMask(std::string_view name) {
    if (name.size() < RespondentFileSuffix.size())
        return false;
    const std::string_view tail = name.substr(name.size() - RespondentFileSuffix.size());
    return std::equal(tail.begin(), tail.end(), RespondentFileSuffix.begin(),
                      [](char a, char b) { return FoldAscii(a) == FoldAscii(b); });
}

bool RespondentNameLess(std::string_view a, std::string_view b) {
    const auto byteOf = [](char c) { return static_cast<unsigned char>(FoldAscii(c)); };
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (byteOf(a[i]) != byteOf(b[i]))
            return byteOf(a[i]) < byteOf(b[i]);
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    // Same name apart from letter case: the exact bytes decide, as unsigned values.
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

std::vector<std::string> ListRespondentEntries(const std::string& directory) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    const fs::path dir(std::u8string(directory.begin(), directory.end()));
    fs::directory_iterator it(dir, ec);
    if (ec)
        throw RezError(MsgCannotOpenFile(directory, ErrorReasonText(ec)));
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        const std::u8string name = it->path().filename().u8string();
        std::string utf8(name.begin(), name.end());
        if (utf8 != "." && utf8 != ".." && MatchesRespondentMask(utf8))
            names.push_back(std::move(utf8));
    }
    if (ec)
        throw RezError(MsgCannotOpenFile(directory, ErrorReasonText(ec)));
    std::sort(names.begin(), names.end(), RespondentNameLess);
    return names;
}

} // namespace rez
