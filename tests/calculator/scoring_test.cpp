#include "calculator/LetterValues.h"
#include "calculator/Scoring.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace calc {
namespace {

// A reference written straight from the rules: every placement across and
// down, each square's code turned into its factors on the spot.
int ReferenceValue(char32_t c) {
    const std::u32string groups[] = {U"AEILNORSTU", U"DG", U"BCMP", U"FHVWY", U"K", U"JX", U"QZ"};
    const int values[] = {1, 2, 3, 4, 5, 8, 10};
    if (c >= U'a' && c <= U'z') {
        c -= 32;
    }
    for (int g = 0; g < 7; ++g) {
        if (groups[g].find(c) != std::u32string::npos) {
            return values[g];
        }
    }
    return 0;
}

std::vector<std::int32_t> ReferenceScores(const std::u32string& word, bool centre,
                                          bool wordSquares = true,
                                          const BoardGrid& board = kBoardLayout) {
    const int length = static_cast<int>(word.size());
    if (length == 1) {
        const int v = ReferenceValue(word[0]);
        return {v, 2 * v, 3 * v};
    }
    std::vector<std::int32_t> scores;
    for (int down = 0; down < 2; ++down) {
        for (int line = 0; line < 15; ++line) {
            for (int start = 0; start + length <= 15; ++start) {
                int sum = 0;
                int factor = 1;
                for (int k = 0; k < length; ++k) {
                    const int r = down ? start + k : line;
                    const int c = down ? line : start + k;
                    int code = board[r][c];
                    if (r == 7 && c == 7 && !centre) {
                        code = 1;
                    }
                    sum += ReferenceValue(word[k]) * (code == 2 ? 2 : code == 3 ? 3 : 1);
                    if (wordSquares) {
                        factor *= code == 4 ? 2 : code == 5 ? 3 : 1;
                    }
                }
                scores.push_back(sum * factor);
            }
        }
    }
    std::sort(scores.begin(), scores.end());
    return scores;
}

std::string Utf8(const std::u32string& text) {
    std::string out;
    for (const char32_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::map<int, int> Tally(const std::vector<std::int32_t>& scores) {
    std::map<int, int> tally;
    for (const int s : scores) {
        ++tally[s];
    }
    return tally;
}

TEST(Scoring, PlacementScoresMatchTheReferenceOnRandomWords) {
    std::mt19937 random(2024);
    // A lopsided board too: there the down placements score on their own.
    BoardGrid lopsided = kBoardLayout;
    for (auto& row : lopsided) {
        for (auto& code : row) {
            const auto roll = random() % 40;
            code = static_cast<std::int32_t>(roll < 2 ? 4 + roll : 1 + roll % 3);
        }
    }
    const std::u32string alphabet = U"ABCDEFGHIJKLMNOPQRSTUVWXYZqzxe_ 7!\u00C9";
    std::vector<std::int32_t> scores;
    for (int trial = 0; trial < 300; ++trial) {
        std::u32string word(1 + random() % 15, U'A');
        for (char32_t& c : word) {
            c = alphabet[random() % alphabet.size()];
        }
        for (const bool centre : {true, false}) {
            PlacementScores(Utf8(word), kBoardLayout, centre, scores);
            ASSERT_EQ(scores, ReferenceScores(word, centre)) << Utf8(word) << " centre " << centre;
            ASSERT_EQ(scores.size(), PlacementCount(word.size()));
            PlacementScores(Utf8(word), lopsided, centre, scores);
            ASSERT_EQ(scores, ReferenceScores(word, centre, true, lopsided)) << Utf8(word);
        }
    }
}

TEST(Scoring, LetterPassAloneGivesTheKnownTables) {
    BoardFactors factors = MakeBoardFactors(kBoardLayout, true);
    for (auto* lines : {&factors.across, &factors.down}) {
        for (auto& line : *lines) {
            for (auto& square : line) {
                square.word = 1;
            }
        }
    }
    std::vector<std::int32_t> scores;
    PlacementScores("QI", factors, scores);
    EXPECT_EQ(Tally(scores),
              (std::map<int, int>{{11, 284}, {12, 44}, {13, 24}, {21, 44}, {31, 24}}));
    PlacementScores("CAT", factors, scores);
    EXPECT_EQ(Tally(scores),
              (std::map<int, int>{{5, 206}, {6, 76}, {7, 44}, {8, 36}, {9, 8}, {11, 20}}));
    EXPECT_EQ(ReferenceScores(U"CAT", true, false), scores);
}

TEST(Scoring, ShortLongAndEmptyWords) {
    std::vector<std::int32_t> scores{99};
    PlacementScores("Q", kBoardLayout, true, scores);
    EXPECT_EQ(scores, (std::vector<std::int32_t>{10, 20, 30}));
    PlacementScores("_", kBoardLayout, true, scores);
    EXPECT_EQ(scores, (std::vector<std::int32_t>{0, 0, 0}));
    PlacementScores("ABCDEFGHIJKLMNO", kBoardLayout, false, scores);
    EXPECT_EQ(scores.size(), 30u);
    // Outside 1 to 15 characters there is no placement, and nothing overruns.
    PlacementScores("ABCDEFGHIJKLMNOP", kBoardLayout, true, scores);
    EXPECT_TRUE(scores.empty());
    PlacementScores("", kBoardLayout, true, scores);
    EXPECT_TRUE(scores.empty());
    // Fifteen two-byte characters are fifteen squares.
    std::string accented;
    for (int i = 0; i < 15; ++i) {
        accented += "\u00C9";
    }
    PlacementScores(accented, kBoardLayout, true, scores);
    EXPECT_EQ(scores, std::vector<std::int32_t>(30, 0));
}

TEST(Scoring, LetterValuesAndPlainScore) {
    EXPECT_EQ(CalcLetter("Q"), 10);
    EXPECT_EQ(CalcLetter("q"), 10);
    EXPECT_EQ(CalcLetter("K"), 5);
    EXPECT_EQ(CalcLetter("_"), 0);
    EXPECT_EQ(CalcLetter(" "), 0);
    EXPECT_EQ(CalcLetter(""), 0);
    EXPECT_EQ(CalcLetter("QI"), 0);
    EXPECT_EQ(CalcLetter("\u00C9"), 0);
    EXPECT_EQ(CalcLetter("\xC3"), 0); // a cut-off sequence

    EXPECT_EQ(CalculateSingle("CAT"), 5);
    EXPECT_EQ(CalculateSingle("quiz"), 22);
    EXPECT_EQ(CalculateSingle("_Q"), 10);
    EXPECT_EQ(CalculateSingle("J\u00C9X 9"), 16);
    EXPECT_EQ(CalculateSingle(""), 0);
}

} // namespace
} // namespace calc
