#include "windows/ResultListModel.h"

#include <charconv>
#include <cstdint>
#include <string_view>

namespace {

// The rows of `from` in the order that `order` gives (each index once),
// with one cell replaced where `row` is not -1.
calc::ResultList Rebuilt(const calc::ResultList& from, const std::vector<int>& order, int row = -1,
                         int column = -1, std::string_view text = {}) {
    calc::ResultList rows;
    for (const int source : order) {
        std::string_view word = from.Word(source);
        std::int32_t score = from.Score(source);
        if (source == row && column == 0) {
            word = text;
        } else if (source == row && column == 1) {
            score = 0;
            std::from_chars(text.data(), text.data() + text.size(), score);
        }
        rows.AddRow(word, score);
    }
    return rows;
}

std::vector<int> AllRows(int count) {
    std::vector<int> order(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        order[static_cast<std::size_t>(i)] = i;
    }
    return order;
}

} // namespace

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

void ResultListModel::SetCellText(int row, int column, const std::string& text) {
    if (row < 0 || row >= RowCount() || column < 0 || column > 1) {
        return;
    }
    rows_ = Rebuilt(rows_, AllRows(RowCount()), row, column, text);
}

void ResultListModel::AddRow(const std::string& column0) {
    rows_.AddRow(column0, 0);
}

void ResultListModel::RemoveRow(int row) {
    if (row < 0 || row >= RowCount()) {
        return;
    }
    std::vector<int> order = AllRows(RowCount());
    order.erase(order.begin() + row);
    rows_ = Rebuilt(rows_, order);
}

void ResultListModel::ReorderRows(const std::vector<int>& order) {
    if (order.size() != static_cast<std::size_t>(RowCount())) {
        return;
    }
    std::vector<char> seen(order.size(), 0);
    for (const int from : order) {
        if (from < 0 || from >= RowCount() || seen[static_cast<std::size_t>(from)] != 0) {
            return;
        }
        seen[static_cast<std::size_t>(from)] = 1;
    }
    rows_ = Rebuilt(rows_, order);
}
