// Starting a measured program: the launchers of bench_process and bench_first_window share it.
#pragma once

#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

namespace rez::bench {

// Starts `command` (argv style, null-terminated) with its standard output and error sent to
// /dev/null, so the launcher's own output stays readable. Returns the child's pid, or -1
// when fork fails; a command that cannot be executed exits with 127.
inline pid_t SpawnQuiet(char** command) {
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            close(null);
        }
        execvp(command[0], command);
        _exit(127);
    }
    return child;
}

} // namespace rez::bench
