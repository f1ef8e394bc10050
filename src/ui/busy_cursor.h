// The application-wide busy cursor for the length of a scope. Restored on every way out,
// before an error box opens (the command's failure unwinds through the guard first).
#pragma once

#include <QApplication>

namespace rez {

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() {
        if (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace rez
