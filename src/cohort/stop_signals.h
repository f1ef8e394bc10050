// The signals that stop a cohort run from outside: Ctrl-C, SIGTERM and SIGHUP (on Windows
// Ctrl-C and Ctrl-Break). The first asks the run to stop (the groups being written finish
// whole, no workbook is written); a second ends the process at once. Broken pipes and
// oversized files are not signals here but failed writes, reported with their reason.
#pragma once

#include "ordered_pipeline.h"

#include <string>

namespace rez {

// Blocks the stopping signals in the calling thread, and so in every thread started after it,
// and ignores SIGPIPE and SIGXFSZ. Call first thing in main, before Qt or any worker exists.
void PrepareStopSignals();

// Waits for the stopping signals on a thread of its own while it lives, and requests `stop`
// at the first. Only one may exist at a time.
class StopSignals {
public:
    explicit StopSignals(StopRequest& stop);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The name of the signal that requested the stop ("SIGTERM", "Ctrl-C"), or empty.
    std::string Received() const;
    // Ends the process as the received signal does by default, so that the caller of the
    // program sees a killed run. Call after the run has cleaned up.
    [[noreturn]] void EndAsSignalled() const;
};

} // namespace rez
