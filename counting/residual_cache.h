// A bounded cache of component counts under residual keys.
//
// The count of a component C (see subuniverse_search.cc) is the number of
// subsets T of C with I and T together closed, and it is fixed by what is
// left of the job inside C: for each element x of C what it needs in C
// once I is given (what x forces, less I), and the elements of C it may
// not come in with (a pair of them has a result outside C that is not in
// I, so excluded); the results that a pair of C's elements has in C are
// the same whatever I is. The residual key is C and those two sets for
// each of C's elements (subuniverse_search.cc leaves out the empty ones):
// two states with the same key have the same count, also where their
// closed sets differ in elements that matter to the count only through
// what C's elements need. The needs take up to two sets for each element
// of C, so they are kept in an arena of sets written in turn; a slot holds C, a hash of the whole
// key and where its needs begin, and a hit compares the whole key. When the arena has gone round,
// the keys it overwrote are gone; the slots are in pairs, a new key takes the first of its pair and
// pushes the one there to the second. Entries of earlier jobs are told apart by a generation
// number. A table of 16-bit tags of the slots' hashes, small enough to stay in the processor's
// caches, answers most misses without reading the slots. The arena holds
// 2^ArenaBits sets (a test makes it go round with fewer).
#ifndef TALLYRA_COUNTING_RESIDUAL_CACHE_H_
#define TALLYRA_COUNTING_RESIDUAL_CACHE_H_

#include <cstdint>

#include "counting/element_set.h"
#include "counting/table_reach.h"

namespace tallyra {

template <int Words, int ArenaBits = 19>
class ResidualCache {
 public:
  using Set = ElementSetOf<Words>;
  using Count = PartCountOf<Words>;

  static constexpr int kSlotBits = 15;
  static constexpr uint32_t kSlots = uint32_t{1} << kSlotBits;
  static constexpr uint64_t kArenaSets = uint64_t{1} << ArenaBits;

  // A key: set up by the caller, with its needs written at needsAt().
  struct Key {
    Set component;
    uint64_t hash;
    uint64_t position;  // of its needs in the arena, set by needsAt()
    int length;         // of its needs, in sets
  };

  ResidualCache() = default;
  ResidualCache(const ResidualCache&) = delete;
  ResidualCache& operator=(const ResidualCache&) = delete;

  // Forgets every entry.
  void startJob();

  // Room for key.length sets of needs at the arena's head, for the caller
  // to fill (and to set key.length to the sets it filled, if fewer); the
  // key's position. The room is the key's for find() and,
  // after take(), for the store of its count; the next needsAt() that is
  // not preceded by take() reuses it.
  Set* needsAt(Key& key);

  // The count stored under `key` (its needs at needsAt()), or 0.
  Count find(const Key& key) const;

  // Keeps the needs of `key` in the arena, for store() once its count is
  // known.
  void take(const Key& key) { head_ = key.position + static_cast<uint64_t>(key.length); }

  // Stores the count (at least 1) of a key taken before, unless the arena
  // has gone round over its needs since.
  void store(const Key& key, const Count& count);

 private:
  struct Slot {
    Set component;
    uint64_t hash;
    uint64_t position;
    Count count;
    uint32_t generation;  // 0: never used
    int length;
  };
  // Whether needs at `position` are still in the arena when `upTo` sets
  // have been written.
  static bool kept(uint64_t position, uint64_t upTo) { return upTo <= position + kArenaSets; }
  uint32_t firstSlot(uint64_t hash) const { return reach_.firstSlot(hash); }
  void clearSlots(uint32_t from, uint32_t to);
  bool sameNeeds(const Slot& slot, const Key& key) const;

  alignas(64) Slot slots_[kSlots];
  // tags_[i]: the tag of the hash in slots_[i] (table_reach.h), where it holds an
  // entry of this job (elsewhere any value: a tag that matches by chance
  // only sends find() to the slots).
  uint16_t tags_[kSlots];  // cleared with the slots
  Set arena_[kArenaSets];
  uint64_t head_ = 0;            // the sets written to the arena in this job, in all
  TableReach<kSlotBits> reach_;  // of slots_ and tags_
  bool started_ = false;         // startJob() has been called
  uint32_t generation_ = 0;
};

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_RESIDUAL_CACHE_H_
