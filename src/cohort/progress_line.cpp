#include "progress_line.h"

#include "console_text.h"
#include "utf8.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace rez {
namespace {

// `text` with control characters shown as "_" (a name from a file must not move the cursor),
// cut to `width` characters.
std::string Printable(std::string_view text, std::size_t width) {
    std::string out;
    std::size_t characters = 0;
    for (std::size_t pos = 0; pos < text.size() && characters < width; ++characters) {
        const char32_t c = NextCodePoint(text, pos).value_or(U'\uFFFD');
        AppendUtf8(out, c < 0x20 || (c >= 0x7F && c <= 0x9F) ? U'_' : c);
    }
    return out;
}

bool IsTerminal(std::FILE* stream) {
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

std::size_t Characters(std::string_view text) {
    std::size_t n = 0;
    for (const char c : text)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

} // namespace

ProgressLine::ProgressLine(std::FILE* out, bool terminal, int width, int total,
                           std::function<Clock::time_point()> now)
    : out_(out)
    , terminal_(terminal)
    , width_(width)
    , total_(total)
    , now_(std::move(now))
    , start_(now_()) {}

ProgressLine ProgressLine::ForStandardError(int total) {
    int width = 80;
#ifdef _WIN32
    const bool terminal = _isatty(_fileno(stderr)) != 0;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (terminal && GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info))
        width = info.srWindow.Right - info.srWindow.Left + 1;
#else
    const bool terminal = isatty(STDERR_FILENO) != 0;
    winsize size{};
    if (terminal && ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        width = size.ws_col;
#endif
    // One column spare: a line that fills the terminal's width makes some terminals wrap.
    return ProgressLine(stderr, terminal, width - 1, total);
}

void ProgressLine::Message(std::string_view line) {
    Print(out_, line);
}

void ProgressLine::Print(std::FILE* stream, std::string_view line) {
    // Another stream shares the screen with the line only when it is a terminal too.
    if (terminal_ && (stream == out_ || IsTerminal(stream)))
        Clear();
    WriteText(stream, std::string(line) + '\n');
    if (terminal_)
        std::fflush(stream);
}

void ProgressLine::Advance(int done, std::string_view name) {
    if (!terminal_)
        return;
    const Clock::time_point now = now_();
    if (shown_ > 0 && done < total_ && now - lastDraw_ < std::chrono::milliseconds(100))
        return;
    lastDraw_ = now;
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now - start_).count();
    char counts[64];
    std::snprintf(counts, sizeof counts, "[%d/%d] ", done, total_);
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "  %lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
    const std::size_t fixed = Characters(counts) + Characters(elapsed);
    const std::size_t room =
        static_cast<std::size_t>(width_) > fixed ? static_cast<std::size_t>(width_) - fixed : 0;
    Draw(std::string(counts) + Printable(name, room) + elapsed);
}

void ProgressLine::Clear() {
    if (shown_ > 0)
        Draw({});
}

void ProgressLine::Draw(std::string_view text) {
    // Blanks over the rest of the old line: portable, where erase sequences are not.
    const std::size_t length = Characters(text);
    std::string line = "\r" + std::string(text);
    if (length < shown_)
        line += std::string(shown_ - length, ' ') + "\r" + std::string(text);
    WriteText(out_, line);
    std::fflush(out_);
    shown_ = length;
}

} // namespace rez
