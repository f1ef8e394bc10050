#include "command_line.h"

#include "utf8.h"

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

std::vector<std::string> CommandLineArguments(int, char**) {
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr)
        return arguments; // out of memory: no arguments is a usage error, not a run
    for (int i = 1; i < count; ++i)
        arguments.push_back(Utf8FromWide(wide[i]));
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
