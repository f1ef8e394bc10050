// The analysis text: an editable memo to which every completed Group run appends its
// analysis, scrolled so that the new analysis's title is the first visible line. The user
// may edit the text; Save > Analysis writes it as it then stands.
#pragma once

#include <QPlainTextEdit>

namespace rez {

class ResultsModel;

class AnalysisMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    // `model` outlives the memo (both belong to the main window).
    explicit AnalysisMemo(const ResultsModel& model, QWidget* parent = nullptr);

    // The text as the user sees it, line ends as '\n' (and U+2028 where typed as such).
    QString text() const;

private:
    // Appends the model's analysis below whatever the memo holds, starting on a line of its
    // own, and scrolls to its title.
    void appendAnalysis();

    const ResultsModel& model_;
};

} // namespace rez
