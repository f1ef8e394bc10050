// A push button that carries an integer tag; the view buttons' tag is the view they select.
#pragma once

#include <QPushButton>

namespace rez {

class TagButton : public QPushButton {
    Q_OBJECT
public:
    TagButton(const QString& caption, int tag, QWidget* parent)
        : QPushButton(caption, parent)
        , tag_(tag) {}

    int tag() const { return tag_; }

private:
    int tag_;
};

} // namespace rez
