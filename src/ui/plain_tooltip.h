// Tooltips that show texts from files exactly as they stand: Qt would take a "<" in a
// respondent's line for markup, so the text is escaped and wrapped as preformatted rich text.
#pragma once

#include <QString>

namespace rez {

// `text` with CR LF, CR or LF line breaks, as a tooltip that shows it literally.
QString PlainToolTip(const QString& text);

} // namespace rez
