// The Group run: reads every respondent file of one directory and computes the group's
// results.
#pragma once

#include "group_results.h"
#include "respondent_file.h"

#include <string>

namespace rez {

// Runs the analysis over `directory` (UTF-8, ending with its path separator). Files are
// taken in listing order (RespondentNameLess); each is read into `buffer`, which holds the
// last file read afterwards. Numbers in the files use `decimalSeparator`.
//
// All or nothing: returns complete results, or throws RezError with the message of the first
// bad file (in listing order); no partial results leave this function.
GroupResults RunGroup(const std::string& directory, char decimalSeparator, LineBuffer& buffer);

// The arithmetic of a Group run, from `results.Raters` alone: the counts, role means, phase
// and factor values, the mean row and the self differences. Pure; the texts stay as they are.
void ComputeGroupValues(GroupResults& results);

// The directory part of a chosen file's path: up to and including its last separator
// ('/' or '\\'); empty when there is none.
std::string DirectoryOfChosenFile(const std::string& path);

} // namespace rez
