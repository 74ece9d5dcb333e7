#include "optimizer/shell_sort.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

namespace velm {
namespace {

std::vector<double> Sorted(std::vector<double> keys, int count) {
  ShellSort(
      count, [&](int i) { return keys[i]; },
      [&](int a, int b) { std::swap(keys[a], keys[b]); });
  return keys;
}

bool SameKeys(const std::vector<double>& a, const std::vector<double>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!(a[i] == b[i] || (std::isnan(a[i]) && std::isnan(b[i])))) return false;
  }
  return true;
}

TEST(ShellSortGaps, SelectionOfEightyStartsAtFortyAndRankingOfSixAtFour) {
  EXPECT_EQ(FirstShellGap(80), 40);
  EXPECT_EQ(FirstShellGap(6), 4);
  EXPECT_EQ(FirstShellGap(5), 1);
  EXPECT_EQ(FirstShellGap(1), 1);
}

TEST(ShellSort, SortsAscending) {
  EXPECT_TRUE(SameKeys(Sorted({5, 3, 4, 1, 2, 0}, 6), {0, 1, 2, 3, 4, 5}));
}

TEST(ShellSort, ANanKeyStaysAndBlocksWhatWouldPassIt) {
  // Gap 4 compares 3 with 5 and NaN with 0 (no swaps); gap 1 then sorts
  // what lies after the NaN but never moves anything across it.
  const double nan = std::nan("");
  EXPECT_TRUE(SameKeys(Sorted({3, nan, 2, 1, 5, 0}, 6), {3, nan, 0, 1, 2, 5}));
}

TEST(ShellSort, PositionsFromTheCountOnAreNotTouched) {
  EXPECT_TRUE(SameKeys(Sorted({4, 3, 2, 1, 0, -1}, 4), {1, 2, 3, 4, 0, -1}));
}

}  // namespace
}  // namespace velm
