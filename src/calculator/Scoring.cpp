#include "calculator/Scoring.h"

#include "calculator/LetterValues.h"
#include "calculator/Utf8.h"
#include "framework/core/Yield.h"

#include <algorithm>
#include <array>

namespace calc {
namespace {

// Scores of one word span a narrow range, so a counting sort beats a
// comparison sort for the 420 placements of a short word.
constexpr std::size_t kCountingSortRange = 2048;

void SortAscending(std::vector<std::int32_t>& scores) {
    if (scores.size() < 64) {
        std::sort(scores.begin(), scores.end());
        return;
    }
    const auto [low, high] = std::minmax_element(scores.begin(), scores.end());
    const std::int32_t minimum = *low;
    const auto range = static_cast<std::size_t>(*high - minimum) + 1;
    if (range > kCountingSortRange) {
        std::sort(scores.begin(), scores.end());
        return;
    }
    std::array<std::uint32_t, kCountingSortRange> counts;
    std::fill_n(counts.begin(), range, 0u);
    for (const std::int32_t score : scores) {
        ++counts[static_cast<std::size_t>(score - minimum)];
    }
    auto out = scores.begin();
    for (std::size_t i = 0; i < range; ++i) {
        out = std::fill_n(out, counts[i], minimum + static_cast<std::int32_t>(i));
    }
}

} // namespace

void PlacementScores(std::string_view word, const BoardFactors& factors,
                     std::vector<std::int32_t>& scores) {
    scores.clear();
    std::array<std::int32_t, kMaxWordLength> values{};
    std::size_t length = 0;
    for (std::size_t pos = 0; pos < word.size(); ++length) {
        fw::BackgroundYield();
        if (length == kMaxWordLength) {
            return; // too long for the board
        }
        values[length] = LetterValue(NextCodePoint(word, pos));
    }
    if (length == 0) {
        return;
    }
    if (length == 1) {
        scores = {values[0], 2 * values[0], 3 * values[0]};
        return;
    }

    scores.resize(PlacementCount(length));
    std::size_t next = 0;
    const std::size_t starts = kBoardSize + 1 - length;
    for (const BoardFactors::Lines* lines : {&factors.across, &factors.down}) {
        for (const auto& line : *lines) {
            fw::BackgroundYield();
            for (std::size_t start = 0; start < starts; ++start) {
                fw::BackgroundYield();
                std::int32_t sum = 0;
                std::int32_t wordFactor = 1;
                for (std::size_t k = 0; k < length; ++k) {
                    const BoardFactors::Square& square = line[start + k];
                    sum += values[k] * square.letter;
                    wordFactor *= square.word;
                }
                scores[next++] = sum * wordFactor;
            }
        }
    }
    SortAscending(scores);
}

void PlacementScores(std::string_view word, const BoardGrid& board, bool centerSquareDouble,
                     std::vector<std::int32_t>& scores) {
    PlacementScores(word, MakeBoardFactors(board, centerSquareDouble), scores);
}

} // namespace calc
