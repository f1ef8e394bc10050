// The groups of a cohort chosen as one folder (the window's Cohort command): its direct
// sub-folders that hold respondent files, or the folder itself when it is a group.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace rez {

struct CohortFolders {
    // The group folders as paths' bytes, sorted by those bytes (the order `ls` gives under
    // LC_ALL=C, and so the order of a shell glob passed to rez-report there).
    std::vector<std::string> groups;
    // Said to the user before the run: the folder holds respondent files of its own and
    // group sub-folders, and only the sub-folders are taken.
    std::optional<std::string> warning;
};

// Throws RezError "No respondent files in FOLDER or in its sub-folders" when there is no
// group, and "Cannot open file FOLDER" when the folder cannot be listed.
CohortFolders FindCohortGroups(const std::filesystem::path& folder);

} // namespace rez
