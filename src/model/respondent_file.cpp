#include "respondent_file.h"

#include "cp1251.h"
#include "number_text.h"
#include "questionnaire.h"
#include "rez_error.h"
#include "scramble.h"
#include "utf8.h"

#include <algorithm>

#ifdef _WIN32
#include <filesystem>
#include <fstream>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace rez {
namespace {

const std::string kEmptyLine;

#ifdef _WIN32
std::string ReadWholeFile(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path p(std::u8string(path.begin(), path.end()));
    std::error_code ec;
    if (!fs::is_regular_file(p, ec))
        throw RezError(MsgCannotOpenFile(path));
    const auto size = fs::file_size(p, ec);
    if (ec)
        throw RezError(MsgCannotOpenFile(path));
    if (size > MaxRespondentFileBytes)
        throw RezError(MsgFileTooLarge(path));
    std::ifstream in(p, std::ios::binary);
    if (!in)
        throw RezError(MsgCannotOpenFile(path));
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}
#else
// Closes the descriptor on every path out of the reader.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

std::string ReadWholeFile(const std::string& path) {
    // Non-blocking, so that a FIFO named like a respondent file cannot hang the program;
    // the type check on the opened descriptor then refuses it.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0)
        throw RezError(MsgCannotOpenFile(path));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        throw RezError(MsgCannotOpenFile(path));
    if (static_cast<unsigned long long>(st.st_size) > MaxRespondentFileBytes)
        throw RezError(MsgFileTooLarge(path));

    // Read to the end, but never more than the limit: the file may grow while we read, so
    // the buffer grows too, up to one byte past the limit.
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (bytes.size() > MaxRespondentFileBytes)
                break;
            bytes.resize(std::min(bytes.size() * 2, MaxRespondentFileBytes + 1));
        }
        const ssize_t got = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw RezError(MsgCannotOpenFile(path));
        }
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    if (filled > MaxRespondentFileBytes)
        throw RezError(MsgFileTooLarge(path));
    bytes.resize(filled);
    return bytes;
}
#endif

} // namespace

const std::string& RespondentFile::Line(std::size_t n) const {
    return n < lines_->size() ? (*lines_)[n] : kEmptyLine;
}

void SplitLines(std::string_view text, LineBuffer& lines, bool keepFinalEmpty) {
    lines.clear();
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size() || keepFinalEmpty)
        lines.emplace_back(text.substr(start));
}

RespondentFile ReadRespondentFile(const std::string& path, LineBuffer& lines) {
    lines.clear();
    const std::string plain = UnscrambleText(ReadWholeFile(path));
    SplitLines(plain, lines);
    for (std::string& line : lines)
        line = DecodeCp1251(line);
    return RespondentFile(lines, path);
}

int RoleFromFileName(std::string_view fileName, std::string_view fullPath) {
    const std::string first = FirstCharacter(fileName);
    if (first.size() != 1 || first[0] < '0' || first[0] > '9')
        throw RezError(MsgNotAnInteger(first) + MsgFileLocation(fullPath));
    const int digit = first[0] - '0';
    if (digit > rowColl)
        throw RezError(MsgNotARole(first, fullPath));
    return digit;
}

double ScaleValue(const RespondentFile& file, int s, char decimalSeparator) {
    const std::size_t line = FirstTotalLine + static_cast<std::size_t>(s);
    const std::optional<double> total = TryParseTotal(file.Line(line), decimalSeparator);
    if (!total) {
        const std::string where =
            file.Path().empty() ? std::string() : MsgFileLocation(file.Path(), line + 1);
        throw RezError(MsgNotAFloat(file.Line(line)) + where);
    }
    return *total / ScaleItemCounts[static_cast<std::size_t>(s)];
}

} // namespace rez
