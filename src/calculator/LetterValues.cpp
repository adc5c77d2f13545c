#include "calculator/LetterValues.h"

#include "framework/core/Utf8.h"
#include "framework/core/Yield.h"

#include <cstddef>

namespace calc {

std::int32_t CalcLetter(std::string_view letter) noexcept {
    if (letter.empty()) {
        return 0;
    }
    std::size_t pos = 0;
    const char32_t c = fw::NextCodePoint(letter, pos);
    return pos == letter.size() ? LetterValue(c) : 0;
}

std::int32_t CalculateSingle(std::string_view word) noexcept {
    std::int32_t sum = 0;
    for (std::size_t pos = 0; pos < word.size();) {
        fw::BackgroundYield();
        sum += LetterValue(fw::NextCodePoint(word, pos));
    }
    return sum;
}

} // namespace calc
