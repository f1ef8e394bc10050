// Times a command as a whole process: runs it a few times after warm-up runs, each with its
// output thrown away, and prints for each counted run its wall time (from just before the
// fork to the child's reaping), its user and system CPU time and its peak resident memory,
// as the kernel accounts them for the finished child (wait4).
//
//   bench_process [--runs N] [--warmup N] -- COMMAND [ARG...]
//
// Prints one line per counted run: "<wall s>\t<user s>\t<sys s>\t<peak KiB>\t<exit status>".
// Linux and other POSIX systems only; no Qt, so that it adds nothing of its own to measure.
#include "spawn_quiet.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

struct Run {
    double wallSeconds = 0;
    double userSeconds = 0;
    double systemSeconds = 0;
    long peakKib = 0;
    int status = -1;
};

double Seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

// Runs `command` once with its standard output and error sent to /dev/null. Returns false
// when it could not be started.
bool RunOnce(char** command, Run& run) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = rez::bench::SpawnQuiet(command);
    if (child < 0)
        return false;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child)
        return false;
    const auto end = std::chrono::steady_clock::now();
    run.wallSeconds = std::chrono::duration<double>(end - start).count();
    run.userSeconds = Seconds(usage.ru_utime);
    run.systemSeconds = Seconds(usage.ru_stime);
    run.peakKib = usage.ru_maxrss; // KiB on Linux
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run.status != 127;
}

int Usage() {
    std::fputs("usage: bench_process [--runs N] [--warmup N] -- COMMAND [ARG...]\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    int runs = 5;
    int warmup = 1;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if ((arg == "--runs" || arg == "--warmup") && i + 1 < argc) {
            const int value = std::atoi(argv[++i]);
            if (value < 0 || (arg == "--runs" && value < 1))
                return Usage();
            (arg == "--runs" ? runs : warmup) = value;
        } else {
            return Usage();
        }
    }
    if (i >= argc)
        return Usage();
    char** command = argv + i;

    for (int n = 0; n < warmup + runs; ++n) {
        Run run;
        if (!RunOnce(command, run)) {
            std::fprintf(stderr, "bench_process: cannot run %s\n", command[0]);
            return 1;
        }
        if (n >= warmup)
            std::printf("%.6f\t%.6f\t%.6f\t%ld\t%d\n", run.wallSeconds, run.userSeconds,
                        run.systemSeconds, run.peakKib, run.status);
    }
    return 0;
}
