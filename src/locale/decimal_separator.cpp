#include "decimal_separator.h"

#include <QLocale>

namespace rez {

char SystemDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    if (point.isEmpty() || point.at(0).unicode() > 0x7F || point.at(0).isDigit())
        return '.';
    return static_cast<char>(point.at(0).unicode());
}

} // namespace rez
