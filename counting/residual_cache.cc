#include "counting/residual_cache.h"

#include <cassert>

namespace tallyra {

template <int Words, int ArenaBits>
void ResidualCache<Words, ArenaBits>::startJob() {
  // The slots are cleared when a job first uses residual keys, so that a
  // cache in static storage costs nothing until then.
  if (!cleared_) {
    for (Slot& slot : slots_) slot.generation = 0;
    for (uint16_t& tag : tags_) tag = 0;
    cleared_ = true;
  }
  ++generation_;
  if (generation_ == 0) {  // wrapped: old generation numbers come back
    for (Slot& slot : slots_) slot.generation = 0;
    generation_ = 1;
  }
  head_ = 0;
}

template <int Words, int ArenaBits>
auto ResidualCache<Words, ArenaBits>::needsAt(Key& key) -> Set* {
  assert(key.length >= 1 && static_cast<uint64_t>(key.length) <= kArenaSets);
  // The needs of a key lie in one piece: a key that would run over the
  // arena's end starts at its beginning.
  uint64_t at = head_;
  if (at % kArenaSets + static_cast<uint64_t>(key.length) > kArenaSets)
    at += kArenaSets - at % kArenaSets;
  key.position = at;
  return &arena_[at % kArenaSets];
}

template <int Words, int ArenaBits>
bool ResidualCache<Words, ArenaBits>::sameNeeds(const Slot& slot, const Key& key) const {
  const Set* stored = &arena_[slot.position % kArenaSets];
  const Set* asked = &arena_[key.position % kArenaSets];
  for (int i = 0; i < key.length; ++i)
    if (!(stored[i] == asked[i])) return false;
  return true;
}

template <int Words, int ArenaBits>
auto ResidualCache<Words, ArenaBits>::find(const Key& key) const -> Count {
  if (!cleared_) return 0;
  const uint64_t upTo = key.position + static_cast<uint64_t>(key.length);
  const uint32_t first = firstSlot(key.hash);
  const uint16_t tag = static_cast<uint16_t>(key.hash);
  const Slot* pair = &slots_[first];
  if (tags_[first] != tag && tags_[first + 1] != tag) {
    // A miss is most often stored soon after: the slots are fetched for it
    // meanwhile.
#if defined(__GNUC__)
    __builtin_prefetch(pair, 1);
#endif
    return 0;
  }
  for (int i = 0; i < 2; ++i) {
    const Slot& slot = pair[i];
    if (slot.generation == generation_ && slot.hash == key.hash && slot.length == key.length &&
        slot.component == key.component && kept(slot.position, upTo) && sameNeeds(slot, key))
      return slot.count;
  }
  return 0;
}

template <int Words, int ArenaBits>
void ResidualCache<Words, ArenaBits>::store(const Key& key, const Count& count) {
  if (!kept(key.position, head_)) return;
  const uint32_t first = firstSlot(key.hash);
  Slot* pair = &slots_[first];
  if (pair[0].generation == generation_ && pair[0].position != key.position) {
    pair[1] = pair[0];
    tags_[first + 1] = tags_[first];
  }
  pair[0] = Slot{key.component, key.hash, key.position, count, generation_, key.length};
  tags_[first] = static_cast<uint16_t>(key.hash);
}

template class ResidualCache<1>;
template class ResidualCache<2>;
template class ResidualCache<4>;
// An arena of 64 sets, which goes round after a few keys (tests).
template class ResidualCache<1, 6>;

}  // namespace tallyra
