#pragma once

// The one sort of the search, used for the 80 individuals of a selection and
// for the ranking of the sub-populations. Which of several equal keys ends
// up in front decides which individual survives, so the exact
// sequence of comparisons and swaps is part of the results, not a detail.

#include <cmath>

namespace velm {

// 1, 4, 13, 40, ...: the largest that is reached while the gap is below
// count / 3 (40 for 80 positions, 4 for 6, 1 for 5 or fewer).
constexpr int FirstShellGap(int count) {
  int h = 1;
  while (h < count / 3) h = 3 * h + 1;
  return h;
}

// Where a NaN key goes. kLast ranks it after every number, as an individual
// whose f is NaN is no fit at all; kUnmoved lets it compare false like any
// comparison with a NaN, so that it never moves, for a search in which every
// f is NaN (no observed day to compare). Without a NaN key both give the
// same comparisons, so the same swaps.
enum class NaNKeys { kLast, kUnmoved };

// Whether key a belongs after key b.
inline bool Worse(double a, double b, NaNKeys nanKeys) {
  return a > b ||
         (nanKeys == NaNKeys::kLast && std::isnan(a) && !std::isnan(b));
}

// Sorts positions 0..count-1 by ascending key(i), calling swap(i, j) to
// exchange two positions. Passes use the gaps FirstShellGap(count), then a
// third of it (integer division) down to 1. A position is only moved when
// its key is worse than the key h positions further on: equal keys (and two
// NaNs) keep their order.
template <typename Key, typename Swap>
void ShellSort(int count, Key key, Swap swap, NaNKeys nanKeys) {
  for (int h = FirstShellGap(count); h > 0; h /= 3) {
    for (int i = h; i < count; ++i) {
      for (int j = i - h; j >= 0 && Worse(key(j), key(j + h), nanKeys);
           j -= h) {
        swap(j, j + h);
      }
    }
  }
}

}  // namespace velm
