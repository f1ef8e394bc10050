// The one failure type of the model and analysis layers. Its message is the exact text the
// user sees in the error box (UTF-8), so callers show it unchanged.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace rez {

class RezError : public std::runtime_error {
public:
    explicit RezError(const std::string& message)
        : std::runtime_error(message) {}
};

// The user-facing messages; `%s` parts are passed in as UTF-8.
std::string MsgCannotOpenFile(std::string_view path);
std::string MsgCannotCreateFile(std::string_view path);
// "Cannot write file PATH: REASON", REASON the system's ("No space left on device").
std::string MsgCannotWriteFile(std::string_view path, std::string_view reason);
std::string MsgNotAnInteger(std::string_view text);
std::string MsgNotAFloat(std::string_view text);
std::string MsgNotARole(std::string_view digit, std::string_view path);
std::string MsgFileTooLarge(std::string_view path);

} // namespace rez
