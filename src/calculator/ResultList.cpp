#include "calculator/ResultList.h"

#include "calculator/StableRadixSort.h"
#include "framework/core/Strings.h"
#include "framework/core/Utf8.h"
#include "framework/core/Yield.h"

#include <algorithm>
#include <bit>
#include <numeric>

namespace calc {
namespace {

// The first eight bytes of a word after the case mapping, most significant
// first: ordering by it agrees with CompareText wherever two prefixes differ.
std::uint64_t OrderPrefix(std::string_view word) noexcept {
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        const unsigned char c = i < word.size() ? static_cast<unsigned char>(word[i]) : 0;
        prefix = (prefix << 8) | fw::FoldAsciiCase(c);
    }
    return prefix;
}

} // namespace

std::string_view ResultList::Word(int row) const noexcept {
    return ValidRow(row) ? words_.Text(rows_[static_cast<std::size_t>(row)].word)
                         : std::string_view();
}

std::int32_t ResultList::Score(int row) const noexcept {
    return ValidRow(row) ? rows_[static_cast<std::size_t>(row)].score : 0;
}

std::string ResultList::ScoreText(int row) const {
    return std::to_string(Score(row));
}

// Grows by half rather than doubling: a list of a million rows should not sit
// on room for another million.
void ResultList::ReserveFor(std::size_t extra) {
    const std::size_t needed = rows_.size() + extra;
    if (needed > rows_.capacity()) {
        rows_.reserve(std::max(needed, rows_.size() + rows_.size() / 2));
    }
}

void ResultList::AddRow(std::string_view word, std::int32_t score) {
    ReserveFor(1);
    rows_.push_back(Row{words_.Intern(word), score});
    ordered_ = rows_.size() == 1; // a lone row is in order
}

void ResultList::AddPlacementRows(std::string_view word, std::span<const std::int32_t> scores,
                                  bool prune) {
    if (scores.empty()) {
        if (prune) {
            CompressResults();
        }
        return;
    }
    const std::uint32_t id = words_.Intern(word);
    if (prune && ordered_) {
        if (std::is_sorted(scores.begin(), scores.end())) {
            MergeWord(id, scores);
        } else {
            scoreBuffer_.assign(scores.begin(), scores.end());
            std::sort(scoreBuffer_.begin(), scoreBuffer_.end());
            MergeWord(id, scoreBuffer_);
        }
        return;
    }
    ReserveFor(scores.size());
    for (const std::int32_t score : scores) {
        fw::BackgroundYield();
        rows_.push_back(Row{id, score});
    }
    ordered_ = false;
    if (prune) {
        CompressAll();
    }
}

// The list is ordered with each pair once, so the word's rows form one run
// (the rows of every word equal to it but for case) ordered by score. Merging
// the new scores into that run gives what a full sort and prune would: for a
// score already present, the new row is the later one and its text stays.
void ResultList::MergeWord(std::uint32_t word, std::span<const std::int32_t> sortedScores) {
    const std::string_view text = words_.Text(word);
    const auto first = std::partition_point(rows_.begin(), rows_.end(), [&](const Row& row) {
        return fw::CompareText(words_.Text(row.word), text) < 0;
    });
    const auto last = std::partition_point(first, rows_.end(), [&](const Row& row) {
        return fw::CompareText(words_.Text(row.word), text) == 0;
    });

    mergeBuffer_.clear();
    auto old = first;
    std::size_t j = 0;
    while (old != last || j < sortedScores.size()) {
        fw::BackgroundYield();
        if (j == sortedScores.size() || (old != last && old->score < sortedScores[j])) {
            mergeBuffer_.push_back(*old++);
            continue;
        }
        const std::int32_t score = sortedScores[j];
        if (old != last && old->score == score) {
            ++old;
        }
        mergeBuffer_.push_back(Row{word, score});
        while (j < sortedScores.size() && sortedScores[j] == score) {
            ++j;
        }
    }

    const auto offset = first - rows_.begin();
    const auto end = last - rows_.begin();
    const auto added = mergeBuffer_.size() - static_cast<std::size_t>(last - first);
    ReserveFor(added);
    rows_.insert(rows_.begin() + end, added, Row{});
    std::copy(mergeBuffer_.begin(), mergeBuffer_.end(), rows_.begin() + offset);
}

void ResultList::CompressResults() {
    if (!ordered_) {
        CompressAll();
    }
}

// Sorting by score and then stably by word orders the rows by (word, score)
// with equal rows in list order; the walk then drops every row that equals the
// next one, so the last of each run stays.
void ResultList::CompressAll() {
    if (rows_.empty()) {
        ordered_ = true;
        return;
    }
    UpdateRanks();
    const auto [low, high] = std::minmax_element(
        rows_.begin(), rows_.end(), [](const Row& a, const Row& b) { return a.score < b.score; });
    const std::int64_t minimum = low->score;
    const auto span = static_cast<std::uint64_t>(std::int64_t{high->score} - minimum) + 1;
    const std::uint64_t maxRank = *std::max_element(ranks_.begin(), ranks_.end());
    const auto keyOf = [&](const Row& row) {
        return std::uint64_t{ranks_[row.word]} * span +
               static_cast<std::uint64_t>(std::int64_t{row.score} - minimum);
    };
    StableRadixSort(rows_, keyOf, static_cast<unsigned>(std::bit_width(maxRank * span + span - 1)));

    std::size_t kept = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        fw::BackgroundYield();
        const bool repeated = i + 1 < rows_.size() && rows_[i + 1].score == rows_[i].score &&
                              ranks_[rows_[i + 1].word] == ranks_[rows_[i].word];
        if (!repeated) {
            rows_[kept++] = rows_[i];
        }
    }
    rows_.resize(kept);
    ordered_ = true;
}

void ResultList::SortByColumn(int column, bool ascending) {
    if (rows_.size() < 2 || (column != 0 && column != 1)) {
        return;
    }
    if (column == 1) {
        const auto [low, high] =
            std::minmax_element(rows_.begin(), rows_.end(),
                                [](const Row& a, const Row& b) { return a.score < b.score; });
        const std::int64_t minimum = low->score;
        const std::int64_t maximum = high->score;
        StableRadixSort(
            rows_,
            [&](const Row& row) {
                return static_cast<std::uint64_t>(ascending ? std::int64_t{row.score} - minimum
                                                            : maximum - row.score);
            },
            static_cast<unsigned>(std::bit_width(static_cast<std::uint64_t>(maximum - minimum))));
        ordered_ = false;
        return;
    }
    if (ascending && ordered_) {
        return; // already by word, and equal words keep their order
    }
    UpdateRanks();
    const std::uint32_t maxRank = *std::max_element(ranks_.begin(), ranks_.end());
    StableRadixSort(
        rows_,
        [&](const Row& row) {
            return std::uint64_t{ascending ? ranks_[row.word] : maxRank - ranks_[row.word]};
        },
        static_cast<unsigned>(std::bit_width(maxRank)));
    ordered_ = false;
}

void ResultList::UpdateRanks() {
    const std::uint32_t count = words_.Size();
    if (ranks_.size() == count) {
        return;
    }
    std::vector<std::uint64_t> prefixes(count);
    for (std::uint32_t id = 0; id < count; ++id) {
        prefixes[id] = OrderPrefix(words_.Text(id));
    }
    std::vector<std::uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        if (prefixes[a] != prefixes[b]) {
            return prefixes[a] < prefixes[b];
        }
        return fw::CompareText(words_.Text(a), words_.Text(b)) < 0;
    });
    ranks_.resize(count);
    std::uint32_t rank = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (i > 0 && (prefixes[order[i]] != prefixes[order[i - 1]] ||
                      !fw::Equals(words_.Text(order[i]), words_.Text(order[i - 1])))) {
            ++rank;
        }
        ranks_[order[i]] = rank;
    }
}

void ResultList::Clear() {
    std::vector<Row>().swap(rows_);
    words_.Clear();
    std::vector<std::uint32_t>().swap(ranks_);
    std::vector<Row>().swap(mergeBuffer_);
    std::vector<std::int32_t>().swap(scoreBuffer_);
    ordered_ = true;
}

bool ResultList::CompareRows(int row1, int row2, int column, int& result) const noexcept {
    if (column != 1 || !ValidRow(row1) || !ValidRow(row2)) {
        return false;
    }
    const std::int32_t a = Score(row1);
    const std::int32_t b = Score(row2);
    result = a > b ? 1 : (a < b ? -1 : 0);
    return true;
}

std::size_t ResultList::MemoryBytes() const noexcept {
    return sizeof(*this) + rows_.capacity() * sizeof(Row) + words_.MemoryBytes() +
           ranks_.capacity() * sizeof(std::uint32_t) + mergeBuffer_.capacity() * sizeof(Row) +
           scoreBuffer_.capacity() * sizeof(std::int32_t);
}

} // namespace calc
