// The nine view buttons at the left of the results table, one beside each data row: a row
// button (maroon caption) and the difference button below it select the same view.
#pragma once

#include "chart_views.h"

#include <QPushButton>

#include <array>

namespace rez {

struct ViewButtonEntry {
    const char16_t* objectName;
    const char16_t* caption;
    View view;
    bool rowButton; // maroon caption; difference buttons use the window text colour
};

// Top to bottom. A button is enabled when the result row of its view has respondents; a row
// button of a respondent role shows that role's respondent list as its tooltip.
inline constexpr std::array<ViewButtonEntry, 9> ViewButtonTable = {{
    {u"btSelf", u"Самооценка", View::SelfOnly, true},
    {u"btMang", u"Руководители", View::Managers, true},
    {u"btSelf_Mang", u"[Сам.-Рук.]", View::Managers, false},
    {u"btSubr", u"Подчиненные", View::Subordinates, true},
    {u"btSelf_Subr", u"[Сам.-Под.]", View::Subordinates, false},
    {u"btColl", u"Коллеги", View::Colleagues, true},
    {u"btSelf_Coll", u"[Сам.-Кол.]", View::Colleagues, false},
    {u"btMean", u"Mean (Р+П+К)", View::Mean, true},
    {u"btSelf_Mean", u"[Сам.-Mean]", View::Mean, false},
}};

// A push button that selects a view of the charts.
class ViewButton : public QPushButton {
    Q_OBJECT
public:
    ViewButton(const ViewButtonEntry& entry, QWidget* parent);

    View view() const { return view_; }
    // The result row whose respondents make the view available.
    ResultRow row() const { return ComparedRow(view_); }
    // Whether the tooltip shows the respondent list of the button's role.
    bool showsRespondentList() const { return rowButton_ && row() < RoleCount; }

private:
    View view_;
    bool rowButton_;
};

} // namespace rez
