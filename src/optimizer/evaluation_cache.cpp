#include "optimizer/evaluation_cache.h"

#include <bit>

namespace velm {

EvaluationCache::Key EvaluationCache::KeyOf(const Genes& x,
                                            int variableCount) {
  Key key;
  for (int k = 1; k <= variableCount && k < kSlotCount; ++k) {
    key.Bits[k] = std::bit_cast<std::uint64_t>(x[k]);
  }
  return key;
}

std::size_t EvaluationCache::KeyHash::operator()(const Key& key) const {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const std::uint64_t bits : key.Bits) {
    hash = (hash ^ bits) * 0x100000001b3u;
    hash ^= hash >> 29;
  }
  return static_cast<std::size_t>(hash);
}

const EvaluationCache::Entry* EvaluationCache::Find(const Key& key) const {
  const auto found = entries_.find(key);
  return found == entries_.end() ? nullptr : &found->second;
}

void EvaluationCache::Insert(const Key& key, Entry entry) {
  // A node and its bucket, roughly.
  const std::size_t cost = sizeof(Key) + sizeof(Entry) + 4 * sizeof(void*);
  if (bytesUsed_ + cost > byteBudget_) return;
  if (entries_.emplace(key, std::move(entry)).second) bytesUsed_ += cost;
}

}  // namespace velm
