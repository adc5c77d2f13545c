#pragma once

#include <functional>
#include <vector>

namespace fw {

// Compares two rows by their indices: negative, zero or positive.
using RowCompare = std::function<int(int row1, int row2)>;

// The ascending order of rows 0..count-1: element i is the row that goes to
// position i. Stable (rows that compare equal keep their order), and it
// finishes with every row placed exactly once even when the comparison
// contradicts itself, because it is a merge sort that never trusts the
// comparison to be consistent.
std::vector<int> StableRowOrder(int count, const RowCompare& compare);

} // namespace fw
