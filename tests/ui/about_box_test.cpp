#include "about_box.h"

#include "param_name.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using rez::TAboutBox;

template <typename T = QWidget> T* Child(const QWidget& box, const char* name) {
    return box.findChild<T*>(QString::fromLatin1(name));
}

struct ControlCase {
    const char* name;
    const char* parent; // the framed panel's children are placed relative to it
    QRect geometry;     // width -1: sized to its text
    const char16_t* text;
};
REZ_PRINT_CASE_BY_NAME(ControlCase)

class AboutBoxControl : public testing::TestWithParam<ControlCase> {};

TEST_P(AboutBoxControl, StandsAtItsPositionWithItsText) {
    const ControlCase& c = GetParam();
    TAboutBox box;
    QWidget* control = Child(box, c.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->parentWidget()->objectName(), QString::fromLatin1(c.parent));
    EXPECT_EQ(control->pos(), c.geometry.topLeft());
    if (c.geometry.width() >= 0) {
        EXPECT_EQ(control->size(), c.geometry.size());
    }
    if (c.text == nullptr)
        return;
    const QString text = QString::fromUtf16(c.text);
    if (auto* label = qobject_cast<QLabel*>(control)) {
        EXPECT_EQ(label->text(), text);
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
        EXPECT_LE(label->fontMetrics().horizontalAdvance(text), label->width()) << "text fits";
    } else if (auto* button = qobject_cast<QPushButton*>(control)) {
        EXPECT_EQ(button->text(), text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Contents, AboutBoxControl,
    testing::Values(
        ControlCase{"OKButton", "AboutBox", QRect(111, 196, 75, 25), u"OK"},
        ControlCase{"Panel2", "AboutBox", QRect(8, 8, 281, 185), nullptr},
        ControlCase{"AppIcon", "Panel2", QRect(12, 8, 32, 32), nullptr},
        ControlCase{"WebLabel", "Panel2", QRect(72, 10, 185, 15), u"KVIRO.REZ - Analysis"},
        ControlCase{"Label1", "Panel2", QRect(13, 76, -1, -1), u" Version 2.01"},
        ControlCase{"Bevel1", "Panel2", QRect(5, 120, 271, 2), nullptr},
        ControlCase{"Label4", "Panel2", QRect(16, 128, 250, 13), u"Contact points are: "},
        ControlCase{"Label5", "Panel2", QRect(16, 147, 250, 13), u"WWW: www.kviro.example"},
        ControlCase{"Label6", "Panel2", QRect(8, 164, 250, 13), u"E-Mail: rez@kviro.example"}),
    rez::test::ByName());

TEST(AboutBox, IsAFixedNonModalBoxCreatedHidden) {
    TAboutBox box;
    EXPECT_EQ(box.objectName(), QStringLiteral("AboutBox"));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(box.minimumSize(), QSize(298, 225));
    EXPECT_EQ(box.maximumSize(), QSize(298, 225));
    EXPECT_FALSE(box.isVisible());
    EXPECT_FALSE(box.isModal());
    EXPECT_FALSE(box.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(Child<QPushButton>(box, "OKButton")->isDefault());
    const QPixmap picture = Child<QLabel>(box, "AppIcon")->pixmap();
    EXPECT_EQ(picture.size(), QSize(32, 32));
}

TEST(AboutBox, QuestionnaireLinesAreExactCentredAndUncut) {
    TAboutBox box;
    auto* label = Child<QLabel>(box, "Label3");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("Оценка навыков и умений,\n"
                                            "необходимых менеджерам.\n"
                                            "Опросник \"Цикл управленческих \n"
                                            "умений\" Дорвела"));
    EXPECT_EQ(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(label->y(), 22);
    // 171 pixels wide at left 77; a wider platform font widens it about the same centre.
    EXPECT_GE(label->width(), 171);
    EXPECT_LE(std::abs(2 * label->x() + label->width() - (2 * 77 + 171)), 1);
    // A line's trailing blank takes no room in a centred line.
    for (const QString& line : label->text().split(u'\n'))
        EXPECT_LE(label->fontMetrics().horizontalAdvance(line.trimmed()), label->width())
            << line.toStdString();
}

TEST(AboutBox, WebLabelIsBoldCentredAndWraps) {
    TAboutBox box;
    auto* label = Child<QLabel>(box, "WebLabel");
    EXPECT_TRUE(label->font().bold());
    EXPECT_EQ(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_TRUE(label->wordWrap());
}

TEST(AboutBox, OpensCentredOnTheScreen) {
    TAboutBox box;
    box.show();
    const QPoint screenCentre = box.screen()->availableGeometry().center();
    // Within the window frame's few pixels, which are known only once the box is shown.
    EXPECT_LE((box.frameGeometry().center() - screenCentre).manhattanLength(), 6)
        << box.frameGeometry().x() << "," << box.frameGeometry().y();
}

enum class Route { OkClick, ReturnKey, EnterKey, CloseButton, EscapeOnBox, EscapeOnOk };

struct CloseCase {
    const char* name;
    Route route;
    bool staysVisible;
};
REZ_PRINT_CASE_BY_NAME(CloseCase)

class AboutBoxClosing : public testing::TestWithParam<CloseCase> {};

TEST_P(AboutBoxClosing, HidesByOkEnterAndCloseButtonButNotByEscape) {
    const CloseCase& c = GetParam();
    TAboutBox box;
    box.show();
    auto* ok = Child<QPushButton>(box, "OKButton");
    switch (c.route) {
    case Route::OkClick:
        QTest::mouseClick(ok, Qt::LeftButton);
        break;
    case Route::ReturnKey:
        QTest::keyClick(&box, Qt::Key_Return);
        break;
    case Route::EnterKey:
        QTest::keyClick(&box, Qt::Key_Enter, Qt::KeypadModifier);
        break;
    case Route::CloseButton:
        box.close();
        break;
    case Route::EscapeOnBox:
        QTest::keyClick(&box, Qt::Key_Escape);
        break;
    case Route::EscapeOnOk:
        QTest::keyClick(ok, Qt::Key_Escape);
        break;
    }
    EXPECT_EQ(box.isVisible(), c.staysVisible);
    // Hidden, not destroyed: it shows again with the same contents.
    box.show();
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(Child<QLabel>(box, "Label1")->text(), QStringLiteral(" Version 2.01"));
}

INSTANTIATE_TEST_SUITE_P(Routes, AboutBoxClosing,
                         testing::Values(CloseCase{"OkClick", Route::OkClick, false},
                                         CloseCase{"ReturnKey", Route::ReturnKey, false},
                                         CloseCase{"EnterKey", Route::EnterKey, false},
                                         CloseCase{"CloseButton", Route::CloseButton, false},
                                         CloseCase{"EscapeOnBox", Route::EscapeOnBox, true},
                                         CloseCase{"EscapeOnOk", Route::EscapeOnOk, true}),
                         rez::test::ByName());

} // namespace
