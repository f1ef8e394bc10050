#include "results_model.h"

namespace rez {

ResultsModel::ResultsModel(char decimalSeparator, QObject* parent)
    : QObject(parent)
    , decimalSeparator_(decimalSeparator) {}

void ResultsModel::setResults(GroupResults results, std::string folder) {
    results_ = std::move(results);
    folder_ = std::move(folder);
    hasResults_ = true;
    view_ = FirstView;
    Q_EMIT resultsReplaced();
}

void ResultsModel::setView(View view) {
    if (view == view_)
        return;
    view_ = view;
    Q_EMIT viewChanged();
}

} // namespace rez
