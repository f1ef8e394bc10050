// The checks of rez-report's output names that need the file system, made once the options
// are parsed and before any group runs: a name that cannot be written, or that would replace
// something that is not an output, is a usage error.
#pragma once

#include <filesystem>
#include <span>
#include <string>

namespace rez {

// Why `dir` cannot take the files, for a usage error; empty when it is a folder.
std::string OutputFolderProblem(const std::filesystem::path& dir);

// Why the workbook cannot be written as `file`, for a usage error; empty when it can: its
// folder exists; its name leaves room for the temporary name it is written under; and `file`
// is absent, a regular file or a link to one (a folder, a device, a FIFO, a socket or a
// dangling link is refused, never replaced), and none of the group folders or respondent
// files given in `groupDirs` (bytes as given).
std::string WorkbookProblem(const std::filesystem::path& file,
                            std::span<const std::string> groupDirs);

} // namespace rez
