#pragma once

#include "calculator/WordPool.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace calc {

// The rows of a calculator's result list: (word, score) pairs, column 0 the
// word and column 1 the score. Words are stored once and scores as integers;
// a cell's text is made only when it is shown.
//
// Pruning ("Only display unique scores") leaves the list ordered by word in
// the list's text order, then by ascending score, with each (word, score) pair
// once; where two rows hold words that are equal but for the case of a-z, the
// text of the later row stays. While the list is known to be in that order, a
// word's rows are merged in place in linear time instead of re-sorting the
// whole list.
class ResultList {
public:
    int RowCount() const noexcept { return static_cast<int>(rows_.size()); }

    // The cells of a row; out of range gives an empty word and 0. The view is
    // valid until the list next changes.
    std::string_view Word(int row) const noexcept;
    std::int32_t Score(int row) const noexcept;
    std::string ScoreText(int row) const;

    // A plain-mode row, appended as it comes.
    void AddRow(std::string_view word, std::int32_t score);

    // A word's placement scores (ascending, as PlacementScores gives them),
    // appended in their order, and with prune on the whole list pruned after.
    void AddPlacementRows(std::string_view word, std::span<const std::int32_t> scores, bool prune);

    // A stable sort by a column (0 word in the text order, 1 score as a whole
    // number): rows that compare equal keep their order. Other columns leave
    // the list as it is.
    void SortByColumn(int column, bool ascending = true);

    // Orders the list by word and score and keeps each (word, score) once.
    void CompressResults();

    // Deletes every row and gives the memory back.
    void Clear();

    // The list's own rule for ordering two rows by a column: for the score it
    // sets result to -1, 0 or 1 and returns true; for any other column it
    // returns false and the list falls back to the text order (CompareText).
    bool CompareRows(int row1, int row2, int column, int& result) const noexcept;

    // True while the list is ordered by (word, score) with each pair once:
    // after every pruning, until a plain-mode row, unpruned placement rows or
    // a sort by another order disturbs it.
    bool IsInWordScoreOrder() const noexcept { return ordered_; }

    // Bytes held by the list, counted by capacity, words included.
    std::size_t MemoryBytes() const noexcept;

private:
    struct Row {
        std::uint32_t word;
        std::int32_t score;
    };

    bool ValidRow(int row) const noexcept {
        return row >= 0 && static_cast<std::size_t>(row) < rows_.size();
    }
    void ReserveFor(std::size_t extra);
    void MergeWord(std::uint32_t word, std::span<const std::int32_t> sortedScores);
    void CompressAll();
    void UpdateRanks();

    std::vector<Row> rows_;
    WordPool words_;
    // Position of each word in the text order; words equal but for case share
    // one. Rebuilt only when a full sort needs it and words were added.
    std::vector<std::uint32_t> ranks_;
    std::vector<Row> mergeBuffer_;
    std::vector<std::int32_t> scoreBuffer_;
    bool ordered_ = true;
};

} // namespace calc
