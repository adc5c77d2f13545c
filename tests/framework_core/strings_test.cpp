#include "framework/core/Strings.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <utility>

using namespace fw;

TEST(Strings, PositionsCountFromOneInCharacters) {
    EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Mid("abcdef", 4), "def");
    EXPECT_EQ(Mid("abc", 0, 2), "ab");
    EXPECT_EQ(Mid("abc", 9), "");
    EXPECT_EQ(Mid("abc", 2, -1), "");
    EXPECT_EQ(Left("abc", 2), "ab");
    EXPECT_EQ(Left("abc", 0), "");
    EXPECT_EQ(Left("abc", 10), "abc");
    // Multi-byte characters count once and are never cut.
    EXPECT_EQ(Len("\xC3\xA9t\xC3\xA9"), 3);
    EXPECT_EQ(Mid("\xC3\xA9t\xC3\xA9", 2, 1), "t");
    EXPECT_EQ(Left("\xE2\x82\xAC"
                   "5",
                   1),
              "\xE2\x82\xAC");
    // A byte that starts no sequence is one character of its own.
    EXPECT_EQ(Len("a\xC3"), 2);
    EXPECT_EQ(Len("\x80\x80"), 2);
    // Overlong forms and surrogates are no characters: each byte counts, as
    // it does for the word length test.
    EXPECT_EQ(Len("\xE0\x80\x80"), 3);
    EXPECT_EQ(Len("\xED\xA0\x80"), 3);
}

TEST(Strings, InStrIgnoresCaseAndGivesZeroWhenAbsent) {
    EXPECT_EQ(InStr("ABCDEFG", "c"), 3);
    EXPECT_EQ(InStr("abcabc", "BC"), 2);
    EXPECT_EQ(InStr(3, "abcabc", "bc"), 5);
    EXPECT_EQ(InStr("abc", "x"), 0);
    EXPECT_EQ(InStr("abc", ""), 0);
    EXPECT_EQ(InStr(9, "abc", "a"), 0);
    EXPECT_EQ(InStr("ab", "abc"), 0);
    EXPECT_EQ(InStr("\xC3\xA9"
                    "x\xC3\xA9X",
                    "x"),
              2);
    EXPECT_EQ(InStr(3,
                    "\xC3\xA9"
                    "x\xC3\xA9X",
                    "x"),
              4);
}

TEST(Strings, EqualityAndOrderFoldOnlyAsciiLetters) {
    EXPECT_TRUE(Equals("Version", "VERSION"));
    EXPECT_FALSE(Equals("Version", "Versions"));
    EXPECT_FALSE(Equals("\xC3\xA9", "\xC3\x89")); // é and É stay distinct
    EXPECT_EQ(Uppercase("abz\xC3\xA9!"), "ABZ\xC3\xA9!");

    EXPECT_EQ(CompareText("apple", "APPLE"), 0);
    EXPECT_LT(CompareText("ab", "abc"), 0); // a proper prefix comes first
    EXPECT_GT(CompareText("b", "A"), 0);
    EXPECT_LT(CompareText("Z", "_"), 0); // '_' sorts after the upper-case letters
    EXPECT_LT(CompareText("z", "\xC3\xA9"), 0);
    EXPECT_LT(CompareText("A B", "AA"), 0); // a space before the letters
}

TEST(Strings, NumbersToText) {
    EXPECT_EQ(Str(std::int32_t{-7}), "-7");
    EXPECT_EQ(Str(42.0), "42");
    EXPECT_EQ(Str(-0.0), "0");
    EXPECT_EQ(Str(0.1), "0.1");
    EXPECT_EQ(Str(1e20), "1e+20");
    EXPECT_EQ(CDbl(Str(1.0 / 3.0)), 1.0 / 3.0);
    EXPECT_EQ(CDbl(Str(std::numeric_limits<double>::infinity())),
              std::numeric_limits<double>::infinity());

    EXPECT_EQ(Format(42.0, "-#"), "42");
    EXPECT_EQ(Format(-42.0, "-#"), "-42");
    EXPECT_EQ(Format(0.0, "-#"), "0");
    EXPECT_EQ(Format(-0.4, "-#"), "0");
    EXPECT_EQ(Format(2.5, "-#"), "3");
    EXPECT_EQ(Format(-2.5, "-#"), "-3");
    EXPECT_EQ(Format(1e20, "-#"), "100000000000000000000");
    EXPECT_EQ(Format(std::nan(""), "-#"), "0");
}

TEST(Strings, TextToNumbersNeverFailsOrOverflows) {
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    const std::pair<const char*, double> cases[] = {
        {"42", 42.0},
        {"  -3.5xyz", -3.5},
        {"+7", 7.0},
        {".5", 0.5},
        {"true", 0.0},
        {"", 0.0},
        {"-", 0.0},
        {"+-1", 0.0},
        {"1,5", 1.0},
        {"1e400", kInfinity},
        {"-1e400", -kInfinity},
        {"1e-400", 0.0},
        {"0.000000000000000000000001e-390", 0.0},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(CDbl(text), value) << text;
    }
    EXPECT_EQ(CDbl(std::string(400, '9')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(Val("12abc"), 12.0);

    EXPECT_EQ(ToInt32(42.9), 42);
    EXPECT_EQ(ToInt32(-42.9), -42);
    EXPECT_EQ(ToInt32(1e10), 2147483647);
    EXPECT_EQ(ToInt32(-1e10), -2147483647 - 1);
    EXPECT_EQ(ToInt32(std::numeric_limits<double>::infinity()), 2147483647);
    EXPECT_EQ(ToInt32(std::nan("")), 0);
    EXPECT_EQ(ToInt32(CDbl("99999999999999999999")), 2147483647);

    EXPECT_TRUE(IsNumeric("2"));
    EXPECT_TRUE(IsNumeric(" -2.5e3 "));
    EXPECT_FALSE(IsNumeric("2a"));
    EXPECT_FALSE(IsNumeric(""));
    EXPECT_FALSE(IsNumeric("Version"));
    EXPECT_FALSE(IsNumeric("inf"));
    EXPECT_FALSE(IsNumeric("-"));
}

TEST(Strings, Fields) {
    EXPECT_EQ(NthField("2024-03-07", "-", 1), "2024");
    EXPECT_EQ(NthField("2024-03-07", "-", 3), "07");
    EXPECT_EQ(NthField("2024-03-07", "-", 4), "");
    EXPECT_EQ(NthField("2024-03-07", "-", 0), "");
    EXPECT_EQ(NthField("a><b><c", "><", 2), "b");
    EXPECT_EQ(NthField("a--b", "-", 2), "");
    EXPECT_EQ(CountFields("a><b><c", "><"), 3);
    EXPECT_EQ(CountFields("", "-"), 1);
    EXPECT_EQ(CountFields("a-", "-"), 2);
}
