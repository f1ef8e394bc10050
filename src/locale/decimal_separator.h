// The decimal separator of the user's regional settings, for every number the program shows,
// reads or writes.
#pragma once

namespace rez {

// The first character of the system locale's decimal point; '.' when that character is not
// ASCII (numbers are written in Windows-1251 files and compared byte by byte).
char SystemDecimalSeparator();

} // namespace rez
