#pragma once

// f (and the fit reported with it) by the exact bits of a gene vector,
// for the whole run. Its memory is bounded: once the budget is spent nothing
// more is kept, which only costs the time of evaluating a repeat again.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>

#include "optimizer/gene_map.h"
#include "results/fit.h"

namespace velm {

class EvaluationCache {
 public:
  static constexpr std::size_t kDefaultByteBudget = std::size_t{16} << 20;

  struct Entry {
    double f = 0.0;
    std::optional<FitMeasures> Fit;  // reported with output flag 1
  };
  // The genes in use, 1 to variableCount, by their bits (so that -0 and 0,
  // or two NaNs, are told apart as the arithmetic may tell them apart).
  struct Key {
    std::array<std::uint64_t, kSlotCount> Bits{};
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    std::size_t operator()(const Key& key) const;
  };
  static Key KeyOf(const Genes& x, int variableCount);

  explicit EvaluationCache(std::size_t byteBudget = kDefaultByteBudget)
      : byteBudget_(byteBudget) {}

  const Entry* Find(const Key& key) const;
  // Keeps the entry unless the budget is spent.
  void Insert(const Key& key, Entry entry);

 private:
  std::unordered_map<Key, Entry, KeyHash> entries_;
  std::size_t byteBudget_;
  std::size_t bytesUsed_ = 0;
};

}  // namespace velm
