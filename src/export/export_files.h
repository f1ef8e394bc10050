// The file work of the three Save commands and of rez-report: composing the bytes and
// writing them so that an existing file is only replaced by a complete new one.
#pragma once

#include <QImage>
#include <QString>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace rez {

// The file system's path of a name the user chose in a dialog.
std::filesystem::path FileSystemPath(const QString& path);

// Windows-1251 bytes of UTF-8 lines, each followed by CR LF. Throws RezError for a character
// the code page lacks (as EncodeMemoText does).
std::string EncodeLines(const std::vector<std::string>& lines);

// Windows-1251 bytes of the analysis memo's text: line ends ('\n', U+2028, U+2029) become
// CR LF, nothing else changes. Throws RezError "Cannot write character '<c>' in Windows-1251
// (line <n>)" for the first character the code page lacks; nothing is replaced by '?'.
std::string EncodeMemoText(const QString& text);

// GIF87a bytes of a rendered chart: exact colours up to 256 of them. Throws RezError "the
// chart cannot be stored as a GIF picture (DETAIL)" for a picture the GIF writer cannot
// take (no area, too large) or a failure inside it.
std::string EncodeChartGif(const QImage& image);

// The Save commands' writes: the whole file or, on any failure, the old file byte for byte and
// a RezError (see WriteFiles); a chart that cannot be made a GIF fails as "Cannot write file
// PATH: the chart cannot be stored ...". The window does not wait for another run writing
// into the folder: the save fails at once (WriteFileInLockedFolder).
void SaveTableFile(const QString& path, const std::vector<std::string>& lines);
void SaveAnalysisFile(const QString& path, const QString& memoText);
void SaveChartGif(const QString& path, const QImage& image);

// The chosen name with ".gif" appended unless it already ends in exactly ".gif".
QString WithGifExtension(const QString& chosen);

// The chosen name with ".pdf" appended unless it already ends in ".pdf" in any letter case.
QString WithPdfExtension(const QString& chosen);

// `exeDir` + "Results" + separator + the group's file stem (ReportFileStem) + `suffix`.
QString ProposedResultPath(const QString& exeDir, const QString& groupName, QStringView suffix);

} // namespace rez
