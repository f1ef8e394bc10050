// The one object that holds what the window shows: the results of the last completed Group
// run, the view the charts show and the decimal separator of every number shown. The
// results table, the charts, the view buttons, the role captions and the analysis text
// read it and react to its signals; nothing else keeps result state.
#pragma once

#include "chart_views.h"
#include "group_results.h"

#include <QObject>

namespace rez {

class ResultsModel : public QObject {
    Q_OBJECT
public:
    explicit ResultsModel(char decimalSeparator, QObject* parent = nullptr);

    // Empty results until the first completed run.
    const GroupResults& results() const { return results_; }
    // The folder the results were read from, as messages name it (native separators).
    const std::string& folder() const { return folder_; }
    // Whether a Group run has completed, so that there is something to save.
    bool hasResults() const { return hasResults_; }
    View view() const { return view_; }
    char decimalSeparator() const { return decimalSeparator_; }

    // Takes the results of a completed run over `folder`, with the first view. Emits
    // resultsReplaced, even when the results equal the last ones: every run repaints
    // everything.
    void setResults(GroupResults results, std::string folder = {});
    // Emits viewChanged when the view changes.
    void setView(View view);

Q_SIGNALS:
    // New results, shown in FirstView. Receivers redraw everything they show.
    void resultsReplaced();
    // Another view of the same results.
    void viewChanged();

private:
    GroupResults results_;
    std::string folder_;
    bool hasResults_ = false;
    View view_ = FirstView;
    char decimalSeparator_;
};

} // namespace rez
