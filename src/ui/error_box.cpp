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

namespace {

void ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, AppName(), text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

void ShowCriticalBox(QWidget* parent, const QString& text) {
    ShowBox(parent, QMessageBox::Critical, text);
}

void ShowWarningBox(QWidget* parent, const QString& text) {
    ShowBox(parent, QMessageBox::Warning, text);
}

} // namespace rez
