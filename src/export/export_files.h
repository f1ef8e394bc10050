// The file work of the three Save commands and of rez-report: composing the bytes and
// writing them so that an existing file is only replaced by a complete new one.
#pragma once

#include <QImage>
#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace rez {

// Writes `bytes` to `path` atomically (a temporary file renamed over the target; in place
// when the folder allows no temporary file but the file itself is writable). Throws RezError
// "Cannot create file <path>" when the file cannot be written; an old file stays intact.
void WriteFileAtomically(const QString& path, std::string_view bytes);

// Windows-1251 bytes of UTF-8 lines, each followed by CR LF. Throws RezError for a character
// the code page lacks (as EncodeMemoText does).
std::string EncodeLines(const std::vector<std::string>& lines);

// Windows-1251 bytes of the analysis memo's text: line ends ('\n', U+2028, U+2029) become
// CR LF, nothing else changes. Throws RezError "Cannot write character '<c>' in Windows-1251
// (line <n>)" for the first character the code page lacks; nothing is replaced by '?'.
std::string EncodeMemoText(const QString& text);

// GIF87a bytes of a rendered chart: exact colours up to 256 of them.
std::string EncodeChartGif(const QImage& image);

void SaveTableFile(const QString& path, const std::vector<std::string>& lines);
void SaveAnalysisFile(const QString& path, const QString& memoText);
void SaveChartGif(const QString& path, const QImage& image);

// The chosen name with ".gif" appended unless it already ends in exactly ".gif".
QString WithGifExtension(const QString& chosen);

// `exeDir` + "Results" + separator + `groupName` + `suffix`; the group name enters unchanged.
QString ProposedResultPath(const QString& exeDir, const QString& groupName, QStringView suffix);

} // namespace rez
