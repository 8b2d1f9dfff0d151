// The engine that counts the subuniverses of a job.
//
// SubuniverseEngine::count() gives the number of subsets of {1..size}
// closed under a table of constraints x*y=z: the same number as
// countByEnumeration() (reference_count.h), found without trying the 2^size
// subsets one by one (the method is described in subuniverse_engine.cc).
//
// An engine holds the whole state of a count: the constraints folded into
// bit masks, the search's sets and a fixed cache of component counts (about
// 600 KiB, so keep engines in static storage or on the heap, not on the
// stack). Nothing is allocated during a count. One engine runs one count
// at a time; separate engines may count side by side. Results of earlier
// counts never leak into later ones.
#ifndef TALLYRA_COUNTING_SUBUNIVERSE_ENGINE_H_
#define TALLYRA_COUNTING_SUBUNIVERSE_ENGINE_H_

#include <cstdint>

#include "counting/closure_rules.h"
#include "counting/component_cache.h"
#include "run/job_model.h"

namespace tallyra {

class SubuniverseEngine {
 public:
  SubuniverseEngine() = default;
  SubuniverseEngine(const SubuniverseEngine&) = delete;
  SubuniverseEngine& operator=(const SubuniverseEngine&) = delete;

  // Parts of the search with at most this many undecided elements are
  // counted by trying each of their subsets.
  static constexpr int kTriedElements = 6;

  // The number of subsets of {1..size} closed under constraints[0..count-1].
  // size is 1..30 (any other size gives 0); every position in the
  // constraints is 1..size; the answer is at most 2^30. The search recurses
  // at most about 60 frames deep.
  SubsetCount count(int size, const Constraint* constraints, int constraintCount);

  // The search nodes of the latest count: the components it counted by
  // branching, not found in the cache.
  int64_t searchNodes() const { return nodes_; }

 private:
  uint32_t excludeForced(uint32_t part, const uint32_t* implied);
  uint32_t closeWith(int x, const uint32_t* implied) const;
  int64_t countPart(uint32_t part, const uint32_t* implied);
  int64_t countByTrying(uint32_t component, const uint32_t* implied) const;
  static constexpr int64_t kExactKeysAfter = 4096;  // search nodes
  uint32_t dependence(uint32_t component);
  int64_t countComponent(uint32_t component, const uint32_t* adjacent, const uint32_t* implied);

  ClosureRules rules_;
  ComponentCache cache_;
  // The search's state: a closed set I of included elements and a set E of
  // excluded ones, disjoint from it.
  uint32_t included_ = 0;
  uint32_t excluded_ = 0;
  int64_t nodes_ = 0;
};

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_SUBUNIVERSE_ENGINE_H_
