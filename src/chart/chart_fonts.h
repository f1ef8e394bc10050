// The font files the charts and the manager's report are drawn with.
#pragma once

#include <QString>
#include <QStringList>

namespace rez {

// The family every chart and report text asks for first. Its advance widths are Arial's (a
// metric twin), and drawing from the same files on every system keeps the pictures equal
// byte for byte wherever they are made.
QString ChartFontFamily();

// Folders searched for the LiberationSans-*.ttf files, in order: `fonts` beside the program
// (what the Windows program ships), then the system's own folder (Debian's fonts-liberation2).
QStringList ChartFontFolders();

// Registers the four Liberation Sans files of the first folder that has them with Qt's font
// database. Called once at start-up, after the QGuiApplication is made and before anything
// is drawn; later calls do nothing. Returns how many files are registered: 0 when none was
// found (the texts then fall back to Arial or the system's sans-serif).
int RegisterChartFonts();

} // namespace rez
