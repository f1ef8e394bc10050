// Fonts of the window's controls. Sizes are character heights in pixels.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

namespace rez {

// `family` at `pixelSize`, regular or bold. On Linux the metric twins of Arial, Times New
// Roman and Courier New (Liberation) stand in through fontconfig.
QFont PixelFont(const QString& family, int pixelSize, bool bold = false);

// The platform's default sans-serif at `pixelSize`: the stand-in for "MS Sans Serif", which
// has no metric twin.
QFont DefaultSansFont(int pixelSize, bool bold = false);

// Named colours of the window's texts.
inline constexpr QColor Maroon{128, 0, 0};

} // namespace rez
