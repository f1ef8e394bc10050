// Number text: the one formatter and the one parser for every number the program shows,
// writes or reads. The decimal separator is always passed in (regional setting in the
// program, the -d option on the command line), never taken from the C locale.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rez {

// `value` with one decimal, left-padded with blanks to `width` characters (a minimum: longer
// texts are kept whole). Halves round away from zero, judged on the value's decimal text with
// 15 significant digits, so 4.25 gives 4.3 and 0.15 gives 0.2; a value that rounds to zero
// has no minus sign.
std::string FormatFixed1(double value, int width, char decimalSeparator);

// "%3.1f": a table cell, a value in a result line of the analysis text.
inline std::string FormatCell(double value, char sep) {
    return FormatFixed1(value, 3, sep);
}

// ";%5.1f": a difference field of the table file.
inline std::string FormatDifferenceField(double value, char sep) {
    return ";" + FormatFixed1(value, 5, sep);
}

// Reads a scale total: optional blanks, optional sign, digits with an optional decimal
// separator (digits on one side suffice), an optional exponent (E or e, optional sign,
// digits), optional blanks. No hexadecimal, "inf" or "nan"; a value too large for a double
// fails too. Throws RezError "'<text>' is not a valid floating point value".
double ParseTotal(std::string_view text, char decimalSeparator);

// ParseTotal without the failure: nothing when `text` is not a total.
std::optional<double> TryParseTotal(std::string_view text, char decimalSeparator);

} // namespace rez
