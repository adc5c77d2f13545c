#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace calc {

// Sorts items ascending by an unsigned key of at most keyBits bits; items with
// equal keys keep their order. Linear in the number of items, which keeps the
// sorts of a list of a million result rows well inside a click.
template <class T, class KeyOf>
void StableRadixSort(std::vector<T>& items, KeyOf keyOf, unsigned keyBits) {
    if (items.size() < 256) {
        std::stable_sort(items.begin(), items.end(),
                         [&](const T& a, const T& b) { return keyOf(a) < keyOf(b); });
        return;
    }
    constexpr unsigned kDigitBits = 11;
    constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;
    std::vector<T> buffer(items.size());
    std::array<std::size_t, kBuckets> offsets;
    for (unsigned shift = 0; shift < keyBits; shift += kDigitBits) {
        offsets.fill(0);
        for (const T& item : items) {
            ++offsets[(keyOf(item) >> shift) & (kBuckets - 1)];
        }
        std::size_t total = 0;
        for (std::size_t& offset : offsets) {
            const std::size_t count = offset;
            offset = total;
            total += count;
        }
        for (const T& item : items) {
            buffer[offsets[(keyOf(item) >> shift) & (kBuckets - 1)]++] = item;
        }
        items.swap(buffer);
    }
}

} // namespace calc
