#include "rez_error.h"

#include "utf8.h"

#include <cstdio>

namespace rez {

std::string EscapeForMessage(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = pos;
        const std::optional<char32_t> c = NextCodePoint(text, pos);
        char escaped[8];
        if (!c)
            std::snprintf(escaped, sizeof escaped, "\\x%02x",
                          static_cast<unsigned char>(text[start]));
        else if (*c < 0x20 || *c == 0x7F)
            std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned>(*c));
        else if (*c >= 0x80 && *c <= 0x9F)
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(*c));
        else {
            out += text.substr(start, pos - start);
            continue;
        }
        out += escaped;
    }
    return out;
}

namespace {
std::string Concat(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (const auto part : parts)
        out += part;
    return out;
}
} // namespace

std::string MsgCannotOpenFile(std::string_view path) {
    return Concat({"Cannot open file ", path});
}

std::string MsgCannotCreateFile(std::string_view path) {
    return Concat({"Cannot create file ", path});
}

std::string MsgCannotWriteFile(std::string_view path, std::string_view reason) {
    return Concat({"Cannot write file ", path, ": ", reason});
}

std::string MsgNotAnInteger(std::string_view text) {
    return Concat({"'", text, "' is not a valid integer value"});
}

std::string MsgNotAFloat(std::string_view text) {
    return Concat({"'", text, "' is not a valid floating point value"});
}

std::string MsgNotARole(std::string_view digit, std::string_view path) {
    return Concat({"'", digit, "' is not a valid respondent role in file ", path});
}

std::string MsgFileLocation(std::string_view path, std::size_t line) {
    if (line == 0)
        return Concat({" (file ", path, ")"});
    return Concat({" (file ", path, ", line ", std::to_string(line), ")"});
}

std::string MsgFileTooLarge(std::string_view path) {
    return Concat({"File ", path, " is too large to be a respondent file"});
}

} // namespace rez
