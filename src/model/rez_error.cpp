#include "rez_error.h"

namespace rez {

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

std::string MsgFileTooLarge(std::string_view path) {
    return Concat({"File ", path, " is too large to be a respondent file"});
}

} // namespace rez
