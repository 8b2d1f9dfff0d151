#include "counting/residual_cache.h"

#include <cassert>

namespace tallyra {

template <int Words, int ArenaBits>
void ResidualCache<Words, ArenaBits>::clearSlots(uint32_t from, uint32_t to) {
  for (uint32_t i = from; i < to; ++i) {
    slots_[i].generation = 0;
    tags_[i] = 0;
  }
}

template <int Words, int ArenaBits>
void ResidualCache<Words, ArenaBits>::startJob() {
  ++generation_;
  if (generation_ == 0) {  // wrapped: old generation numbers come back
    clearSlots(0, reach_.cleared);
    generation_ = 1;
  }
  // The slots are cleared as jobs first reach them (table_reach.h), so that
  // a cache in static storage costs only what the jobs reach.
  reach_.start(0, [this](uint32_t from, uint32_t to) { clearSlots(from, to); });
  started_ = true;
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
  if (!started_) return 0;
  const uint64_t upTo = key.position + static_cast<uint64_t>(key.length);
  const uint32_t first = firstSlot(key.hash);
  const uint16_t tag = tagOf(key.hash);
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
  tags_[first] = tagOf(key.hash);
  reach_.stored([this](uint32_t from, uint32_t to) { clearSlots(from, to); },
                [this](uint32_t half) {
                  splitPairs(slots_, tags_, half, generation_,
                             [](const Slot& slot) { return slot.hash; });
                });
}

template class ResidualCache<1>;
template class ResidualCache<2>;
template class ResidualCache<4>;
// An arena of 64 sets, which goes round after a few keys (tests).
template class ResidualCache<1, 6>;

}  // namespace tallyra
