// Text for the standard streams of a command-line program.
#pragma once

#include <cstdio>
#include <string_view>

namespace rez {

// Writes `text` (UTF-8) to `stream`. A stream that is a Windows console gets the text as
// UTF-16 through the console's own call, so Cyrillic reads correctly in cmd.exe and
// PowerShell whatever the console's code page; anywhere else (a file, a pipe, every POSIX
// stream) the bytes go out unchanged, so redirected output is UTF-8. Returns false when the
// write failed.
bool WriteText(std::FILE* stream, std::string_view text);

} // namespace rez
