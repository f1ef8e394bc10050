#include "error_box.h"

#include "app_name.h"

#include <QApplication>
#include <QMessageBox>

namespace rez {

QString ErrorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back() > u'.')
        return message + u'.';
    return message;
}

void RestoreBusyCursor() {
    while (QApplication::overrideCursor() != nullptr)
        QApplication::restoreOverrideCursor();
}

void ShowCriticalBox(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, AppName(), text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace rez
