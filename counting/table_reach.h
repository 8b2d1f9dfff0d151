// How much of a cache's table of slots a job uses: the first 2^bits slots,
// from 2^kFirstBits up to the whole table, doubled whenever the job's
// stores reach half of them. A short job never touches the rest, so a table
// in static storage costs only what the jobs reach; slots are cleared when
// a job first reaches them. A key's pair of slots is chosen by bits 32 and
// up of its hash (bits 48 and up are left for tags), so that when the slots
// double, the entries of pair i stay there or move to pair i + 2^bits, as
// the next bit of their hash says: the cache splits its pairs in place and
// keeps every entry.
#ifndef TALLYRA_COUNTING_TABLE_REACH_H_
#define TALLYRA_COUNTING_TABLE_REACH_H_

#include <cstdint>

namespace tallyra {

// Whether an entry of this hash moves up when the slots double to 2 * half.
inline bool movesUp(uint64_t hash, uint32_t half) {
  return (static_cast<uint32_t>(hash >> 32) & half) != 0;
}

// The tag of a hash, for a table of tags beside the slots.
inline uint16_t tagOf(uint64_t hash) { return static_cast<uint16_t>(hash >> 48); }

template <int kMostBits, int kFirstBits = 10>
struct TableReach {
  static_assert(kFirstBits >= 1 && kFirstBits <= kMostBits && kMostBits <= 31);
  int bits = 0;             // this job's slots: the first 2^bits
  uint32_t cleared = 0;     // the slots ever reached, each cleared then
  uint32_t storesLeft = 0;  // before the next doubling

  // For a new job of which `firstBits` (at most kMostBits) are expected;
  // clear(from, to) clears the slots [from, to) reached for the first time.
  template <typename Clear>
  void start(int firstBits, Clear&& clear) {
    bits = firstBits < kFirstBits ? kFirstBits : firstBits;
    reach(clear);
  }

  // Counts a store; doubles the slots when they are half full, then calls
  // split(half), which moves the entries that move up (splitPairs).
  template <typename Clear, typename Split>
  void stored(Clear&& clear, Split&& split) {
    if (storesLeft > 0) {
      --storesLeft;
      return;
    }
    if (bits == kMostBits) return;
    const uint32_t half = uint32_t{1} << bits;
    ++bits;
    reach(clear);
    split(half);
  }

  // The first slot of the pair of a hash.
  uint32_t firstSlot(uint64_t hash) const {
    return static_cast<uint32_t>(hash >> 32) & ((uint32_t{1} << bits) - 2);
  }

 private:
  template <typename Clear>
  void reach(Clear&& clear) {
    const uint32_t slots = uint32_t{1} << bits;
    if (cleared < slots) {
      clear(cleared, slots);
      cleared = slots;
    }
    storesLeft = bits == kMostBits ? 0 : slots / 2;
  }
};

// The split after a doubling to 2 * half slots: the live entries of each
// pair below `half` that move up go to the pair `half` above, newest first;
// their old slots are emptied (generation 0). Slot has a member
// `generation`; hashOf(slot) is the hash of its key.
template <typename Slot, typename HashOf>
void splitPairs(Slot* slots, uint16_t* tags, uint32_t half, uint32_t generation, HashOf&& hashOf) {
  for (uint32_t i = 0; i < half; i += 2) {
    uint32_t to = i + half;
    for (uint32_t j = i; j < i + 2; ++j) {
      if (slots[j].generation != generation || !movesUp(hashOf(slots[j]), half)) continue;
      slots[to] = slots[j];
      tags[to] = tags[j];
      ++to;
      slots[j].generation = 0;
    }
  }
}

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_TABLE_REACH_H_
