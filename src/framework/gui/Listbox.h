#pragma once

#include "framework/gui/Control.h"
#include "framework/gui/ListboxModel.h"

#include <QTableView>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fw {

class ListboxItemModel;

// A list of rows with columns and a heading. The rows live in a
// ListboxModel (by default a table of strings). Sorting asks the
// CompareRows handler first: True lets its result (1, 0, -1) decide, False
// leaves the text order (CompareText). Sorting is stable and safe with a
// handler that contradicts itself. A click on a heading sorts by it.
// A flat table view: it keeps a few bytes per row, where a tree view keeps
// an item per row and lays every row out again on each change.
class Listbox : public QTableView, public Control {
public:
    using CompareRowsHandler = std::function<bool(int row1, int row2, int column, int& result)>;

    explicit Listbox(QWidget* parent);
    ~Listbox() override;

    // Plugs in a model of the caller's (not owned; nullptr restores the
    // list's own table of strings). AddRow, SetCell, RemoveRow and a sort by
    // reordering change nothing in a model that is not editable.
    void SetModel(ListboxModel* model);
    ListboxModel& Model() const;
    // The heading row.
    QHeaderView* header() const { return horizontalHeader(); }
    // Tells the list that the model's rows changed behind its back; the
    // selection goes.
    void RowsChanged();
    // Runs `append`, which adds `count` rows at the end of the model, and
    // shows them; the selection and the scroll position stay.
    void AppendRows(int count, const std::function<void()>& append);

    int RowCount() const;
    int ColumnCount() const;
    void SetColumnCount(int columns); // the list's own table only
    void AddRow(const std::string& column0);
    int LastIndex() const { return lastIndex_; }
    std::string Cell(int row, int column) const;
    void SetCell(int row, int column, const std::string& text);
    void RemoveRow(int row);
    void DeleteAllRows();
    int ListIndex() const; // the selected row, -1 when none

    void SetHeadings(const std::vector<std::string>& headings);
    std::string Heading(int column) const;
    // "80%,20%", pixel counts, or "*" for a share of what is left; empty
    // gives every column the same width.
    void SetColumnWidths(const std::string& widths);

    // The heading's sort indicator tells the order the rows are in: Sort
    // shows it over the sorted column, and a change that may break that order
    // (rows added, a cell of that column set to another text, rows changed
    // behind the list's back) takes it away.
    int SortedColumn() const { return sortedColumn_; }
    void SetSortedColumn(int column);
    void Sort();
    // Tells the list that the model put its rows in ascending order of the
    // column by itself.
    void RowsSortedBy(int column);
    void OnCompareRows(CompareRowsHandler handler) { compareRows_ = std::move(handler); }
    // The comparison the sort uses for two rows in a column.
    int CompareRows(int row1, int row2, int column) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void OrderLost();
    void ShowSortIndicator();
    void ApplyColumnWidths();
    void ApplyRowHeight();

    std::unique_ptr<TextListboxModel> ownModel_;
    ListboxModel* model_;
    EditableListboxModel* editable_; // model_'s editing calls; null when it has none
    std::unique_ptr<ListboxItemModel> itemModel_;
    std::vector<std::string> headings_;
    std::string columnWidths_;
    CompareRowsHandler compareRows_;
    int sortedColumn_ = -1;
    int lastIndex_ = -1;
};

} // namespace fw
