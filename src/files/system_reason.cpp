#include "system_reason.h"

#include "utf8.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace rez {
namespace {

#ifdef _WIN32
// The system's text for a Windows error code, in the user's language, as UTF-8. The C++
// library's own text for these codes comes in the ANSI code page, which is not UTF-8: on a
// Russian system the reason would reach the message garbled.
std::string WindowsErrorText(DWORD code) {
    wchar_t* buffer = nullptr; // allocated by the system, freed with LocalFree
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const std::string text = length > 0 ? Utf8FromWide({buffer, length}) : std::string();
    if (buffer != nullptr)
        ::LocalFree(buffer);
    return text.empty() ? "Windows error " + std::to_string(code) : text;
}
#endif

} // namespace

std::string SystemReasonText(const std::error_code& error) {
#ifdef _WIN32
    std::string text = error.category() == std::system_category()
                           ? WindowsErrorText(static_cast<DWORD>(error.value()))
                           : error.message();
#else
    std::string text = error.message();
#endif
    while (!text.empty() &&
           (text.back() == '.' || text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

} // namespace rez
