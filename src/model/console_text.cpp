#include "console_text.h"

#ifdef _WIN32
#include <windows.h>

#include <algorithm>
#include <climits>
#include <io.h>
#include <string>
#endif

namespace rez {

#ifdef _WIN32

namespace {

// The console behind `stream`, or nullptr when the stream goes elsewhere.
HANDLE ConsoleOf(std::FILE* stream) {
    const int descriptor = _fileno(stream);
    if (descriptor < 0)
        return nullptr;
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !::GetConsoleMode(handle, &mode))
        return nullptr;
    return handle;
}

// UTF-16 for the console; a malformed byte shows as U+FFFD rather than losing the line.
std::wstring WideForConsole(std::string_view text) {
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

} // namespace

bool WriteText(std::FILE* stream, std::string_view text) {
    if (HANDLE console = ConsoleOf(stream)) {
        // What went through the C runtime's buffer before comes first on the screen.
        std::fflush(stream);
        const std::wstring wide = WideForConsole(text);
        // The console takes a limited amount per call: a few thousand characters at a time.
        constexpr std::size_t chunk = 4096;
        for (std::size_t done = 0; done < wide.size();) {
            std::size_t count = std::min(chunk, wide.size() - done);
            // Never split a surrogate pair between two calls.
            if (done + count < wide.size() && IS_HIGH_SURROGATE(wide[done + count - 1]))
                --count;
            DWORD written = 0;
            if (!::WriteConsoleW(console, wide.data() + done, static_cast<DWORD>(count), &written,
                                 nullptr) ||
                written == 0)
                return false;
            done += written;
        }
        return true;
    }
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

#else

bool WriteText(std::FILE* stream, std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

#endif

} // namespace rez
