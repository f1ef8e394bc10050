#include "cohort_runner.h"

#include "cohort_progress.h"

#include <QMetaObject>
#include <QThread>

namespace rez {
namespace {

// Hands each report of the run to the runner's thread (the GUI's) as a queued call.
class QueuedProgress final : public CohortProgress {
public:
    explicit QueuedProgress(CohortRunner* runner)
        : runner_(runner) {}

    void Message(std::string_view line) override {
        Post([runner = runner_, text = QString::fromUtf8(line.data(), Size(line))] {
            emit runner->message(text);
        });
    }
    void FileWritten(std::string_view) override {}
    void GroupFinished(int done, std::string_view name) override {
        Post([runner = runner_, done, text = QString::fromUtf8(name.data(), Size(name))] {
            emit runner->groupFinished(done, text);
        });
    }
    void GroupsEnded() override {}

private:
    static qsizetype Size(std::string_view text) { return static_cast<qsizetype>(text.size()); }
    template <typename Call> void Post(Call call) {
        QMetaObject::invokeMethod(runner_, std::move(call), Qt::QueuedConnection);
    }
    CohortRunner* runner_;
};

} // namespace

CohortRunner::CohortRunner(QObject* parent)
    : QObject(parent) {}

CohortRunner::~CohortRunner() {
    stop();
    wait();
}

void CohortRunner::start(std::vector<std::string> groups, CohortSettings settings) {
    wait();
    stop_.Reset();
    thread_.reset(
        QThread::create([this, groups = std::move(groups), settings = std::move(settings)] {
            QueuedProgress progress(this);
            CohortOutcome outcome;
            try {
                outcome = RunCohort(groups, settings, progress, &stop_);
            } catch (const std::exception& e) {
                progress.Message(e.what());
                outcome.groups = static_cast<int>(groups.size());
                outcome.failed = outcome.groups;
            }
            QMetaObject::invokeMethod(
                this, [this, outcome] { emit finished(outcome); }, Qt::QueuedConnection);
        }));
    thread_->start();
}

bool CohortRunner::isRunning() const {
    return thread_ && !thread_->isFinished();
}

void CohortRunner::wait() {
    if (thread_)
        thread_->wait();
}

} // namespace rez
