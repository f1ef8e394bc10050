#include "cohort_folders.h"

#include "file_names.h"
#include "respondent_dir.h"
#include "rez_error.h"

#include <algorithm>
#include <system_error>

namespace rez {
namespace {

namespace fs = std::filesystem;

// Whether `folder` holds at least one respondent file; a folder that cannot be listed holds
// none (it is not a group the run could read).
bool HoldsRespondentFiles(const fs::path& folder) {
    try {
        return !ListRespondentEntries(BytesOfPath(folder)).empty();
    } catch (const RezError&) {
        return false;
    }
}

} // namespace

CohortFolders FindCohortGroups(const fs::path& folder) {
    const std::string shown = DisplayPath(folder); // RezError escapes what it shows
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    if (error)
        throw RezError("Cannot open file " + shown + ": " + error.message());
    CohortFolders found;
    for (const fs::directory_entry& entry : entries) {
        std::error_code kindError;
        if (entry.is_directory(kindError) && HoldsRespondentFiles(entry.path()))
            found.groups.push_back(BytesOfPath(entry.path()));
    }
    std::sort(found.groups.begin(), found.groups.end());
    const bool ownFiles = HoldsRespondentFiles(folder);
    if (found.groups.empty()) {
        if (!ownFiles)
            throw RezError("No respondent files in " + shown + " or in its sub-folders");
        found.groups.push_back(BytesOfPath(folder));
    } else if (ownFiles) {
        found.warning = EscapeForMessage(shown) +
                        " holds respondent files of its own besides the groups in its " +
                        "sub-folders: only the sub-folders are run";
    }
    return found;
}

} // namespace rez
