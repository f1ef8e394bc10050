#include "output_checks.h"

#include "file_names.h"
#include "rez_error.h"

#include <system_error>

namespace rez {
namespace {

namespace fs = std::filesystem;

std::string Shown(const fs::path& path) {
    return EscapeForMessage(DisplayPath(path));
}

} // namespace

std::string OutputFolderProblem(const fs::path& dir) {
    std::error_code error;
    const fs::file_status status = fs::status(dir, error);
    if (status.type() == fs::file_type::not_found)
        return "the output folder " + Shown(dir) + " does not exist";
    if (error)
        return "the output folder " + Shown(dir) + " cannot be used: " + error.message();
    if (!fs::is_directory(status))
        return Shown(dir) + " is not a folder";
    return {};
}

std::string WorkbookProblem(const fs::path& file, std::span<const std::string> groupDirs) {
    const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return "the folder of the workbook " + Shown(file) + " does not exist";
    if (BytesOfPath(file.filename()).size() + TemporaryNameExtraBytes > MaxFileNameBytes)
        return "the name of the workbook " + Shown(file) + " is too long: at most " +
               std::to_string(MaxFileNameBytes - TemporaryNameExtraBytes) + " bytes";

    const fs::file_status own = fs::symlink_status(file, error);
    if (own.type() == fs::file_type::not_found)
        return {};
    if (error)
        return "the workbook " + Shown(file) + " cannot be used: " + error.message();
    // A link is replaced, not written through; it must still lead to a regular file, so
    // that a name never stands for a folder or a device the user meant to keep.
    const fs::file_status target = fs::is_symlink(own) ? fs::status(file, error) : own;
    if (!fs::is_regular_file(target))
        return "the workbook " + Shown(file) + " is not a regular file";
    for (const std::string& given : groupDirs) {
        std::error_code sameError;
        if (fs::equivalent(file, PathFromBytes(given), sameError))
            return "the workbook " + Shown(file) + " is the group " + Shown(PathFromBytes(given)) +
                   " given";
    }
    return {};
}

} // namespace rez
