// The progress of a long rez-report run: one line on a terminal, rewritten in place
// ("[123/1000] Петров А.А.  0:12") and cleared at the end. Messages go through it so that
// they never mix with the line. Off a terminal (a log, a test) it adds nothing.
#pragma once

#include "cohort_progress.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace rez {

class ProgressLine {
public:
    using Clock = std::chrono::steady_clock;

    // `out` is where the line and the messages go (standard error); the line is shown only
    // when `terminal`, at most `width` characters wide.
    ProgressLine(std::FILE* out, bool terminal, int width, int total,
                 std::function<Clock::time_point()> now = Clock::now);
    // For standard error: a terminal when it is one, its width when known.
    static ProgressLine ForStandardError(int total);

    // Prints a whole message line where the progress line stands; the line comes back with
    // the next Advance.
    void Message(std::string_view line);
    // The same for a line on another stream (standard output), which may share the terminal.
    void Print(std::FILE* stream, std::string_view line);
    // `done` items are finished, the last of them `name`. Redrawn at most ten times a
    // second, whenever it was taken away for a message, and always for the last item.
    void Advance(int done, std::string_view name);
    // Removes the line; called at the end of the run.
    void Clear();

private:
    void Draw(std::string_view text);

    std::FILE* out_;
    bool terminal_;
    int width_;
    int total_;
    std::function<Clock::time_point()> now_;
    Clock::time_point start_;
    Clock::time_point lastDraw_{};
    std::size_t shown_ = 0; // characters of the line now on screen
};

// A cohort run's progress on the terminal: messages on standard error, the files written on
// standard output, the line on standard error when it is a terminal.
class TerminalProgress final : public CohortProgress {
public:
    explicit TerminalProgress(int total)
        : line_(ProgressLine::ForStandardError(total)) {}

    void Message(std::string_view line) override { line_.Message(line); }
    void FileWritten(std::string_view path) override { line_.Print(stdout, path); }
    void GroupFinished(int done, std::string_view name) override { line_.Advance(done, name); }
    void GroupsEnded() override { line_.Clear(); }

private:
    ProgressLine line_;
};

} // namespace rez
