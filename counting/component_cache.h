// A bounded cache of component counts for the fast counter.
//
// A component is a set of undecided elements that no remaining constraint
// links to any other undecided element; its count is the number of ways to
// complete the current closed set inside it. That count depends only on the
// component and on which of a set of elements that the component alone
// determines (its dependence, see subuniverse_search.cc) are already in the
// closed set, so the component and that part of the closed set make an
// exact key. The table has a fixed number of slots in pairs; a key lives in
// the pair its hash picks, a new entry takes the pair's first slot and
// pushes the entry there to the second, dropping what the second held.
// Most lookups of a long search miss, so a table of 16-bit tags of the
// keys, small enough to stay in the processor's caches, answers most
// misses without reading the slots. A
// smaller table, one slot to a hash, keeps the dependence of recent
// components. Entries of earlier jobs are told apart by a generation
// number, so starting a job costs nothing. Words is the width of the job's
// element sets (element_set.h).
#ifndef TALLYRA_COUNTING_COMPONENT_CACHE_H_
#define TALLYRA_COUNTING_COMPONENT_CACHE_H_

#include <cstdint>

#include "counting/element_set.h"
#include "counting/table_reach.h"

namespace tallyra {

template <int Words>
class ComponentCache {
 public:
  using Set = ElementSetOf<Words>;
  using Count = PartCountOf<Words>;

  static constexpr int kSlotBits = 15;
  static constexpr uint32_t kSlots = uint32_t{1} << kSlotBits;
  // What find() answers for a key it does not hold. No component count is
  // 0 (the closed set itself completes every component), and none reaches
  // 2^(64 * Words) (a component holds at least one subset that is not
  // closed).
  static constexpr uint64_t kNotFound = 0;

  ComponentCache() = default;
  ComponentCache(const ComponentCache&) = delete;
  ComponentCache& operator=(const ComponentCache&) = delete;

  // Forgets every entry. A job uses the first 2^10 slots of the table, and
  // more as it stores more (table_reach.h); one of few elements uses fewer
  // of the dependence table.
  void startJob(int elements);

  // The count stored for (component, inside), or kNotFound.
  Count find(const Set& component, const Set& inside) const {
    const uint64_t mixed = mixedKey(component, inside);
    const uint32_t first = firstSlot(mixed);
    const uint16_t tag = tagOf(mixed);
    const Slot* pair = &slots_[first];
    if (tags_[first] != tag && tags_[first + 1] != tag) {
      // A miss is most often stored soon after: the slots are fetched for
      // it meanwhile.
      prefetch(pair);
      return kNotFound;
    }
    for (int i = 0; i < 2; ++i)
      if (pair[i].generation == generation_ && pair[i].component == component &&
          pair[i].inside == inside)
        return pair[i].count;
    return kNotFound;
  }

  // Stores a count, at least 1.
  void store(const Set& component, const Set& inside, const Count& count) {
    const uint64_t mixed = mixedKey(component, inside);
    const uint32_t first = firstSlot(mixed);
    Slot* pair = &slots_[first];
    if (pair[0].generation == generation_ &&
        (pair[0].component != component || pair[0].inside != inside)) {
      pair[1] = pair[0];
      tags_[first + 1] = tags_[first];
    }
    pair[0] = Slot{component, inside, count, generation_};
    tags_[first] = tagOf(mixed);
    reach_.stored([this](uint32_t from, uint32_t to) { clearSlots(from, to); },
                  [this](uint32_t half) {
                    splitPairs(slots_, tags_, half, generation_, [](const Slot& slot) {
                      return mixedKey(slot.component, slot.inside);
                    });
                  });
  }

  // The dependence stored for `component` into `depends`; false when
  // there is none.
  bool findDependence(const Set& component, Set& depends, bool& exact) const;
  void storeDependence(const Set& component, const Set& depends, bool exact);

 private:
  struct Slot {
    Set component;
    Set inside;
    Count count;
    uint32_t generation;  // 0: never used
  };
  static void prefetch(const Slot* pair) {
#if defined(__GNUC__)
    __builtin_prefetch(pair, 1);
#else
    (void)pair;
#endif
  }
  // The key's hash: it chooses the pair and the tag (table_reach.h).
  static uint64_t mixedKey(const Set& component, const Set& inside) {
    uint64_t mixed =
        (mixedWord(component) ^ (mixedWord(inside) * 0xC2B2AE3D27D4EB4Fu)) * 0x9E3779B97F4A7C15u;
    mixed ^= mixed >> 29;
    return mixed * 0xBF58476D1CE4E5B9u;
  }
  uint32_t firstSlot(uint64_t mixed) const { return reach_.firstSlot(mixed); }
  void clearSlots(uint32_t from, uint32_t to);

  struct DependenceSlot {
    Set component;
    Set depends;
    uint32_t generation;  // 0: never used
    bool exact;
  };
  static constexpr int kDependenceBits = 12;
  uint32_t dependenceSlot(const Set& component) const {
    return static_cast<uint32_t>((mixedWord(component) * 0x9E3779B97F4A7C15u) >>
                                 (64 - dependenceBits_));
  }

  // The slots are cleared as jobs first reach them, so that a cache in
  // static storage costs only the part of it that the jobs reach.
  // A pair of slots of one-word sets fills one line of the processor's
  // cache.
  alignas(64) Slot slots_[kSlots];
  // tags_[i]: the tag of the key in slots_[i], where it holds an entry of
  // this job (elsewhere any value: a tag that matches by chance only sends
  // find() to the slots). Cleared with the slots.
  uint16_t tags_[kSlots];
  DependenceSlot dependence_[uint32_t{1} << kDependenceBits];
  uint32_t clearedDependence_ = 0;  // and dependence_[0..clearedDependence_ - 1]
  uint32_t generation_ = 0;
  TableReach<kSlotBits> reach_;  // of slots_ and tags_
  int dependenceBits_ = 0;
};

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_COMPONENT_CACHE_H_
