#include "stop_signals.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#include <signal.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#endif

namespace rez {
namespace {

// The one StopSignals's state. The waiting thread outlives nothing it uses: it holds the
// mutex while it reads `stop`, which the destructor clears under the same mutex.
std::mutex mutex;
StopRequest* stop = nullptr;
std::atomic<int> received = 0; // the signal (Windows: the control event + 1), 0 before one

#ifdef _WIN32
BOOL WINAPI OnControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    const std::lock_guard lock(mutex);
    if (!stop || received.load() != 0)
        return FALSE; // the second one: the system's default ends the process
    received = static_cast<int>(event) + 1;
    stop->Request();
    return TRUE;
}
#else
sigset_t StoppingSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

[[noreturn]] void EndBy(int signal) {
    ::signal(signal, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    raise(signal);
    _exit(128 + signal); // not reached: the default action of these signals ends the process
}

// Runs detached for the rest of the process: it only ever waits.
void WaitForSignals() {
    const sigset_t set = StoppingSignals();
    for (;;) {
        int signal = 0;
        if (sigwait(&set, &signal) != 0)
            continue;
        const std::lock_guard lock(mutex);
        if (!stop)
            EndBy(signal); // no run to stop: as if the signal had never been blocked
        if (received.load() != 0)
            EndBy(signal); // the second: at once
        received = signal;
        stop->Request();
    }
}
#endif

} // namespace

void PrepareStopSignals() {
#ifndef _WIN32
    const sigset_t set = StoppingSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    ::signal(SIGXFSZ, SIG_IGN);
#endif
}

StopSignals::StopSignals(StopRequest& request) {
    const std::lock_guard lock(mutex);
    stop = &request;
    received = 0;
#ifdef _WIN32
    SetConsoleCtrlHandler(OnControl, TRUE);
#else
    static std::once_flag started;
    std::call_once(started, [] {
        try {
            std::thread(WaitForSignals).detach();
        } catch (const std::system_error&) {
            // No thread to wait for them: the signals end the process as they would unblocked.
            const sigset_t set = StoppingSignals();
            pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
        }
    });
#endif
}

StopSignals::~StopSignals() {
    const std::lock_guard lock(mutex);
    stop = nullptr;
#ifdef _WIN32
    SetConsoleCtrlHandler(OnControl, FALSE);
#endif
}

std::string StopSignals::Received() const {
    const int signal = received.load();
#ifdef _WIN32
    if (signal == 0)
        return {};
    return signal - 1 == CTRL_BREAK_EVENT ? "Ctrl-Break" : "Ctrl-C";
#else
    switch (signal) {
    case 0:
        return {};
    case SIGINT:
        return "SIGINT";
    case SIGTERM:
        return "SIGTERM";
    case SIGHUP:
        return "SIGHUP";
    default:
        return "signal " + std::to_string(signal);
    }
#endif
}

void StopSignals::EndAsSignalled() const {
#ifdef _WIN32
    // What a console program ended by Ctrl-C returns.
    ExitProcess(static_cast<UINT>(STATUS_CONTROL_C_EXIT));
#else
    EndBy(received.load() != 0 ? received.load() : SIGTERM);
#endif
}

} // namespace rez
