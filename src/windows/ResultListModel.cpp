#include "windows/ResultListModel.h"

std::string ResultListModel::CellText(int row, int column) const {
    if (row < 0 || row >= RowCount()) {
        return {};
    }
    if (column == 0) {
        return std::string(rows_.Word(row));
    }
    return column == 1 ? rows_.ScoreText(row) : std::string();
}

bool ResultListModel::SortRows(int column, const fw::RowCompare& /*compare*/) {
    // The list's own order is the comparison's: the score as a number, the
    // word in the text order, both stable.
    if (column != 0 && column != 1) {
        return false;
    }
    rows_.SortByColumn(column);
    return true;
}
