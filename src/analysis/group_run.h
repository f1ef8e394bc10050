// The Group run: reads every respondent file of one directory and computes the group's
// results.
#pragma once

#include "group_results.h"
#include "respondent_file.h"

#include <optional>
#include <string>
#include <string_view>

namespace rez {

// Runs the analysis over `directory` (UTF-8, ending with its path separator). Files are
// taken in listing order (RespondentNameLess); each is read into `buffer`, which holds the
// last file read afterwards. Numbers in the files use `decimalSeparator`.
//
// All or nothing: returns complete results, or throws RezError with the message of the first
// bad file (in listing order); no partial results leave this function. Totals so large that
// a result is not finite fail with "The totals in FOLDER are too large to compute".
GroupResults RunGroup(const std::string& directory, char decimalSeparator, LineBuffer& buffer);

// The folder as messages name it: `directory` without its final separator.
std::string FolderText(std::string_view directory);

// Warnings about a completed run whose results the files' authors may not have meant, for
// FOLDER (FolderText of the run's directory): "No respondent files in FOLDER" for a folder
// without any, and "Respondent files in FOLDER name different managers: NAME1, NAME2" when
// the files' line 2 differ (GroupName is then the last file's). Nothing when all is well.
std::optional<std::string> NoRespondentsWarning(const GroupResults& results,
                                                std::string_view folder);
std::optional<std::string> MixedManagersWarning(const GroupResults& results,
                                                std::string_view folder);

// The arithmetic of a Group run, from `results.Raters` alone: the counts, role means, phase
// and factor values, the mean row and the self differences. Pure; the texts stay as they are.
void ComputeGroupValues(GroupResults& results);

// The directory part of a chosen file's path: up to and including its last separator
// ('/' or '\\'); empty when there is none.
std::string DirectoryOfChosenFile(const std::string& path);

} // namespace rez
