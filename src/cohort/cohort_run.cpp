#include "cohort_run.h"

#include "atomic_file.h"
#include "chart_picture.h"
#include "cohort_numbers.h"
#include "file_names.h"
#include "folder_lock.h"
#include "group_report.h"
#include "group_run.h"
#include "manager_report.h"
#include "ordered_pipeline.h"
#include "rez_error.h"

#ifdef REZ_HAVE_WORKBOOK
#include "cohort_workbook.h"
#endif

#include <algorithm>
#include <exception>
#include <string>

namespace rez {
namespace {

namespace fs = std::filesystem;

// A group folder as given, or the folder of a respondent file given in its place (as the
// window takes the folder of the chosen file).
fs::path GroupFolder(const fs::path& given) {
    std::error_code error;
    if (fs::is_regular_file(given, error))
        return given.has_parent_path() ? given.parent_path() : fs::path(".");
    return given;
}

std::string Shown(const fs::path& path) {
    return EscapeForMessage(DisplayPath(path));
}

// A group after its analysis: the results, or the message of its failure.
struct Analysed {
    std::string shownAs; // the folder as given, as messages name it
    std::string folder;  // the group's folder (of a respondent file given in its place)
    std::optional<GroupResults> results;
    std::vector<std::string> messages; // for standard error, in order
};

// A group's files after the attempt to write them: the files written, or the message.
struct Written {
    std::vector<std::string> paths;
    std::optional<std::string> error;
    std::optional<DisplayedTable> table; // for the workbook only
};

#ifdef REZ_HAVE_WORKBOOK
// What the workbook keeps of a group: its numbers and names, not its raters and lists.
GroupResults ForWorkbook(GroupResults&& results) {
    GroupResults kept = std::move(results);
    kept.Raters = {};
    kept.ButtonLists = {};
    kept.CaptionLists = {};
    return kept;
}

// The workbook of a run, filled as groups complete; a failure while filling it is kept and
// reported after the groups' messages, as a failure of the save.
struct RunWorkbook {
    RunWorkbook(fs::path target, std::time_t created)
        : book(std::move(target), created) {}
    CohortWorkbook book;
    std::optional<std::string> failure;
};

// Saves the workbook; false when it is not written (the message tells why).
bool SaveWorkbook(const fs::path& target, RunWorkbook& workbook, CohortProgress& progress) {
    if (workbook.failure) {
        progress.Message(*workbook.failure);
        return false;
    }
    if (workbook.book.size() == 0) {
        progress.Message("No group completed: the workbook " + Shown(target) + " is not written");
        return false;
    }
    try {
        workbook.book.Save();
        progress.FileWritten(Shown(target));
        return true;
    } catch (const std::exception& e) {
        progress.Message(e.what());
        return false;
    }
}
#endif

} // namespace

CohortOutcome RunCohort(const std::vector<std::string>& groupDirs, const CohortSettings& settings,
                        CohortProgress& progress, const StopRequest* stop) {
    const char sep = settings.decimalSeparator;
    StemClaims claims; // on the calling thread only
    CohortOutcome outcome;
    outcome.groups = static_cast<int>(groupDirs.size());
    // Another run writing into the same folders would mix its files of a group with ours.
    std::vector<fs::path> folders{settings.outDir};
    if (settings.workbook)
        folders.push_back(settings.workbook->has_parent_path() ? settings.workbook->parent_path()
                                                               : fs::path("."));
    FolderLocks locks;
    try {
        locks = FolderLocks(folders, LockWaiting{settings.lockWait, [&](const std::string& notice) {
                                                     progress.Message(notice);
                                                 }});
    } catch (const std::exception& e) {
        progress.Message(e.what());
        progress.GroupsEnded();
        outcome.failed = outcome.groups;
        return outcome;
    }
    // Every report of a run, and the workbook, carry the same date.
    const ReportTime reportTime = CurrentReportTime();
#ifdef REZ_HAVE_WORKBOOK
    // The reports' time, so that SOURCE_DATE_EPOCH makes the workbook reproducible too.
    std::optional<RunWorkbook> workbook;
    if (settings.workbook)
        workbook.emplace(*settings.workbook, reportTime.Utc.toSecsSinceEpoch());
#endif

    const PipelineSteps<Analysed, Written> steps{
        // Worker thread: the Group run.
        [&](std::size_t i) {
            Analysed group;
            const fs::path given = PathFromBytes(groupDirs[i]);
            group.shownAs = Shown(given);
            try {
                const fs::path folder = GroupFolder(given);
                group.folder = DisplayPath(folder);
                GroupResults results = RunGroupIn(folder, sep);
                // The results stand as defined; the user learns what to check. A manager's
                // report, though, must not be titled with, or count, another person.
                const auto mixed = MixedManagersWarning(results, group.folder);
                if (mixed && settings.managerReport) {
                    group.messages.push_back(group.shownAs + ": " + *mixed);
                    return group;
                }
                group.results = std::move(results);
                for (const auto& warning :
                     {NoRespondentsWarning(*group.results, group.folder), mixed})
                    if (warning)
                        group.messages.push_back("warning: " + *warning);
            } catch (const std::exception& e) {
                group.messages.push_back(group.shownAs + ": " + e.what());
            }
            return group;
        },
        // Calling thread, in command-line order: whether the group's files are written. A
        // group whose files would replace an earlier group's is not.
        [&](std::size_t, Analysed& group) {
            if (!group.results)
                return false;
            const auto clash = claims.Claim(ReportFileStem(group.results->GroupName), group.folder);
            if (clash)
                group.messages.push_back(group.shownAs + ": " + *clash);
            return !clash;
        },
        // Worker thread: the charts, the files' bytes and the writing.
        [&](std::size_t, Analysed& group) {
            Written written;
            try {
                std::vector<FileBytes> files =
                    GroupReportFiles(*group.results, settings.outDir, sep, RenderReportChart);
                if (settings.managerReport)
                    files.push_back(
                        {settings.outDir / PathFromBytes(ReportFileStem(group.results->GroupName) +
                                                         std::string(ManagerReportSuffix)),
                         ManagerReportPdf(*group.results, *settings.managerReport, sep,
                                          reportTime)});
                // The group's files, the report among them, are written all or none.
                WriteFiles(files);
                for (const FileBytes& file : files)
                    written.paths.push_back(Shown(file.target));
                // The workbook's numbers are worked out here, off the calling thread.
                if (settings.workbook)
                    written.table = DisplayTable(*group.results);
            } catch (const std::exception& e) {
                written.error = group.shownAs + ": " + e.what();
            }
            return written;
        },
        // Calling thread, in command-line order: the messages and the list of written files.
        [&](std::size_t i, Analysed& group, std::optional<Written>& written) {
            for (const std::string& message : group.messages)
                progress.Message(message);
            const bool ok = written && !written->error;
            if (written && written->error)
                progress.Message(*written->error);
            if (ok)
                for (const std::string& path : written->paths)
                    progress.FileWritten(path);
            ++(ok ? outcome.written : outcome.failed);
            progress.GroupFinished(static_cast<int>(i) + 1,
                                   group.results ? group.results->GroupName : group.shownAs);
#ifdef REZ_HAVE_WORKBOOK
            // The calling thread fills the group's sheet while the workers go on.
            if (ok && workbook && !workbook->failure) {
                try {
                    workbook->book.Add(ForWorkbook(std::move(*group.results)), *written->table);
                } catch (const std::exception& e) {
                    workbook->failure = e.what();
                }
            }
#endif
        },
        // Calling thread: fewer workers than asked for; the run goes on with those it has.
        [&](int started, const std::string& reason) {
            progress.Message("warning: only " + std::to_string(started) + " of " +
                             std::to_string(settings.threads) + " worker threads could start (" +
                             reason + "): using " + std::to_string(std::max(started, 1)) +
                             (started > 1 ? " workers" : " worker"));
        }};
    const std::size_t finished = RunOrdered(groupDirs.size(), settings.threads, steps, stop);
    // A stop after the last group still keeps the workbook of the whole cohort from being written.
    outcome.stopped = finished < groupDirs.size() || (stop && stop->Requested());
    progress.GroupsEnded();

#ifdef REZ_HAVE_WORKBOOK
    if (workbook && !outcome.stopped)
        outcome.workbookFailed = !SaveWorkbook(*settings.workbook, *workbook, progress);
#else
    // Refused before the run: the option is a usage error in such a build.
    outcome.workbookFailed = settings.workbook.has_value();
#endif
    return outcome;
}

} // namespace rez
