#pragma once

#include <string>
#include <system_error>

namespace rez {

// The system's reason for a failed call, as the end of a message ("No space left on device"):
// UTF-8, without a trailing full stop or line end. On Windows, codes of the system category get
// the system's own text in the user's language.
std::string SystemReasonText(const std::error_code& error);

} // namespace rez
