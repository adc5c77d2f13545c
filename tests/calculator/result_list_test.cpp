#include "calculator/ResultList.h"
#include "calculator/Scoring.h"
#include "framework/core/Strings.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace calc {
namespace {

// The list as the pruning rule states it: plain rows in a vector, two stable
// sorts, a walk that removes one row at a time, and the two sorts again.
struct ReferenceList {
    struct Row {
        std::string word;
        int score;
    };
    std::vector<Row> rows;

    void Sort(int column, bool ascending = true) {
        const auto less = [column](const Row& a, const Row& b) {
            return column == 1 ? a.score < b.score : fw::CompareText(a.word, b.word) < 0;
        };
        if (column != 0 && column != 1) {
            return;
        }
        std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
            return ascending ? less(a, b) : less(b, a);
        });
    }
    void Compress() {
        Sort(1);
        Sort(0);
        for (std::size_t i = 0; i + 1 < rows.size();) {
            if (fw::Equals(rows[i].word, rows[i + 1].word) && rows[i].score == rows[i + 1].score) {
                rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(i));
            } else {
                ++i;
            }
        }
        Sort(1);
        Sort(0);
    }
};

void ExpectSame(const ResultList& list, const ReferenceList& reference, int step) {
    ASSERT_EQ(list.RowCount(), static_cast<int>(reference.rows.size())) << "step " << step;
    for (int r = 0; r < list.RowCount(); ++r) {
        ASSERT_EQ(list.Word(r), reference.rows[r].word) << "step " << step << " row " << r;
        ASSERT_EQ(list.Score(r), reference.rows[r].score) << "step " << step << " row " << r;
    }
}

TEST(ResultList, FollowsThePruningRuleThroughRandomUse) {
    // Case variants, blanks and non-ASCII letters: the words where the case
    // rule and the text order matter.
    const std::vector<std::string> words = {"QI", "qi",  "Qi",      "CAT",     "CA", "ZA",
                                            "_A", "A B", "\u00C9T", "\u00E9T", "Z"};
    std::mt19937 random(99);
    for (int run = 0; run < 24; ++run) {
        ResultList list;
        ReferenceList reference;
        // Wide score ranges grow the list past the size where sorting turns linear.
        const unsigned range = run % 2 ? 15 : 300;
        for (int step = 0; step < 150; ++step) {
            const std::string& word = words[random() % words.size()];
            const unsigned op = random() % 20;
            if (op < 5) {
                const int score = static_cast<int>(random() % 12);
                list.AddRow(word, score);
                reference.rows.push_back({word, score});
            } else if (op < 16) {
                std::vector<std::int32_t> scores(random() % 40);
                for (auto& s : scores) {
                    s = static_cast<std::int32_t>(random() % range);
                }
                std::sort(scores.begin(), scores.end());
                const bool prune = random() % 4 != 0;
                list.AddPlacementRows(word, scores, prune);
                for (const int s : scores) {
                    reference.rows.push_back({word, s});
                }
                if (prune) {
                    reference.Compress();
                }
            } else if (op < 19) {
                const int column = static_cast<int>(random() % 3);
                const bool ascending = random() % 3 != 0;
                list.SortByColumn(column, ascending);
                reference.Sort(column, ascending);
            } else {
                list.CompressResults();
                reference.Compress();
            }
            ExpectSame(list, reference, step);
            if (HasFatalFailure()) {
                return;
            }
        }
        list.Clear();
        EXPECT_EQ(list.RowCount(), 0);
        EXPECT_TRUE(list.IsInWordScoreOrder());
    }
}

TEST(ResultList, MergingWordByWordEqualsOneFullPruning) {
    std::mt19937 random(5);
    ResultList merged;
    ResultList full;
    std::vector<std::int32_t> scores;
    for (int i = 0; i < 1500; ++i) {
        std::string word(2 + random() % 6, 'A');
        for (char& c : word) {
            c = static_cast<char>('A' + random() % 6); // few letters: words repeat
        }
        PlacementScores(word, kBoardLayout, random() % 2, scores);
        merged.AddPlacementRows(word, scores, true);
        ASSERT_TRUE(merged.IsInWordScoreOrder());
        full.AddPlacementRows(word, scores, false);
    }
    EXPECT_FALSE(full.IsInWordScoreOrder());
    full.CompressResults();
    ASSERT_EQ(merged.RowCount(), full.RowCount());
    for (int r = 0; r < full.RowCount(); ++r) {
        ASSERT_EQ(merged.Word(r), full.Word(r));
        ASSERT_EQ(merged.Score(r), full.Score(r));
    }
}

TEST(ResultList, PlainRowsArePrunedByALaterWord) {
    ResultList list;
    list.AddRow("CAT", 5);
    list.AddRow("CAT", 5);
    EXPECT_EQ(list.RowCount(), 2); // the plain mode prunes nothing
    list.AddPlacementRows("QI", std::vector<std::int32_t>{11, 11, 21}, true);
    ASSERT_EQ(list.RowCount(), 3);
    EXPECT_EQ(list.Word(0), "CAT");
    EXPECT_EQ(list.Word(1), "QI");
    EXPECT_EQ(list.Score(2), 21);
    // Two words with an equal score each keep their row.
    list.AddPlacementRows("ZA", std::vector<std::int32_t>{11}, true);
    EXPECT_EQ(list.RowCount(), 4);
}

TEST(ResultList, ScoreColumnIsNumericAndCellsAreMadeOnDemand) {
    ResultList list;
    list.AddRow("A", 10);
    list.AddRow("B", 9);
    list.AddRow("C", 10);
    int result = 5;
    EXPECT_TRUE(list.CompareRows(0, 1, 1, result));
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(list.CompareRows(0, 2, 1, result));
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(list.CompareRows(0, 1, 0, result));
    EXPECT_FALSE(list.CompareRows(0, 7, 1, result));

    list.SortByColumn(1);
    EXPECT_EQ(list.Word(0), "B");
    EXPECT_EQ(list.Word(1), "A"); // equal scores keep their order
    EXPECT_EQ(list.Word(2), "C");
    list.SortByColumn(1, false);
    EXPECT_EQ(list.Word(0), "A");
    EXPECT_EQ(list.Word(1), "C");
    EXPECT_EQ(list.ScoreText(2), "9");
    list.AddRow("D", 0);
    EXPECT_EQ(list.ScoreText(3), "0");
    EXPECT_EQ(list.Word(4), "");
}

} // namespace
} // namespace calc
