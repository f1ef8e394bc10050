#include "export_files.h"

#include "atomic_file.h"
#include "cp1251.h"
#include "file_names.h"
#include "folder_lock.h"
#include "gif_encoder.h"
#include "rez_error.h"
#include "utf8.h"

#include <QDir>
#include <QFile>

#include <span>
#include <stdexcept>

namespace rez {
namespace {

std::string Utf8Of(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

[[noreturn]] void ThrowUnencodable(std::string_view line, const Cp1251EncodeError& error,
                                   std::size_t lineNumber) {
    std::string character;
    if (error.codePoint == U'\uFFFD')
        character = std::string(line.substr(error.byteOffset, 1));
    else
        AppendUtf8(character, error.codePoint);
    throw RezError("Cannot write character '" + character + "' in Windows-1251 (line " +
                   std::to_string(lineNumber) + ")");
}

void AppendEncodedLine(std::string& out, std::string_view line, std::size_t lineNumber) {
    Cp1251EncodeError error;
    const auto bytes = EncodeCp1251(line, &error);
    if (!bytes)
        ThrowUnencodable(line, error, lineNumber);
    out += *bytes;
}

std::string MsgChartNotStorable(std::string_view detail) {
    return "the chart cannot be stored as a GIF picture (" + std::string(detail) + ")";
}

} // namespace

std::filesystem::path FileSystemPath(const QString& path) {
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    const QByteArray bytes = QFile::encodeName(path);
    return std::filesystem::path(
        std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
#endif
}

std::string EncodeLines(const std::vector<std::string>& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        AppendEncodedLine(out, lines[i], i + 1);
        out += "\r\n";
    }
    return out;
}

std::string EncodeMemoText(const QString& text) {
    std::string out;
    std::size_t lineNumber = 1;
    qsizetype start = 0;
    const auto flush = [&](qsizetype end) {
        AppendEncodedLine(out, Utf8Of(text.mid(start, end - start)), lineNumber);
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
            flush(i);
            out += "\r\n";
            ++lineNumber;
            start = i + 1;
        }
    }
    flush(text.size());
    return out;
}

std::string EncodeChartGif(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const auto* words = reinterpret_cast<const RgbWord*>(rgb.constBits());
    const std::size_t stride = static_cast<std::size_t>(rgb.bytesPerLine()) / sizeof(RgbWord);
    const std::span<const RgbWord> pixels(words, stride * static_cast<std::size_t>(rgb.height()));
    // The GIF layer reports a picture it cannot take, or a failure inside giflib, in a
    // developer's words; the user learns what failed, with those words as the detail.
    try {
        return EncodeGif(PictureFromTrueColor(rgb.width(), rgb.height(), pixels, stride));
    } catch (const std::invalid_argument& error) {
        throw RezError(MsgChartNotStorable(error.what()));
    } catch (const std::runtime_error& error) {
        throw RezError(MsgChartNotStorable(error.what()));
    }
}

void SaveTableFile(const QString& path, const std::vector<std::string>& lines) {
    WriteFileInLockedFolder(FileSystemPath(path), EncodeLines(lines));
}

void SaveAnalysisFile(const QString& path, const QString& memoText) {
    WriteFileInLockedFolder(FileSystemPath(path), EncodeMemoText(memoText));
}

void SaveChartGif(const QString& path, const QImage& image) {
    std::string bytes;
    try {
        bytes = EncodeChartGif(image);
    } catch (const RezError& error) {
        throw RezError(
            MsgCannotWriteFile(QDir::toNativeSeparators(path).toStdString(), error.what()));
    }
    WriteFileInLockedFolder(FileSystemPath(path), bytes);
}

QString WithGifExtension(const QString& chosen) {
    return chosen.endsWith(QStringLiteral(".gif"), Qt::CaseSensitive)
               ? chosen
               : chosen + QStringLiteral(".gif");
}

QString WithPdfExtension(const QString& chosen) {
    return chosen.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)
               ? chosen
               : chosen + QStringLiteral(".pdf");
}

QString ProposedResultPath(const QString& exeDir, const QString& groupName, QStringView suffix) {
    return exeDir + QStringLiteral("Results/") +
           QString::fromStdString(ReportFileStem(Utf8Of(groupName))) + suffix.toString();
}

} // namespace rez
