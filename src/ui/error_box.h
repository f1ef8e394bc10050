// The error box that every command shows when it fails.
#pragma once

#include <QString>

class QWidget;

namespace rez {

// The box's text: `message` with a full stop appended when its last character sorts after
// the full stop ("Cannot open file x" gets one; "... ." and "... )" do not).
QString ErrorBoxText(const QString& message);

// Pops every busy cursor the application has set, so the box opens with the normal cursor.
void RestoreBusyCursor();

// The application's critical message box: titled with the application name, `text` shown as
// plain text (it may hold paths and respondent lines), one OK button. Modal; returns when the
// user closes it.
void ShowCriticalBox(QWidget* parent, const QString& text);

// The same with the warning icon: for a completed command whose result the user should
// check (files of different managers in one group folder).
void ShowWarningBox(QWidget* parent, const QString& text);

} // namespace rez
