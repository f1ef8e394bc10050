#include "plain_tooltip.h"

using namespace Qt::StringLiterals;

namespace rez {

QString PlainToolTip(const QString& text) {
    QString lines = text;
    lines.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    return u"<p style='white-space:pre'>"_s + lines.toHtmlEscaped() + u"</p>"_s;
}

} // namespace rez
