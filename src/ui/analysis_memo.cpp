#include "analysis_memo.h"

#include "result_texts.h"
#include "results_model.h"
#include "widget_fonts.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace rez {

AnalysisMemo::AnalysisMemo(const ResultsModel& model, QWidget* parent)
    : QPlainTextEdit(parent)
    , model_(model) {
    setFont(PixelFont(QStringLiteral("Times New Roman"), 16));
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    setPalette(colours);
    // Long lines wrap on screen; the text itself keeps them whole.
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(&model, &ResultsModel::resultsReplaced, this, &AnalysisMemo::appendAnalysis);
}

QString AnalysisMemo::text() const {
    return document()->toRawText();
}

void AnalysisMemo::appendAnalysis() {
    QString analysis;
    for (const std::string& line : BuildAnalysisLines(model_.results(), model_.decimalSeparator()))
        analysis += QString::fromStdString(line) + u'\n';

    QTextDocument* document = this->document();
    setUpdatesEnabled(false);
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    // The title starts on the line after the memo's last line: when the user removed the
    // final line end, it is put back first.
    if (!document->lastBlock().text().isEmpty())
        cursor.insertText(QStringLiteral("\n"));
    const int titleBlock = cursor.blockNumber();
    cursor.insertText(analysis);
    cursor.endEditBlock();
    setUpdatesEnabled(true);

    // The scroll bar counts lines as shown (wrapped lines too): the title's first line goes
    // to the top.
    verticalScrollBar()->setValue(document->findBlockByNumber(titleBlock).firstLineNumber());
}

} // namespace rez
