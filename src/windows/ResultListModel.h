#pragma once

#include "calculator/ResultList.h"
#include "framework/gui/ListboxModel.h"

#include <string>

// Shows a calculator's result list in its list box: column 0 the word,
// column 1 the score. The rows stay in the list's compact form; the text of a
// cell is made only when the list box asks for it, that is for the rows on
// screen. The window fills the rows through the result list itself, so the
// list box only shows, sorts and clears them; a click on a heading sorts
// through the result list.
class ResultListModel final : public fw::ListboxModel {
public:
    explicit ResultListModel(calc::ResultList& rows) : rows_(rows) {}

    int RowCount() const override { return rows_.RowCount(); }
    int ColumnCount() const override { return 2; }
    std::string CellText(int row, int column) const override;
    bool SortRows(int column, const fw::RowCompare& compare) override;
    void DeleteAllRows() override { rows_.Clear(); }

private:
    calc::ResultList& rows_;
};
