#include "app_name.h"
#include "error_box.h"

#include "param_name.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

struct TextCase {
    const char* name;
    const char16_t* message;
    const char16_t* shown;
};
REZ_PRINT_CASE_BY_NAME(TextCase)

class ErrorBoxTextRule : public testing::TestWithParam<TextCase> {};

TEST_P(ErrorBoxTextRule, AppendsFullStopOnlyAfterCharactersSortingAfterIt) {
    const TextCase& c = GetParam();
    EXPECT_EQ(rez::ErrorBoxText(QString::fromUtf16(c.message)), QString::fromUtf16(c.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ErrorBoxTextRule,
    testing::Values(TextCase{"EndsWithLetter", u"Cannot open file C:/x/0REZ.cry",
                             u"Cannot open file C:/x/0REZ.cry."},
                    TextCase{"EndsWithQuote", u"'abc' is not a valid integer value",
                             u"'abc' is not a valid integer value."},
                    TextCase{"EndsWithFullStop", u"Done.", u"Done."},
                    TextCase{"EndsWithSlash", u"Cannot create file /tmp/",
                             u"Cannot create file /tmp/."},
                    TextCase{"EndsWithCyrillic", u"Нет файла", u"Нет файла."},
                    TextCase{"EndsWithComma", u"a,", u"a,"},
                    TextCase{"EndsWithHyphen", u"a-", u"a-"},
                    TextCase{"EndsWithParenthesis", u"(a)", u"(a)"},
                    TextCase{"EndsWithApostrophe", u"file 'x'", u"file 'x'"},
                    TextCase{"EndsWithBlank", u"a ", u"a "}, TextCase{"Empty", u"", u""}),
    rez::test::ByName());

// What the open message box looked like, read from inside its modal loop.
struct SeenBox {
    bool found = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
};

TEST(ShowCriticalBox, IsCriticalTitledWithAppNameAndPlain) {
    SeenBox seen;
    QTimer poll;
    int ticks = 0;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        ++ticks;
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != nullptr) {
            seen = {true, box->windowTitle(), box->text(), box->icon(), box->textFormat()};
            box->done(QMessageBox::Ok);
        } else if (ticks > 500) {
            // Never let a box that was not found block the run.
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* other = qobject_cast<QMessageBox*>(w))
                    other->done(QMessageBox::Ok);
        }
    });
    poll.start(10);
    rez::ShowCriticalBox(nullptr, QStringLiteral("Cannot open file <b>x</b>."));
    poll.stop();

    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.title, rez::AppName());
    EXPECT_EQ(seen.title, QStringLiteral("KVIRO.DERov"));
    EXPECT_EQ(seen.text, QStringLiteral("Cannot open file <b>x</b>."));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.format, Qt::PlainText);
}

} // namespace
