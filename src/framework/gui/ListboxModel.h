#pragma once

#include "framework/gui/RowSort.h"

#include <algorithm>
#include <string>
#include <vector>

namespace fw {

class EditableListboxModel;

// The rows behind a Listbox, as the list reads them. A list with many rows
// may plug in a model that keeps them in a compact form of its own, fills
// them itself and makes cell text only when a cell is shown; the list then
// only shows, sorts and clears them. Rows and columns count from 0;
// out-of-range calls read "" and change nothing.
class ListboxModel {
public:
    virtual ~ListboxModel() = default;

    virtual int RowCount() const = 0;
    virtual int ColumnCount() const = 0;
    virtual std::string CellText(int row, int column) const = 0;
    virtual void DeleteAllRows() = 0;
    // A model may sort itself ascending by the column (compare is the
    // list's own comparison, which it may use or replace) and return true;
    // false lets an editable model be sorted through ReorderRows, and leaves
    // any other as it is.
    virtual bool SortRows(int /*column*/, const RowCompare& /*compare*/) { return false; }
    // The model's editing calls, when the list may edit its rows.
    virtual EditableListboxModel* Editable() { return nullptr; }
};

// Rows that the list's own editing calls (AddRow, SetCell, RemoveRow, a sort
// by reordering) change.
class EditableListboxModel : public ListboxModel {
public:
    virtual void SetCellText(int row, int column, const std::string& text) = 0;
    virtual void AddRow(const std::string& column0) = 0;
    virtual void RemoveRow(int row) = 0;
    // Puts the rows in the given order: order[i] is the row that goes to i.
    virtual void ReorderRows(const std::vector<int>& order) = 0;
    EditableListboxModel* Editable() final { return this; }
};

// The default model: a table of strings.
class TextListboxModel final : public EditableListboxModel {
public:
    explicit TextListboxModel(int columns = 1) : columns_(std::max(columns, 1)) {}

    void SetColumnCount(int columns);

    int RowCount() const override { return static_cast<int>(rows_.size()); }
    int ColumnCount() const override { return columns_; }
    std::string CellText(int row, int column) const override;
    void SetCellText(int row, int column, const std::string& text) override;
    void AddRow(const std::string& column0) override;
    void RemoveRow(int row) override;
    void DeleteAllRows() override { rows_.clear(); }
    void ReorderRows(const std::vector<int>& order) override;

private:
    std::vector<std::vector<std::string>> rows_;
    int columns_;
};

} // namespace fw
