// The counting engine's options and statistics, side by side: what may be
// set to change how it searches (never what it counts), and what one count
// did. The defaults are the program's; bench/README.md gives the figures
// behind each of them.
#ifndef TALLYRA_COUNTING_ENGINE_SETTINGS_H_
#define TALLYRA_COUNTING_ENGINE_SETTINGS_H_

#include <cstdint>
#include <span>
#include <string_view>

namespace tallyra {

struct EngineOptions {
  // Cache keys hold the exact dependence of a component (see
  // subuniverse_search.cc) once a count has made this many search nodes,
  // from the component's second sighting on; 0: from the first node.
  int64_t exactKeysAfter = 4096;
  // Cache keys are residual keys (residual_cache.h: what is left of the job
  // inside the component, compared in full) once a count has made this
  // many search nodes, but for dense parts; from the first node with 0.
  int64_t residualKeysAfter = 4096;
  // Parts of more than kWordTriedElements elements are counted by trying
  // (as triedElements says) only once a count has made this many search
  // nodes; from the first node with 0.
  int64_t widerTriesAfter = 4096;
  // Parts and components of at most this many undecided elements
  // (0..kMaxTriedElements) are counted by trying each of their subsets
  // (those of more than kWordTriedElements as widerTriesAfter says); 0 or
  // 1: none is, every component of two or more is branched on.
  int triedElements = 9;
  // Components of more elements than this (0..256) are branched on by the
  // rule that weighs links by active pairs, the others by the rule that
  // weighs them by the pairs producing each element (see
  // subuniverse_search.cc); 0: the first rule everywhere.
  int pairsRuleAbove = 30;
  // Parts opened once a count has made this many search nodes are branched
  // on by the first rule at every size, as with pairsRuleAbove 0.
  int64_t pairsRuleEverywhereAfter = 4096;
  // A part of more elements than this (0..256) in which at least three in
  // four pairs of elements have rules of their own is taken as one
  // component without finding its links, and branched on by the element
  // that forces the most (see subuniverse_search.cc); 0: none is.
  int denseAbove = 30;
  // A job of at most kMaxSmallJobElements (16) elements for which trying
  // every subset at once (small_job_count.h) is the cheaper way and visits
  // at most this many words is counted so, without rules or search; 0: none
  // is.
  int triedJobWork = 2048;
  // The search's hot paths are compiled twice, for every 64-bit x86
  // processor and for those with the POPCNT and BMI1 instructions, and run
  // in the second form where the processor has them; with this set, in the
  // first form everywhere (so that tests run both).
  bool plainInstructions = false;
  // A check for tests and the fuzz build, slow: every part and component of
  // at most kMostCheckedElements elements is counted again from the job's
  // constraints as they were given, by trying its subsets, when the search
  // counts it and whenever the cache gives its count; a difference ends the
  // process with a message on standard error.
  bool checkComponents = false;
};

// The most elements a part may have to be counted by trying (its subsets
// take 2^6 words), and the most whose subsets are the bits of one word.
constexpr int kMaxTriedElements = 12;
constexpr int kWordTriedElements = 6;
// The most elements of a part that checkComponents counts again.
constexpr int kMostCheckedElements = 16;

struct EngineStatistics {
  int64_t nodes = 0;              // components counted by branching
  int64_t cacheLookups = 0;       // components looked up in the cache
  int64_t cacheHits = 0;          // of them, found
  int64_t exactDependences = 0;   // exact dependence sets worked out for cache keys
  int64_t residualLookups = 0;    // cache lookups under residual keys
  int64_t residualHits = 0;       // of them, found
  int64_t partsTried = 0;         // parts of two or more elements counted by trying their subsets
  int64_t widePartsTried = 0;     // of them, parts of more than kWordTriedElements
  int64_t freeElements = 0;       // elements left free, each a factor of 2
  int64_t partsWeighed = 0;       // parts whose active pairs were counted for the branching rule
  int64_t partsDense = 0;         // parts taken whole as dense, their links not found
  int64_t jobsTried = 0;          // whole jobs counted by trying every subset at once
  int64_t componentsChecked = 0;  // counted again by checkComponents
  int64_t deepestLevel = 0;       // the most components branched on inside one another
};

// The options by name, for tools: "exactKeysAfter", "residualKeysAfter",
// "triedElements", "widerTriesAfter", "pairsRuleAbove", "pairsRuleEverywhereAfter",
// "denseAbove", "triedJobWork", "plainInstructions" (0 or 1),
// "checkComponents" (0 or 1).
struct EngineOptionName {
  const char* name;
  int64_t (*get)(const EngineOptions&);
  void (*set)(EngineOptions&, int64_t);
};
std::span<const EngineOptionName> engineOptionNames();

// Sets the options that `list` names, "name=value,name=value,...", in
// `options`; false, with `bad` the entry it could not take, when a name is
// unknown or a value no whole number.
bool setEngineOptions(std::string_view list, EngineOptions& options, std::string_view& bad);

// The statistics by name, for tools.
struct EngineStatisticName {
  const char* name;
  int64_t EngineStatistics::*field;
};
std::span<const EngineStatisticName> engineStatisticNames();

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_ENGINE_SETTINGS_H_
