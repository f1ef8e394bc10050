#include "command_line.h"

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>
#else
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>
#endif

namespace rez {

#ifdef _WIN32

namespace {

std::string Utf8Of(const wchar_t* text) {
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return {};
    std::string bytes(static_cast<std::size_t>(length), '\0');
    // A conversion that fails halfway would leave NUL bytes in the argument.
    if (::WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), length, nullptr, nullptr) !=
        length)
        return {};
    bytes.pop_back(); // the terminating NUL
    return bytes;
}

} // namespace

std::vector<std::string> CommandLineArguments(int, char**) {
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr)
        return arguments; // out of memory: no arguments is a usage error, not a run
    for (int i = 1; i < count; ++i)
        arguments.push_back(Utf8Of(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

void ReserveStandardStreams() {}

#else

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    return arguments;
}

void ReserveStandardStreams() {
    for (int stream = 0; stream <= 2; ++stream) {
        if (::fcntl(stream, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free number, which is `stream` when the lower ones are taken.
        const int placeholder = ::open("/dev/null", O_RDONLY | O_NOCTTY);
        if (placeholder >= 0 && placeholder != stream) {
            (void)::dup2(placeholder, stream);
            (void)::close(placeholder);
        }
    }
}

#endif

} // namespace rez
