// The search that counts the subuniverses of one job, for one width of
// element sets (one, two or four 64-bit words: jobs of up to 64, 128 or 256
// elements). SubuniverseEngine (subuniverse_engine.h) picks the width per
// job; the method is described in subuniverse_search.cc.
//
// A search holds the job's rules, fixed caches and its per-level state in
// fixed tables (sizeof: 6.8 MiB for one word, 13.3 MiB for two, 33.1 MiB
// for four, of which the residual cache's arena is more than half: keep
// searches in static storage or on the heap). None of it is written when a
// search is made; a count writes what its job reaches: the levels its
// parts go down to, the entries of the elements they hold, the caches'
// slots its stores reach (table_reach.h) and the arena a long search
// fills. It does not recurse: every level of the search lives in those
// tables, so the machine stack it needs is small and the same at every
// size. Nothing is allocated during a count but, once in a process, the
// room for the symmetries of a job (job_symmetry.h).
#ifndef TALLYRA_COUNTING_SUBUNIVERSE_SEARCH_H_
#define TALLYRA_COUNTING_SUBUNIVERSE_SEARCH_H_

#include <cstdint>

#include "counting/closure_rules.h"
#include "counting/component_cache.h"
#include "counting/component_check.h"
#include "counting/element_set.h"
#include "counting/engine_settings.h"
#include "counting/job_symmetry.h"
#include "counting/residual_cache.h"
#include "counting/search_symmetry.h"
#include "run/job_model.h"

namespace tallyra {

template <int Words>
class SubuniverseSearch;

// What counts components of a wider search as jobs of their own in one-word
// sets, with room for their constraints (kMaxConstraints of them).
struct NarrowCounting {
  SubuniverseSearch<1>* search = nullptr;
  JobSymmetry* symmetry = nullptr;
  ComponentCheck* check = nullptr;  // started on each such job when checking
  Constraint* constraints = nullptr;
};

// (Most of the padding of a search is at its end, up to the caches' 64-byte
// alignment, which no order of the members removes; the padding check
// counts it for one width and not for the others, as the sizes fall.)
template <int Words>
class SubuniverseSearch {  // NOLINT(clang-analyzer-optin.performance.Padding)
 public:
  using Set = ElementSetOf<Words>;
  using Count = PartCountOf<Words>;
  static constexpr int kMaxSize = kSetCapacity<Set>;

  SubuniverseSearch() = default;
  SubuniverseSearch(const SubuniverseSearch&) = delete;
  SubuniverseSearch& operator=(const SubuniverseSearch&) = delete;

  // The number of subsets of {1..size} closed under
  // constraints[0..constraintCount-1] (positions 1..size, size 1..kMaxSize),
  // with `options` (already in range); what the count did goes to
  // `statistics`. `check` is used when options.checkComponents is set, and
  // has been started on the same job; `symmetry` when options.symmetry is.
  // With `excluded` (1..size), the subsets that leave out that element.
  SubsetCount count(int size, const Constraint* constraints, int constraintCount,
                    const EngineOptions& options, EngineStatistics& statistics,
                    const ComponentCheck& check, JobSymmetry& symmetry, int excluded = 0);

  // The same for a job given by its rules rather than its constraints:
  // fill(rules) writes them between startClosureRules() and
  // finishClosureRules() (closure_rules.h). The constraints that its
  // symmetries and the check need are made from the rules into `room`
  // (kMaxConstraints of them) when they are needed; `check` is started
  // here. (For a wider search's components: see NarrowCounting.)
  template <typename Fill>
  SubsetCount countRules(int size, Fill fill, Constraint* room, const EngineOptions& options,
                         EngineStatistics& statistics, ComponentCheck& check, JobSymmetry& symmetry,
                         int excluded);

  // For a search of two or four words: what counts its components of at
  // most 63 elements as jobs of their own (EngineOptions::narrowAbove).
  void setNarrow(const NarrowCounting& narrow) { narrow_ = narrow; }

 private:
  // What is decided in a state of the search: a closed set I of included
  // elements and a set E of excluded ones, disjoint from it. (Without
  // initial values, so that the levels' copies cost nothing until used.)
  struct Decided {
    Set included;
    Set excluded;
  };

  // A part of undecided elements being split into components and counted:
  // the components found so far are multiplied into `product`.
  struct PartLevel {
    Set rest;            // the part's elements not yet in a component taken up
    const Set* implied;  // what each element of the part forces (given I)
    Count product;       // the counts of the components taken up so far
    int freeElements;    // components of one element, each a factor of 2
    // For the part's elements: the elements of the part that each shares an
    // active constraint with, and the active pairs each is an operand or a
    // result of (counted only where the branching rule weighs them).
    Set adjacent[kMaxSize];
    int occurrences[kMaxSize];
    // With residual keys, for each element the others of the part that it
    // may not come in with (a pair of them has a result outside the part,
    // so excluded); `residual` says whether its components use them.
    Set notBothWith[kMaxSize];
    bool residual;
    bool dense;
    // Components above this size are branched on by the rule that weighs
    // active pairs.
    int pairsRuleAbove;
  };

  // A component being branched on: first with `branch` in, then out.
  struct ComponentLevel {
    Set component;
    Set relevant;  // the part of I its cache key holds
    // Its residual key, when residual keys are used (residualKey.length 0
    // otherwise).
    typename ResidualCache<Words>::Key residualKey;
    Decided before;    // the state it was taken up in, restored after each branch
    Count count;       // the branches counted so far
    int branch;        // the element branched on
    int branchesDone;  // 0, 1 or 2
    // What each element forces once the branch's element is in (given the
    // grown I): the `implied` of the part that the in-branch opens.
    Set grownImplied[kMaxSize];
  };

  // The search's functions of the hot paths take the instruction form
  // (instruction_form.h) as a template parameter; count() picks it.
  template <bool kFast>
  Count countPart(const Set& part, const Set* implied);
  template <bool kFast>
  void openPart(PartLevel* level, const Set& part, const Set* implied, const Set* linkedBefore);
  template <bool kFast>
  bool takeUpComponents(PartLevel* level, ComponentLevel* component);
  template <bool kFast>
  bool nextBranch(PartLevel* level, ComponentLevel* component);
  void finishComponent(PartLevel* level, ComponentLevel* component);
  void becomeLongSearch();
  void startCount(const EngineOptions& options, const ComponentCheck& check, JobSymmetry& symmetry);
  // count() and countRules() once the rules are built.
  SubsetCount countBuilt(EngineStatistics& statistics, int excluded);
  Set excludeForced(const Set& part, const Set* implied);
  Set excludeForcedAfter(const Set& part, const Set* implied, const Set& unseen);
  Set closeWith(int x, const Set* implied) const;
  bool atMostTriedElements(const Set& set) const;
  template <bool kFast>
  Count countByTrying(const Set& part, const Set* implied);
  Count findInCache(const Set& component, const PartLevel& p, Set& relevant,
                    typename ResidualCache<Words>::Key& key);
  Set dependence(const Set& component);
  bool countNarrow(const Set& component, const PartLevel& p, Count& counted);
  bool symmetricKeys(const Set& component);
  void makeSymmetric(const Set& component, const PartLevel& p,
                     typename ResidualCache<Words>::Key& key);
  void check(const Set& part, const Count& counted);

  // The caches first: their slots are aligned to the processor's cache
  // lines.
  ComponentCache<Words> cache_;
  ResidualCache<Words> residual_;
  EngineOptions options_;
  EngineStatistics statistics_;
  const ComponentCheck* check_ = nullptr;
  // The job as given, for the search for its symmetries.
  // (nullptr for a job given by its rules: then made into constraintRoom_.)
  const Constraint* constraints_ = nullptr;
  Constraint* constraintRoom_ = nullptr;
  JobSymmetry* symmetry_ = nullptr;
  int constraintCount_ = 0;
  NarrowCounting narrow_;
  // Whether this count's symmetries have been sought, and whether they
  // are used.
  bool symmetrySought_ = false;
  bool symmetric_ = false;
  // The components keyed by an image in this count, and of them those
  // found under an image that is not their own key: every kSymmetryCheck
  // of the first, symmetry is kept only if the second are at least one in
  // kSymmetryGainRatio of them.
  static constexpr int kSymmetryCheck = 1024;
  static constexpr int kSymmetryGainRatio = 64;
  int64_t imagesMade_ = 0;
  int64_t imageGains_ = 0;
  // The group element whose image keyed the latest component looked up (0:
  // its own key); the component branches in the order of its images.
  int keyImage_ = 0;
  ClosureRules<Words> rules_;
  Decided decided_{};
  // The non-empty "may not come in with" sets of a residual key being made.
  Set notWithScratch_[kMaxSize];
  // What each element forces alone: the `implied` of the whole job.
  Set rootImplied_[kMaxSize];
  // Level d: parts_[d] is a part, components_[d] the component of it being
  // branched on, parts_[d + 1] the part that one of its branches opened.
  // Each branch decides at least one element, so a job of n elements needs
  // at most n levels.
  PartLevel parts_[kMaxSize + 1];
  ComponentLevel components_[kMaxSize];
  // Room for keys under the symmetries (last: a count without them never
  // touches it).
  SymmetricKeyScratch<Words> symmetricScratch_;
  // Whether this count has become a long search (engine_settings.h).
  bool long_ = false;
  // Parts and components of at most this many elements are counted by
  // trying their subsets: at most kWordTriedElements in a short search,
  // EngineOptions::triedElements in a long one.
  int triedElements_ = 0;
};

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_SUBUNIVERSE_SEARCH_H_
