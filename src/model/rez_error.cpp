#include "rez_error.h"

#include "utf8.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

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
        else if (IsControlCharacter(*c))
            std::snprintf(escaped, sizeof escaped, *c < 0x80 ? "\\x%02x" : "\\u%04x",
                          static_cast<unsigned>(*c));
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

std::string ErrorReasonText(const std::error_code& error) {
    std::string text;
#ifdef _WIN32
    // The C++ library's text for a system code comes in the ANSI code page, not UTF-8.
    if (error.category() == std::system_category()) {
        wchar_t* buffer = nullptr; // allocated by the system, freed with LocalFree
        const DWORD length =
            ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, static_cast<DWORD>(error.value()), 0,
                             reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
        text = length > 0 ? Utf8FromWide({buffer, length}) : std::string();
        if (buffer != nullptr)
            ::LocalFree(buffer);
        if (text.empty())
            text = "Windows error " + std::to_string(error.value());
    } else {
        text = error.message();
    }
#else
    text = error.message();
#endif
    while (!text.empty() &&
           (text.back() == '.' || text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

std::string MsgCannotOpenFile(std::string_view path) {
    return Concat({"Cannot open file ", path});
}

std::string MsgCannotOpenFile(std::string_view path, std::string_view reason) {
    if (reason.empty())
        return MsgCannotOpenFile(path);
    return Concat({"Cannot open file ", path, ": ", reason});
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
