#include "system_reason.h"

#include "rez_error.h"

namespace rez {

// The reader and the writer give the same reasons: one text for both (on Windows in the
// user's language, as UTF-8).
std::string SystemReasonText(const std::error_code& error) {
    return ErrorReasonText(error);
}

} // namespace rez
