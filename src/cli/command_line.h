// The arguments of a command line as the system gives them, before any library reads them.
#pragma once

#include <string>
#include <vector>

namespace rez {

// The arguments after the program's name. On POSIX argv's bytes exactly as given, never
// re-encoded (a folder name that is not UTF-8 stays openable); on Windows the UTF-16 command
// line as UTF-8, never the ANSI argv, which loses every character outside the code page.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

} // namespace rez
