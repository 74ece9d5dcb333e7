#pragma once

// The one sort of the search, used for the 80 individuals of a selection and
// for the ranking of the sub-populations. Which of several equal (or NaN)
// keys ends up in front decides which individual survives, so the exact
// sequence of comparisons and swaps is part of the results, not a detail.

namespace velm {

// 1, 4, 13, 40, ...: the largest that is reached while the gap is below
// count / 3 (40 for 80 positions, 4 for 6, 1 for 5 or fewer).
constexpr int FirstShellGap(int count) {
  int h = 1;
  while (h < count / 3) h = 3 * h + 1;
  return h;
}

// Sorts positions 0..count-1 by ascending key(i), calling swap(i, j) to
// exchange two positions. Passes use the gaps FirstShellGap(count), then a
// third of it (integer division) down to 1. A position is only moved when
// its key is greater than the key h positions further on: equal keys keep
// their order, and a NaN key, which compares false, is never moved.
template <typename Key, typename Swap>
void ShellSort(int count, Key key, Swap swap) {
  for (int h = FirstShellGap(count); h > 0; h /= 3) {
    for (int i = h; i < count; ++i) {
      for (int j = i - h; j >= 0 && key(j) > key(j + h); j -= h) {
        swap(j, j + h);
      }
    }
  }
}

}  // namespace velm
