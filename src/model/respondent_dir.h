// Finding the respondent files of one group directory.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rez {

inline constexpr std::string_view RespondentFileSuffix = "REZ.cry";

// True for names that match "*REZ.cry", letter case ignored (ASCII letters only).
bool MatchesRespondentMask(std::string_view name);

// Listing order: the names' bytes compared with A-Z folded to a-z, ties by the exact bytes.
// Sorting makes GroupName, GroupLabel and the respondent lists the same on every machine.
bool RespondentNameLess(std::string_view a, std::string_view b);

// Every entry of `directory` (UTF-8, any kind: files, directories, links, hidden) whose name
// matches the mask, sorted; "." and ".." never appear. Throws RezError "Cannot open file
// <directory>" when the directory cannot be listed.
std::vector<std::string> ListRespondentEntries(const std::string& directory);

} // namespace rez
