#include "calculator/TileTest.h"

#include "framework/core/Utf8.h"
#include "framework/core/Yield.h"

#include <cstddef>

namespace calc {

std::int32_t countLetter(char32_t character, std::string_view word) noexcept {
    const char32_t wanted = fw::FoldAsciiCase(character);
    std::int32_t count = 0;
    for (std::size_t pos = 0; pos < word.size();) {
        fw::BackgroundYield();
        if (fw::FoldAsciiCase(fw::NextCodePoint(word, pos)) == wanted) {
            ++count;
        }
    }
    return count;
}

std::int32_t countLetterB(int symbol, std::string_view word) noexcept {
    if (symbol == kBlankSymbol) {
        return countLetter(U' ', word) + countLetter(U'_', word);
    }
    if (symbol < 1 || symbol >= kSymbolCount) {
        return 0;
    }
    return countLetter(U'A' + static_cast<char32_t>(symbol - 1), word);
}

TileTestResult countTiles(std::string_view word, const TileTable& tilesLeft, bool commit,
                          bool blanksEnabled) {
    TileTestResult result;
    const TileTable& start = commit ? tilesLeft : kTileDistribution;

    // One pass gives what countLetterB would give for each of the 27 symbols.
    TileTable needed{};
    for (std::size_t pos = 0; pos < word.size();) {
        fw::BackgroundYield();
        const int symbol = TileSymbol(fw::NextCodePoint(word, pos));
        if (symbol >= 0) {
            ++needed[symbol];
        }
    }

    TileTable working = start;
    TileTable blanksUsed{};
    bool blankAssigned = false;
    bool fits = true;
    // The blank comes first, so written blanks take blank tiles before any
    // letter's shortage is covered.
    for (int symbol = 0; symbol < kSymbolCount; ++symbol) {
        fw::BackgroundYield();
        const std::int32_t n = needed[symbol];
        if (working[symbol] >= n) {
            working[symbol] -= n;
            continue;
        }
        const std::int32_t shortage = n - working[symbol];
        if (!blanksEnabled) {
            fits = false;
            break;
        }
        working[symbol] = 0;
        if (working[kBlankSymbol] < shortage) {
            fits = false;
            break;
        }
        working[kBlankSymbol] -= shortage;
        blanksUsed[symbol] = shortage;
        blankAssigned = true;
    }

    result.fits = fits;
    result.left = !commit ? kTileDistribution : (fits ? working : tilesLeft);
    result.rebuilt = blankAssigned;
    if (!blankAssigned) {
        result.word.assign(word);
        return result;
    }
    result.word.reserve(word.size());
    for (std::size_t pos = 0; pos < word.size();) {
        const std::size_t begin = pos;
        const int symbol = TileSymbol(fw::NextCodePoint(word, pos));
        if (symbol > kBlankSymbol && blanksUsed[symbol] > 0) {
            --blanksUsed[symbol];
            result.word += '_';
        } else {
            result.word.append(word.substr(begin, pos - begin));
        }
    }
    return result;
}

} // namespace calc
