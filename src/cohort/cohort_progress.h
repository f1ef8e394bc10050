// What a cohort run tells its user while it goes: the terminal's progress line in rez-report,
// the progress dialog in the window. Every call comes from the run's calling thread, group
// by group in the order the groups were given.
#pragma once

#include <string_view>

namespace rez {

class CohortProgress {
public:
    virtual ~CohortProgress() = default;

    // A message for the user: a failed group, a warning (standard error in rez-report).
    virtual void Message(std::string_view line) = 0;
    // A file was written: a group's file or the workbook (standard output in rez-report).
    virtual void FileWritten(std::string_view path) = 0;
    // The group `done` (counted from 1) is finished, written or not; `name` is its manager's
    // name or, when it failed before it had one, the folder as given.
    virtual void GroupFinished(int done, std::string_view name) = 0;
    // The last group is finished; the workbook, if any, is saved next.
    virtual void GroupsEnded() = 0;
};

} // namespace rez
