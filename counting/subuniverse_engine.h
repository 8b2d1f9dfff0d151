// The engine that counts the subuniverses of a job.
//
// SubuniverseEngine::count() gives the number of subsets of {1..size}
// closed under a table of constraints x*y=z: the same number as
// countByEnumeration() (reference_count.h), found without trying the 2^size
// subsets one by one (the method is described in subuniverse_engine.cc).
//
// An engine holds the whole state of a count: the constraints folded into
// bit masks, the search's sets and a fixed cache of component counts (about
// 1.2 MiB, so keep engines in static storage or on the heap, not on the
// stack). Nothing is allocated during a count. One engine runs one count
// at a time; separate engines may count side by side. Results of earlier
// counts never leak into later ones.
#ifndef TALLYRA_COUNTING_SUBUNIVERSE_ENGINE_H_
#define TALLYRA_COUNTING_SUBUNIVERSE_ENGINE_H_

#include <cstdint>

#include "counting/closure_rules.h"
#include "counting/component_cache.h"
#include "counting/element_set.h"
#include "run/job_model.h"

namespace tallyra {

class SubuniverseEngine {
 public:
  // The most elements that a part may have to be counted by trying: the
  // 2^6 subsets of a part are the bits of one word.
  static constexpr int kMaxTriedElements = 6;

  // Settings that change how the engine searches, never what it counts.
  struct Options {
    // Cache keys hold the exact dependence of a component (see
    // subuniverse_engine.cc) once a count has made this many search nodes,
    // from the component's second sighting on; 0: from the first node.
    int64_t exactKeysAfter = 4096;
    // Parts and components of at most this many undecided elements
    // (0..kMaxTriedElements) are counted by trying each of their subsets;
    // 0 or 1: none is, every component of two or more is branched on.
    int triedElements = 6;
    // Components of more elements than this (0..kMaxEngineElements) are branched
    // on by the rule that weighs links by active pairs, the others by the
    // rule that weighs them by the pairs producing each element (see
    // subuniverse_engine.cc); 0: the first rule everywhere.
    int pairsRuleAbove = 30;
  };

  SubuniverseEngine() = default;
  SubuniverseEngine(const SubuniverseEngine&) = delete;
  SubuniverseEngine& operator=(const SubuniverseEngine&) = delete;

  // For the counts that follow; values out of range are brought into it.
  void setOptions(const Options& options);
  const Options& options() const { return options_; }

  // The number of subsets of {1..size} closed under constraints[0..count-1].
  // size is 1..kMaxEngineElements (any other size gives 0); every position in the
  // constraints is 1..size; the answer is at most 2^size. The search
  // recurses at most about 2 * size frames deep, each of about 1 KiB.
  SubsetCount count(int size, const Constraint* constraints, int constraintCount);

  // The search nodes of the latest count: the components it counted by
  // branching, not found in the cache.
  int64_t searchNodes() const { return nodes_; }

 private:
  ElementSet excludeForced(ElementSet part, const ElementSet* implied);
  ElementSet closeWith(int x, const ElementSet* implied) const;
  bool atMostTriedElements(ElementSet set) const;
  uint64_t countPart(ElementSet part, const ElementSet* implied);
  uint64_t countByTrying(ElementSet component, const ElementSet* implied) const;
  ElementSet dependence(ElementSet component);
  uint64_t countComponent(ElementSet component, const ElementSet* adjacent,
                          const ElementSet* implied, const int* occurrences);

  Options options_;
  ClosureRules rules_;
  ComponentCache cache_;
  // The search's state: a closed set I of included elements and a set E of
  // excluded ones, disjoint from it.
  ElementSet included_ = 0;
  ElementSet excluded_ = 0;
  int64_t nodes_ = 0;
};

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_SUBUNIVERSE_ENGINE_H_
