// The one failure type of the model and analysis layers. Its message is the exact text the
// user sees in the error box (UTF-8), so callers show it unchanged.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace rez {

// `text` as a message shows it, whole and readable: control characters (C0, DEL, and C1 such
// as the U+0098 that byte 0x98 of a respondent file reads as, and the invisible and direction
// controls of IsControlCharacter) and bytes that are not UTF-8 are escaped ("\x1b",
// "\u0098", "\u202e", "\xff"), so a NUL no longer ends the message, a name is not shown
// turned round and nothing from a file or path reaches the terminal raw. Everything else
// stays, backslashes included.
std::string EscapeForMessage(std::string_view text);

class RezError : public std::runtime_error {
public:
    // Texts from files and paths may be part of `message`; it is kept escaped.
    explicit RezError(std::string_view message)
        : std::runtime_error(EscapeForMessage(message)) {}
};

// The system's text for `error`, as the end of a message ("Too many open files"): UTF-8,
// without a trailing full stop or line end.
std::string ErrorReasonText(const std::error_code& error);

// The user-facing messages; `%s` parts are passed in as UTF-8.
std::string MsgCannotOpenFile(std::string_view path);
// "Cannot open file PATH: REASON" when the system gave a reason (REASON not empty).
std::string MsgCannotOpenFile(std::string_view path, std::string_view reason);
std::string MsgCannotCreateFile(std::string_view path);
// "Cannot write file PATH: REASON", REASON the system's ("No space left on device").
std::string MsgCannotWriteFile(std::string_view path, std::string_view reason);
std::string MsgNotAnInteger(std::string_view text);
std::string MsgNotAFloat(std::string_view text);
std::string MsgNotARole(std::string_view digit, std::string_view path);
std::string MsgFileTooLarge(std::string_view path);
// Where a failure happened, to append to its message: " (file PATH)", or with a line number
// counted from 1 " (file PATH, line N)".
std::string MsgFileLocation(std::string_view path, std::size_t line = 0);

} // namespace rez
