// A cohort run started from the window: RunCohort on a thread of its own, its progress and
// messages handed to the GUI thread as signals, so that the window keeps repainting.
#pragma once

#include "cohort_run.h"
#include "ordered_pipeline.h"

#include <QObject>
#include <QString>

#include <memory>
#include <string>
#include <vector>

class QThread;

namespace rez {

class CohortRunner : public QObject {
    Q_OBJECT
public:
    explicit CohortRunner(QObject* parent = nullptr);
    // Stops a run still going and waits for it: the groups being written finish whole.
    ~CohortRunner() override;

    bool isRunning() const;
    // Starts the run of `groups`; one run at a time.
    void start(std::vector<std::string> groups, CohortSettings settings);
    // Asks the run to stop: no new group starts, no workbook is written.
    void stop() { stop_.Request(); }
    // Waits for the run's thread; the signals it sent are delivered later by the event loop.
    void wait();

signals:
    void groupFinished(int done, const QString& name);
    void message(const QString& line);
    void finished(const rez::CohortOutcome& outcome);

private:
    StopRequest stop_;
    // Qt's own thread: the run may draw on it (one group at a time), and a thread Qt did not
    // start leaves its drawing data to be freed by another.
    std::unique_ptr<QThread> thread_;
};

} // namespace rez
