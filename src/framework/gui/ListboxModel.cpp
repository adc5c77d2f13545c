#include "framework/gui/ListboxModel.h"

#include <algorithm>

namespace fw {

void TextListboxModel::SetColumnCount(int columns) {
    columns_ = std::max(columns, 1);
    for (auto& row : rows_) {
        row.resize(static_cast<size_t>(columns_));
    }
}

std::string TextListboxModel::CellText(int row, int column) const {
    if (row < 0 || row >= RowCount() || column < 0 || column >= columns_) {
        return {};
    }
    return rows_[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

void TextListboxModel::SetCellText(int row, int column, const std::string& text) {
    if (row < 0 || row >= RowCount() || column < 0 || column >= columns_) {
        return;
    }
    rows_[static_cast<size_t>(row)][static_cast<size_t>(column)] = text;
}

void TextListboxModel::AddRow(const std::string& column0) {
    std::vector<std::string> row(static_cast<size_t>(columns_));
    row[0] = column0;
    rows_.push_back(std::move(row));
}

void TextListboxModel::RemoveRow(int row) {
    if (row < 0 || row >= RowCount()) {
        return;
    }
    rows_.erase(rows_.begin() + row);
}

void TextListboxModel::ReorderRows(const std::vector<int>& order) {
    if (order.size() != rows_.size()) {
        return;
    }
    // Only a true permutation is applied: anything else would lose rows.
    std::vector<char> seen(rows_.size(), 0);
    for (int from : order) {
        if (from < 0 || from >= RowCount() || seen[static_cast<size_t>(from)] != 0) {
            return;
        }
        seen[static_cast<size_t>(from)] = 1;
    }
    std::vector<std::vector<std::string>> sorted;
    sorted.reserve(rows_.size());
    for (int from : order) {
        sorted.push_back(std::move(rows_[static_cast<size_t>(from)]));
    }
    rows_ = std::move(sorted);
}

} // namespace fw
