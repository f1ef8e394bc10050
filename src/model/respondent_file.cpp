#include "respondent_file.h"

#include "cp1251.h"
#include "number_text.h"
#include "questionnaire.h"
#include "rez_error.h"
#include "scramble.h"
#include "utf8.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>

#include <climits>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace rez {
namespace {

const std::string kEmptyLine;

// The reason for an entry that is a folder, a device, a FIFO or a socket: it is not read.
constexpr std::string_view NotARegularFile = "not a regular file";

#ifdef _WIN32
// Closes the handle on every path out of the reader.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle)
        : handle_(handle) {}
    ~FileHandle() {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// The UTF-16 form of a UTF-8 path; empty when the path is empty, not valid UTF-8 or holds a
// NUL (which would cut the name short).
std::wstring WidePath(const std::string& path) {
    if (path.empty() || path.size() > INT_MAX || path.find('\0') != std::string::npos)
        return {};
    const int size = static_cast<int>(path.size());
    const int length =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), size, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), size, wide.data(),
                            length) != length)
        return {};
    return wide;
}

std::string LastErrorText() {
    return ErrorReasonText(
        std::error_code(static_cast<int>(GetLastError()), std::system_category()));
}

std::string ReadWholeFile(const std::string& path) {
    const std::wstring wide = WidePath(path);
    if (wide.empty())
        throw RezError(MsgCannotOpenFile(path));
    // Others may read the file at the same time, but one that a program holds open for
    // writing is refused rather than read half-written. Directories cannot be opened so.
    FileHandle file(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        const std::string reason = LastErrorText();
        // A folder cannot be opened so at all: say what it is, as on other systems.
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        const bool folder =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        throw RezError(MsgCannotOpenFile(path, folder ? std::string(NotARegularFile) : reason));
    }
    // Only files on a disk: a device (NUL, COM1) or a pipe is refused before the first read,
    // which could wait forever.
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file.get()) != FILE_TYPE_DISK ||
        GetFileInformationByHandle(file.get(), &info) == FALSE ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        throw RezError(MsgCannotOpenFile(path, NotARegularFile));
    const unsigned long long size =
        (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size > MaxRespondentFileBytes)
        throw RezError(MsgFileTooLarge(path));

    // Read to the end, however many pieces the system hands back, but never more than the
    // limit: the file may grow while we read, so the buffer grows too, up to one byte past
    // the limit.
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(size) + 1);
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (bytes.size() > MaxRespondentFileBytes)
                break;
            bytes.resize(std::min(bytes.size() * 2, MaxRespondentFileBytes + 1));
        }
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(bytes.size() - filled);
        if (ReadFile(file.get(), bytes.data() + filled, want, &got, nullptr) == FALSE)
            throw RezError(MsgCannotOpenFile(path, LastErrorText()));
        if (got == 0)
            break;
        filled += got;
    }
    if (filled > MaxRespondentFileBytes)
        throw RezError(MsgFileTooLarge(path));
    bytes.resize(filled);
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

std::string ErrnoText() {
    return ErrorReasonText(std::error_code(errno, std::generic_category()));
}

std::string ReadWholeFile(const std::string& path) {
    // Non-blocking, so that a FIFO named like a respondent file cannot hang the program;
    // the type check on the opened descriptor then refuses it.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0)
        throw RezError(MsgCannotOpenFile(path, ErrnoText()));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        throw RezError(MsgCannotOpenFile(path, ErrnoText()));
    if (!S_ISREG(st.st_mode))
        throw RezError(MsgCannotOpenFile(path, NotARegularFile));
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
            throw RezError(MsgCannotOpenFile(path, ErrnoText()));
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
    return ParseRespondentBytes(ReadWholeFile(path), lines, path);
}

RespondentFile ParseRespondentBytes(std::string_view stored, LineBuffer& lines, std::string path) {
    const std::string plain = UnscrambleText(stored);
    SplitLines(plain, lines);
    for (std::string& line : lines)
        line = DecodeCp1251(line);
    return RespondentFile(lines, std::move(path));
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
