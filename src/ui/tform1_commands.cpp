// The Group command and the three Save commands of the main window. The work itself lives
// in the analysis and export libraries; these handlers take the user's choices, call it and
// put its results on the screen.

#include "busy_cursor.h"
#include "export_files.h"
#include "group_run.h"
#include "plain_tooltip.h"
#include "profile_chart.h"
#include "result_texts.h"
#include "results_grid.h"
#include "tag_button.h"
#include "tform1.h"

#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace rez {
namespace {

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

} // namespace

void TForm1::RunGroupCommand(const QString& chosenFile) {
    GroupResults fresh;
    {
        BusyCursor busy;
        // All or nothing: a failing file throws out of here and leaves the screen and the
        // results of the last completed run as they were.
        fresh =
            RunGroup(DirectoryOfChosenFile(chosenFile.toStdString()), DecimalSeparator, meBuffer);
        Results = std::move(fresh);
        ApplyRespondentLists();
        ApplyViewAvailability();
        FillResultsTable();
        ShowView(rowMean);
        AppendAnalysisText();
        paTest->show();
        mmSave->setEnabled(true);
    }
}

void TForm1::ApplyRespondentLists() {
    const std::array<QWidget*, 4> buttons = {btSelf, btMang, btSubr, btColl};
    const std::array<QWidget*, 4> captions = {stSelf, stMang, stSubr, stColl};
    for (std::size_t role = 0; role < buttons.size(); ++role) {
        buttons[role]->setToolTip(PlainToolTip(Text(Results.ButtonLists[role])));
        captions[role]->setToolTip(PlainToolTip(Text(Results.CaptionLists[role])));
    }
}

void TForm1::ApplyViewAvailability() {
    // A row's buttons: the row button and the difference button below it (btSelf alone for
    // the self-assessment).
    const std::array<std::pair<TagButton*, int>, 9> rows = {{{btSelf, rowSelf},
                                                             {btMang, rowMang},
                                                             {btSelf_Mang, rowMang},
                                                             {btSubr, rowSubr},
                                                             {btSelf_Subr, rowSubr},
                                                             {btColl, rowColl},
                                                             {btSelf_Coll, rowColl},
                                                             {btMean, rowMean},
                                                             {btSelf_Mean, rowMean}}};
    for (const auto& [button, row] : rows)
        button->setEnabled(Results.HasRespondents(row));
}

void TForm1::FillResultsTable() {
    const TableCells cells = BuildTableCells(Results, DecimalSeparator);
    for (int row = 1; row < TableRowCount; ++row)
        for (int col = 0; col < ResultColumnCount; ++col)
            sgResF->setCell(
                col, row,
                Text(cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)]));
}

void TForm1::sgResFDrawCell(QPainter& painter, int col, int row, const QRect& rect) {
    if (!IsDifferenceRow(row))
        return;
    // The sign shows as colour: red where the manager rated himself higher, blue otherwise.
    painter.fillRect(rect, painter.background());
    const double d = Results.SelfDifferences[static_cast<std::size_t>(ResultRowOfTableRow(row) - 1)]
                                            [static_cast<std::size_t>(col)];
    QFont bold = painter.font();
    bold.setBold(true);
    bold.setItalic(false);
    bold.setUnderline(false);
    bold.setStrikeOut(false);
    painter.setFont(bold);
    painter.setPen(d > 0 ? QColor(Qt::red) : QColor(Qt::blue));
    const QRect textRect(rect.x() + rect.width() - DifferenceTextOffset, rect.y() + 2,
                         DifferenceTextOffset + 8, rect.height() - 2);
    painter.save();
    painter.setClipRect(rect);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                     sgResF->cell(col, row));
    painter.restore();
}

void TForm1::AppendAnalysisText() {
    QString text;
    for (const std::string& line : BuildAnalysisLines(Results, DecimalSeparator))
        text += Text(line) + u'\n';

    meInfo->setUpdatesEnabled(false);
    QTextDocument* document = meInfo->document();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    // The title starts on the line after the memo's last line: when the user removed the
    // final line end, it is put back first.
    if (!document->lastBlock().text().isEmpty())
        cursor.insertText(u"\n"_s);
    cursor.insertText(text);
    cursor.endEditBlock();
    meInfo->setUpdatesEnabled(true);
}

void TForm1::BuildTableText() {
    TableCells cells;
    for (int row = 0; row < TableRowCount; ++row)
        for (int col = 0; col < ResultColumnCount; ++col)
            cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] =
                sgResF->cell(col, row).toStdString();
    meBuffer = BuildTableLines(Results, cells, DecimalSeparator);
}

QString TForm1::ProposedName(QStringView suffix) const {
    return ProposedResultPath(ExeDir, Text(Results.GroupName), suffix);
}

void TForm1::mmSaveTableClick() {
    RunCommand([this] {
        BuildTableText();
        const QString path = dialogs().getSaveFileName(u"Запись таблицы данных REZ в rtf.файл"_s,
                                                       ProposedName(u" Table.rtf"));
        if (!path.isEmpty())
            SaveTableFile(path, meBuffer);
    });
}

void TForm1::mmSaveAnalysisClick() {
    RunCommand([this] {
        const QString path = dialogs().getSaveFileName(
            u"Запись результатов оценки REZ в rtf.файл"_s, ProposedName(u" An.rtf"));
        if (!path.isEmpty())
            SaveAnalysisFile(path, meInfo->document()->toRawText());
    });
}

void TForm1::btSaveClick() {
    RunCommand([this] {
        // A failure on the scale chart ends the command: the second dialog does not open.
        const QString scales = dialogs().getSaveFileName(u"Запись графика шкал в gif-файл"_s,
                                                         ProposedName(u" Scales.gif"));
        if (!scales.isEmpty())
            SaveChartGif(WithGifExtension(scales), ChartScale->picture());
        const QString factors = dialogs().getSaveFileName(
            u"Запись графика фаз и факторов в gif-файлы"_s, ProposedName(u" Factors.gif"));
        if (!factors.isEmpty())
            SaveChartGif(WithGifExtension(factors), ChartFactor->picture());
    });
}

} // namespace rez
