#pragma once

#include "calculator/ResultList.h"
#include "framework/gui/ListboxModel.h"

#include <string>
#include <vector>

// Shows a calculator's result list in its list box: column 0 the word,
// column 1 the score. The rows stay in the list's compact form; the text of a
// cell is made only when the list box asks for it, that is for the rows on
// screen. A click on a heading sorts through the result list itself.
class ResultListModel final : public fw::ListboxModel {
public:
    explicit ResultListModel(calc::ResultList& rows) : rows_(rows) {}

    int RowCount() const override { return rows_.RowCount(); }
    int ColumnCount() const override { return 2; }
    std::string CellText(int row, int column) const override;
    bool SortRows(int column, const fw::RowCompare& compare) override;
    void DeleteAllRows() override { rows_.Clear(); }

    // The window lists its words through the result list itself; these keep
    // the list box's own editing calls correct, at the cost of a copy.
    void SetCellText(int row, int column, const std::string& text) override;
    void AddRow(const std::string& column0) override;
    void RemoveRow(int row) override;
    void ReorderRows(const std::vector<int>& order) override;

private:
    calc::ResultList& rows_;
};
