#include "framework/gui/RowSort.h"

#include "framework/core/Yield.h"

#include <algorithm>
#include <numeric>

namespace fw {

std::vector<int> StableRowOrder(int count, const RowCompare& compare) {
    std::vector<int> order(static_cast<size_t>(std::max(count, 0)));
    std::iota(order.begin(), order.end(), 0);
    std::vector<int> merged(order.size());
    const size_t n = order.size();
    for (size_t width = 1; width < n; width *= 2) {
        for (size_t left = 0; left < n; left += 2 * width) {
            const size_t mid = std::min(left + width, n);
            const size_t right = std::min(left + 2 * width, n);
            size_t i = left;
            size_t j = mid;
            size_t out = left;
            while (i < mid && j < right) {
                // Ties take the left run first: that keeps the sort stable.
                if (compare(order[j], order[i]) < 0) {
                    merged[out++] = order[j++];
                } else {
                    merged[out++] = order[i++];
                }
                BackgroundYield();
            }
            while (i < mid) {
                merged[out++] = order[i++];
            }
            while (j < right) {
                merged[out++] = order[j++];
            }
        }
        order.swap(merged);
    }
    return order;
}

} // namespace fw
