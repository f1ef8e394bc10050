#include "test_files.h"

#include "cp1251.h"
#include "questionnaire.h"
#include "scramble.h"

#include <atomic>
#include <fstream>
#include <sstream>
#include <stdexcept>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace rez::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    // The process id keeps test programs that run at the same time apart.
#ifdef _WIN32
    const auto pid = ::_getpid();
#else
    const auto pid = ::getpid();
#endif
    path_ = fs::temp_directory_path() /
            ("rez-test-" + std::to_string(pid) + "-" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string TempDir::dirText() const {
    const auto text = path_.u8string();
    return std::string(text.begin(), text.end()) + "/";
}

fs::path Utf8Path(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string AsWindowsFile(const std::string& utf8WithLf) {
    std::string crlf;
    for (const char c : utf8WithLf) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    const auto bytes = EncodeCp1251(crlf);
    if (!bytes)
        throw std::runtime_error("golden text not representable in Windows-1251");
    return *bytes;
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush())
        throw std::runtime_error("cannot write test file " + path.string());
}

void WriteRespondentFile(const fs::path& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    const auto bytes = EncodeCp1251(text);
    if (!bytes)
        throw std::runtime_error("test text not representable in Windows-1251");
    WriteBytes(path, ScrambleText(*bytes));
}

std::vector<std::string> RespondentLines(const std::string& who,
                                         const std::vector<std::string>& totals) {
    std::vector<std::string> lines(13);
    for (int i = 0; i < 13; ++i)
        lines[static_cast<std::size_t>(i)] = who + " L" + std::to_string(i);
    lines.insert(lines.end(), totals.begin(), totals.end());
    return lines;
}

std::vector<std::string> UniformTotals(int perItem) {
    std::vector<std::string> totals;
    for (const int items : ScaleItemCounts)
        totals.push_back(std::to_string(items * perItem));
    return totals;
}

} // namespace rez::test
