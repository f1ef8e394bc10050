// Start-up and memory of the main window, measured once per process: the program's main()
// as the desktop program runs it (application, main window with its About box, shown
// maximised), timed from entering main() to the window's first expose and to the end of the
// paint that follows it; then, with --group=DIR, the Group command on that folder and the
// process's peak resident memory (VmHWM) after it has been painted.
//
// Start-up happens once per process, so this is a plain program, not a Google Benchmark one:
// scripts/bench.sh runs it several times and takes the medians. With --empty it shows a bare
// main window with a menu bar instead: the floor of what Qt itself needs to start and show
// a window on the same display, to compare against.
//
// Prints one line per figure: "<mode>\t<figure>\t<value>", mode "rez" or "empty"; times in
// milliseconds, memory in KiB.
#include "about_box.h"
#include "app_name.h"
#include "icons.h"
#include "tform1.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>
#include <string_view>

using namespace Qt::StringLiterals;

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// A line of /proc/self/status such as "VmHWM:   81234 kB", in KiB; -1 when missing.
long StatusKib(QByteArrayView field) {
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith(field) && line.size() > field.size() && line[field.size()] == ':') {
            bool ok = false;
            const long kib = line.mid(field.size() + 1).trimmed().split(' ').value(0).toLong(&ok);
            return ok ? kib : -1;
        }
    }
    return -1;
}

// Notes the window's first expose, and the moment the event loop comes back to its timers
// afterwards: by then the expose has been handled, the window painted and the picture sent
// to the display. Then quits the event loop.
class FirstExpose : public QObject {
public:
    Clock::time_point exposed;
    Clock::time_point painted;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && !seen_) {
            auto* window = qobject_cast<QWindow*>(watched);
            if (window && window->isExposed()) {
                seen_ = true;
                exposed = Clock::now();
                QTimer::singleShot(0, this, [this] {
                    painted = Clock::now();
                    QCoreApplication::quit();
                });
            }
        }
        return false;
    }

private:
    bool seen_ = false;
};

void Print(const char* mode, const char* figure, double value) {
    std::printf("%s\t%s\t%.3f\n", mode, figure, value);
}

// Lets the event loop run for `ms` milliseconds: pending layouts, paints and timers happen.
void RunEventsFor(int ms) {
    QTimer::singleShot(ms, qApp, [] { QCoreApplication::quit(); });
    QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    const Clock::time_point start = Clock::now();

    bool empty = false;
    QString groupDir;
    constexpr std::string_view GroupFlag = "--group=";
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--empty") {
            empty = true;
        } else if (arg.starts_with(GroupFlag)) {
            groupDir = QString::fromUtf8(arg.substr(GroupFlag.size()));
        } else {
            std::fprintf(stderr, "usage: bench_window [--empty] [--group=DIR]\n");
            return 2;
        }
    }
    const char* mode = empty ? "empty" : "rez";

    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    const Clock::time_point appMade = Clock::now();

    // As the desktop program's main() does.
    std::unique_ptr<QMainWindow> window;
    rez::TForm1* form = nullptr;
    if (empty) {
        window = std::make_unique<QMainWindow>();
        window->setWindowTitle(u"Bench floor"_s);
        window->menuBar()->addAction(u"Group"_s);
        window->resize(1024, 730);
    } else {
        QApplication::setApplicationName(rez::AppName());
        QApplication::setWindowIcon(rez::AppIcon());
        auto owned = std::make_unique<rez::TForm1>();
        form = owned.get();
        form->setAboutBox(new rez::TAboutBox(form));
        window = std::move(owned);
    }
    const Clock::time_point windowMade = Clock::now();

    // Watches the whole application: the native window is made by the showing itself, as in
    // the program, and the main window is the only one shown.
    FirstExpose watch;
    app.installEventFilter(&watch);
    window->showMaximized();
    QApplication::exec();
    app.removeEventFilter(&watch);

    Print(mode, "application_ms", MillisecondsBetween(start, appMade));
    Print(mode, "window_ms", MillisecondsBetween(appMade, windowMade));
    Print(mode, "show_to_expose_ms", MillisecondsBetween(windowMade, watch.exposed));
    Print(mode, "first_paint_ms", MillisecondsBetween(watch.exposed, watch.painted));
    Print(mode, "start_to_expose_ms", MillisecondsBetween(start, watch.exposed));
    Print(mode, "start_to_painted_ms", MillisecondsBetween(start, watch.painted));

    // Let the window settle (the window manager's resize to the maximised size and its
    // repaint) before the memory readings.
    RunEventsFor(300);
    Print(mode, "shown_hwm_kib", static_cast<double>(StatusKib("VmHWM")));

    if (form && !groupDir.isEmpty()) {
        const QDir dir(groupDir);
        const QStringList files = dir.entryList({u"*REZ.cry"_s}, QDir::Files, QDir::Name);
        if (files.isEmpty()) {
            std::fprintf(stderr, "bench_window: no respondent files in %s\n",
                         groupDir.toLocal8Bit().constData());
            return 1;
        }
        const Clock::time_point groupStart = Clock::now();
        try {
            form->runGroup(dir.absoluteFilePath(files.first()));
        } catch (const std::exception& error) {
            std::fprintf(stderr, "bench_window: the Group run failed: %s\n", error.what());
            return 1;
        }
        Print(mode, "group_command_ms", MillisecondsBetween(groupStart, Clock::now()));
        // The results panel, table, charts and text are painted by the event loop.
        RunEventsFor(300);
        Print(mode, "group_hwm_kib", static_cast<double>(StatusKib("VmHWM")));
        Print(mode, "group_rss_kib", static_cast<double>(StatusKib("VmRSS")));
    }
    std::fflush(stdout);
    return 0;
}
