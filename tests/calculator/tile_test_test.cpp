#include "calculator/TileTest.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace calc {
namespace {

// The test as the window's rules state it: symbol after symbol, counting with
// countLetterB, then the rebuild.
TileTestResult ReferenceTest(const std::string& word, const TileTable& left, bool commit,
                             bool blanks) {
    TileTable working = commit ? left : kTileDistribution;
    TileTable used{};
    bool assigned = false;
    bool fits = true;
    for (int s = 0; s < kSymbolCount && fits; ++s) {
        const int n = countLetterB(s, word);
        if (working[s] >= n) {
            working[s] -= n;
            continue;
        }
        const int shortage = n - working[s];
        working[s] = blanks ? 0 : working[s];
        if (!blanks || working[0] < shortage) {
            fits = false;
        } else {
            working[0] -= shortage;
            used[s] = shortage;
            assigned = true;
        }
    }
    TileTestResult r;
    r.fits = fits;
    r.rebuilt = assigned;
    r.left = !commit ? kTileDistribution : fits ? working : left;
    for (const char c : word) {
        const bool letter = c >= 'A' && c <= 'Z';
        if (assigned && letter && used[c - 64] > 0) {
            --used[c - 64];
            r.word += '_';
        } else {
            r.word += c;
        }
    }
    return r;
}

TileTestResult Individual(const std::string& word, bool blanks) {
    TileTable emptied{};
    return countTiles(word, emptied, false, blanks);
}

TEST(TileTest, MatchesTheSymbolBySymbolRuleOnRandomWords) {
    std::mt19937 random(7);
    const std::string alphabet = "QQZZJXKEEEEEAAAIIIUUOO__ 1!";
    for (int trial = 0; trial < 3000; ++trial) {
        std::string word(1 + random() % 20, 'A');
        for (char& c : word) {
            c = alphabet[random() % alphabet.size()];
        }
        TileTable left = kTileDistribution;
        for (auto& n : left) {
            n = static_cast<std::int32_t>(random() % (n + 1));
        }
        const bool commit = random() % 2;
        const bool blanks = random() % 2;
        const TileTestResult got = countTiles(word, left, commit, blanks);
        const TileTestResult want = ReferenceTest(word, left, commit, blanks);
        ASSERT_EQ(got.fits, want.fits) << word;
        ASSERT_EQ(got.rebuilt, want.rebuilt) << word;
        ASSERT_EQ(got.word, want.word) << word;
        ASSERT_EQ(got.left, want.left) << word;
    }
}

TEST(TileTest, IndividualWords) {
    EXPECT_FALSE(Individual("QQ", false).fits);
    const TileTestResult quiz = Individual("QUIZ", false);
    EXPECT_TRUE(quiz.fits);
    EXPECT_EQ(quiz.left, kTileDistribution); // nothing consumed, full set shown

    const TileTestResult qq = Individual("QQ", true);
    EXPECT_TRUE(qq.fits);
    EXPECT_EQ(qq.word, "_Q");
    EXPECT_EQ(Individual("QQQ", true).word, "__Q");
    const TileTestResult qqqq = Individual("QQQQ", true);
    EXPECT_FALSE(qqqq.fits);
    EXPECT_FALSE(qqqq.rebuilt);
    EXPECT_EQ(qqqq.word, "QQQQ");

    EXPECT_EQ(Individual(std::string(14, 'E'), true).word, "__" + std::string(12, 'E'));
    EXPECT_FALSE(Individual(std::string(15, 'E'), true).fits);
}

TEST(TileTest, WrittenBlanksAndOtherCharacters) {
    const TileTestResult qbqb = Individual("Q_Q_", true);
    EXPECT_FALSE(qbqb.fits);
    EXPECT_EQ(qbqb.word, "Q_Q_");
    for (const bool blanks : {false, true}) {
        EXPECT_FALSE(Individual("A_ B_", blanks).fits);
        EXPECT_FALSE(Individual("   ", blanks).fits);
    }
    EXPECT_EQ(Individual("Q Q", true).word, "_ Q");
    // Characters that spell no tile take none and survive the rebuild.
    const TileTestResult odd = Individual("Q1\u00C9Q!", true);
    EXPECT_TRUE(odd.fits);
    EXPECT_EQ(odd.word, "_1\u00C9Q!");
    EXPECT_EQ(countLetter(U'q', "QQ\u00C9Q"), 3);
    EXPECT_EQ(countLetterB(0, "A_ _"), 3);
}

TEST(TileTest, CombinedWordsConsumeTiles) {
    TileTable left = kTileDistribution;
    const TileTestResult quiz = countTiles("QUIZ", left, true, false);
    ASSERT_TRUE(quiz.fits);
    left = quiz.left;
    EXPECT_EQ(left[TileSymbol(U'Q')], 0);
    EXPECT_EQ(left[TileSymbol(U'U')], 3);
    EXPECT_EQ(left[TileSymbol(U'I')], 8);
    EXPECT_EQ(left[TileSymbol(U'Z')], 0);

    const TileTestResult plain = countTiles("QUA", left, true, false);
    EXPECT_FALSE(plain.fits);
    EXPECT_EQ(plain.left, left);

    const TileTestResult blanked = countTiles("QUA", left, true, true);
    EXPECT_TRUE(blanked.fits);
    EXPECT_EQ(blanked.word, "_UA");
    EXPECT_EQ(blanked.left[kBlankSymbol], 1);

    // Q is covered by a blank before Z runs short: the test fails, the word is
    // still rebuilt, and no tile is consumed.
    const TileTestResult qzzz = countTiles("QZZZ", left, true, true);
    EXPECT_FALSE(qzzz.fits);
    EXPECT_TRUE(qzzz.rebuilt);
    EXPECT_EQ(qzzz.word, "_ZZZ");
    EXPECT_EQ(qzzz.left, left);
}

} // namespace
} // namespace calc
