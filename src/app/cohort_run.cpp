#include "cohort_run.h"

#include "atomic_file.h"
#include "chart_picture.h"
#include "cohort_numbers.h"
#include "file_names.h"
#include "group_report.h"
#include "group_run.h"
#include "manager_report.h"
#include "ordered_pipeline.h"
#include "progress_line.h"
#include "rez_error.h"

#ifdef REZ_HAVE_WORKBOOK
#include "cohort_workbook.h"
#endif

#include <cstdio>
#include <exception>

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

int SaveWorkbook(const fs::path& target, RunWorkbook& workbook, ProgressLine& progress) {
    if (workbook.failure) {
        progress.Message(*workbook.failure);
        return 1;
    }
    if (workbook.book.size() == 0) {
        progress.Message("No group completed: the workbook " + Shown(target) + " is not written");
        return 1;
    }
    try {
        workbook.book.Save();
        progress.Print(stdout, Shown(target));
        return 0;
    } catch (const std::exception& e) {
        progress.Message(e.what());
        return 1;
    }
}
#endif

} // namespace

int RunCohort(const std::vector<std::string>& groupDirs, const CohortSettings& settings) {
    const char sep = settings.decimalSeparator;
    ProgressLine progress = ProgressLine::ForStandardError(static_cast<int>(groupDirs.size()));
    StemClaims claims; // on the calling thread only
    int status = 0;
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
                group.results = RunGroupIn(folder, sep);
                // The results stand as defined; the user learns what to check.
                for (const auto& warning : {NoRespondentsWarning(*group.results, group.folder),
                                            MixedManagersWarning(*group.results, group.folder)})
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
                    progress.Print(stdout, path);
            status = ok ? status : 1;
            progress.Advance(static_cast<int>(i) + 1,
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
        }};
    RunOrdered(groupDirs.size(), settings.threads, steps);
    progress.Clear();

#ifdef REZ_HAVE_WORKBOOK
    if (workbook && SaveWorkbook(*settings.workbook, *workbook, progress) != 0)
        status = 1;
#else
    if (settings.workbook) // refused before the run: the option is a usage error in such a build
        status = 1;
#endif
    return status;
}

} // namespace rez
