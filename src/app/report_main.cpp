// rez-report: the Group analysis and the four files of the Save commands for each group
// directory named on the command line, without a display.
//
//   rez-report [-d SEP] [-o OUTDIR] GROUPDIR...

#include "atomic_file.h"
#include "chart_picture.h"
#include "decimal_separator.h"
#include "export_files.h"
#include "file_names.h"
#include "group_report.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>
#include <exception>

namespace {

constexpr char kUsage[] =
    "usage: rez-report [-d SEP] [-o OUTDIR] GROUPDIR...\n"
    "\n"
    "Runs the REZ group analysis on each GROUPDIR (a folder of *REZ.cry respondent files)\n"
    "and writes into OUTDIR (default: the current folder) the four files that the program's\n"
    "Save commands write after a Group run:\n"
    "  \"<GroupName> Table.rtf\", \"<GroupName> An.rtf\"      Windows-1251 text, CR LF\n"
    "  \"<GroupName> Scales.gif\", \"<GroupName> Factors.gif\" the two charts, view \"Mean\"\n"
    "In the file names, / \\ : * ? \" < > | and control characters of the group name\n"
    "become \"_\".\n"
    "\n"
    "  -d SEP     decimal separator for reading and writing numbers (one character);\n"
    "             default: the system's regional setting\n"
    "  -o OUTDIR  folder for the files; it must exist\n"
    "  --help     this text\n"
    "\n"
    "A group that fails prints its message and writes nothing; the others go on.\n"
    "Exit status: 0 all groups written, 1 some group failed, 2 usage error.\n";

int UsageError(const char* message) {
    std::fprintf(stderr, "rez-report: %s\n\n%s", message, kUsage);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    // Charts are drawn into pictures, not windows: fonts need a QGuiApplication, but no
    // display and no Qt Widgets.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments().mid(1);

    char separator = rez::SystemDecimalSeparator();
    QString outDir = QDir::currentPath();
    QStringList groups;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"--help" || arg == u"-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == u"-d" || arg == u"-o") {
            if (i + 1 >= args.size())
                return UsageError("option needs a value");
            const QString value = args[++i];
            if (arg == u"-o") {
                outDir = value;
            } else {
                if (value.size() != 1 || value.at(0).unicode() > 0x7F || value.at(0).isDigit())
                    return UsageError("-d takes one character that is not a digit");
                separator = static_cast<char>(value.at(0).unicode());
            }
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            return UsageError("unknown option");
        } else {
            groups.push_back(arg);
        }
    }
    if (groups.isEmpty())
        return UsageError("no group directory given");
    if (!QDir(outDir).exists())
        return UsageError("the output folder does not exist");

    int status = 0;
    for (const QString& group : groups) {
        try {
            const rez::GroupResults results =
                rez::RunGroupIn(rez::FileSystemPath(group), separator);
            const std::vector<rez::FileBytes> files = rez::GroupReportFiles(
                results, rez::FileSystemPath(outDir), separator, rez::RenderReportChart);
            rez::WriteFiles(files);
            for (const rez::FileBytes& file : files)
                std::printf("%s\n", rez::DisplayPath(file.target).c_str());
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(QDir::toNativeSeparators(group)), e.what());
            status = 1;
        }
    }
    return status;
}
