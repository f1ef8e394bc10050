#include "view_buttons.h"

#include "widget_fonts.h"

namespace rez {

ViewButton::ViewButton(const ViewButtonEntry& entry, QWidget* parent)
    : QPushButton(QString::fromUtf16(entry.caption), parent)
    , view_(entry.view)
    , rowButton_(entry.rowButton) {
    setObjectName(QString::fromUtf16(entry.objectName));
    setFont(DefaultSansFont(13, true));
    // Maroon row buttons while enabled; a disabled button keeps the style's grey text, so
    // that a view without respondents looks unavailable.
    QPalette colours = palette();
    const QColor text = rowButton_ ? Maroon : colours.color(QPalette::WindowText);
    colours.setColor(QPalette::Active, QPalette::ButtonText, text);
    colours.setColor(QPalette::Inactive, QPalette::ButtonText, text);
    setPalette(colours);
}

} // namespace rez
