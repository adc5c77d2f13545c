#include "calculator/Scoring.h"

#include "calculator/LetterValues.h"
#include "framework/core/Utf8.h"
#include "framework/core/Yield.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <utility>

namespace calc {
namespace {

// Scores of one word span a narrow range, so a counting sort beats a
// comparison sort for the 420 placements of a short word. Four interleaved
// tallies keep runs of equal scores from waiting on one counter.
constexpr std::size_t kCountingSortRange = 1024;
constexpr std::size_t kTallies = 4;

void SortAscending(std::span<std::int32_t> scores) {
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
    std::array<std::array<std::uint16_t, kCountingSortRange>, kTallies> tallies;
    for (auto& tally : tallies) {
        std::fill_n(tally.begin(), range, std::uint16_t{0});
    }
    std::size_t i = 0;
    for (; i + kTallies <= scores.size(); i += kTallies) {
        for (std::size_t t = 0; t < kTallies; ++t) {
            ++tallies[t][static_cast<std::size_t>(scores[i + t] - minimum)];
        }
    }
    for (; i < scores.size(); ++i) {
        ++tallies[0][static_cast<std::size_t>(scores[i] - minimum)];
    }
    auto out = scores.begin();
    for (std::size_t value = 0; value < range; ++value) {
        std::size_t count = 0;
        for (const auto& tally : tallies) {
            count += tally[value];
        }
        out = std::fill_n(out, count, minimum + static_cast<std::int32_t>(value));
    }
}

// The scores of every placement along the given lines, line after line. The
// word length is a template argument so that the inner loop unrolls.
template <std::size_t Length>
void ScoreLines(const BoardFactors::Lines& lines, const std::int32_t* values, std::int32_t* out) {
    for (const auto& line : lines) {
        fw::BackgroundYield();
        for (std::size_t start = 0; start + Length <= kBoardSize; ++start) {
            std::int32_t sum = 0;
            std::int32_t wordFactor = 1;
            for (std::size_t k = 0; k < Length; ++k) {
                sum += values[k] * line[start + k].letter;
                wordFactor *= line[start + k].word;
            }
            *out++ = sum * wordFactor;
        }
    }
}

using ScoreLinesFunction = void (*)(const BoardFactors::Lines&, const std::int32_t*, std::int32_t*);

template <std::size_t... Lengths>
constexpr std::array<ScoreLinesFunction, sizeof...(Lengths)>
ScoreLinesTable(std::index_sequence<Lengths...>) {
    return {&ScoreLines<Lengths>...};
}

// Indexed by word length; 0 and 1 are never used.
constexpr auto kScoreLines = ScoreLinesTable(std::make_index_sequence<kMaxWordLength + 1>{});

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
        values[length] = LetterValue(fw::NextCodePoint(word, pos));
    }
    if (length == 0) {
        return;
    }
    if (length == 1) {
        scores = {values[0], 2 * values[0], 3 * values[0]};
        return;
    }

    scores.resize(PlacementCount(length));
    const ScoreLinesFunction scoreLines = kScoreLines[length];
    const std::size_t half = scores.size() / 2;
    scoreLines(factors.across, values.data(), scores.data());
    if (!factors.downMirrorsAcross) {
        scoreLines(factors.down, values.data(), scores.data() + half);
        SortAscending(scores);
        return;
    }
    // Every across score comes once more from the down placement that mirrors
    // it: sort one half and list each of its scores twice.
    SortAscending(std::span(scores).first(half));
    for (std::size_t i = half; i-- > 0;) {
        scores[2 * i] = scores[2 * i + 1] = scores[i];
    }
}

void PlacementScores(std::string_view word, const BoardGrid& board, bool centerSquareDouble,
                     std::vector<std::int32_t>& scores) {
    // Every window's board is the standard one: its factors are made once.
    if (std::memcmp(&board, &kBoardLayout, sizeof(BoardGrid)) == 0) {
        static const BoardFactors standardCentreDouble = MakeBoardFactors(kBoardLayout, true);
        static const BoardFactors standardCentreNormal = MakeBoardFactors(kBoardLayout, false);
        PlacementScores(word, centerSquareDouble ? standardCentreDouble : standardCentreNormal,
                        scores);
        return;
    }
    PlacementScores(word, MakeBoardFactors(board, centerSquareDouble), scores);
}

} // namespace calc
