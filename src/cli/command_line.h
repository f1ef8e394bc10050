// The arguments of a command line as the system gives them, before any library reads them.
#pragma once

#include <string>
#include <vector>

namespace rez {

// The arguments after the program's name. On POSIX argv's bytes exactly as given, never
// re-encoded (a folder name that is not UTF-8 stays openable); on Windows the UTF-16 command
// line as UTF-8, never the ANSI argv, which loses every character outside the code page.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Call first in main. A program started with standard input, output or error closed
// (`>&-`) would hand those descriptor numbers to the next files it opens, so its messages
// would land inside an output file being written. Each closed one is taken by /dev/null,
// opened read-only so that writing to it still fails as writing to a closed stream does.
// Nothing to do on Windows: its C runtime keeps descriptors 0 to 2 for the standard streams
// even when they have no handle.
void ReserveStandardStreams();

} // namespace rez
