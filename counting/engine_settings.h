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

// The options, each once: its type, name, default, least and greatest
// value, and meaning (the wider types first, so that the fields need no
// padding). EngineOptions, the options by name and the bounds
// that SubuniverseEngine brings values into are made from this table.
//
// A count starts as a short search and becomes a long one when it has made
// longSearchAfter search nodes. A short search keeps to what pays on small
// and easy jobs: cache keys of one-step dependence, parts of up to six
// elements tried at once, the branching rule that weighs pairs only in
// large components. A long search, most of whose lookups miss, keys a
// component's count exactly from its second sighting on (residual keys,
// with residualKeys, but for dense parts), tries parts of up to
// triedElements and weighs pairs at every size.
#define TALLYRA_ENGINE_OPTIONS(X)                                                                  \
  X(int64_t, longSearchAfter, 4096, 0, INT32_MAX,                                                  \
    "a count becomes a long search once it has made this many search nodes (0: from the first "    \
    "node)")                                                                                       \
  X(int, triedElements, 10, 0, kMaxTriedElements,                                                  \
    "parts of at most this many elements are counted by trying their subsets at once, those of "   \
    "more than 6 only in a long search (0 or 1: none is)")                                         \
  X(int, pairsRuleAbove, 30, 0, 256,                                                               \
    "a short search branches on components of more elements by the rule that weighs active "       \
    "pairs, on smaller ones by links and the pairs producing each element (0: the first rule)")    \
  X(int, denseAbove, 30, 0, 256,                                                                   \
    "a part of more elements in which three in four pairs have rules is taken whole and branched " \
    "on by the element that forces the most (0: none is)")                                         \
  X(int, symmetryAbove, 24, 0, 256,                                                                \
    "the least size of a component that a long search keys by an image under the symmetries, "     \
    "less one")                                                                                    \
  X(int, symmetryWork, 4000000, 0, INT32_MAX,                                                      \
    "the most work the search for a job's symmetries may take (in vertices and rules visited), "   \
    "made when a long search first keys a component by them")                                      \
  X(int, narrowAbove, 24, 0, 64,                                                                   \
    "a job of more than 64 elements counts a component of more elements than this, and at most "   \
    "63, as a job of its own in one-word sets (64: none)")                                         \
  X(int, triedJobWork, 2048, 0, INT32_MAX,                                                         \
    "a job of at most 16 elements is counted by trying every subset at once when that is "         \
    "cheaper and visits at most this many words (0: none is)")                                     \
  X(bool, residualKeys, true, 0, 1,                                                                \
    "a long search keys components but dense parts by what is left of the job inside them, "       \
    "compared in full (0: by their exact dependence)")                                             \
  X(bool, symmetry, true, 0, 1,                                                                    \
    "a long search keys components of more than symmetryAbove elements by an image under the "     \
    "job's symmetries (with residual keys)")                                                       \
  X(bool, plainInstructions, false, 0, 1,                                                          \
    "run the search's plain form even where the processor has POPCNT and BMI1")                    \
  X(bool, checkComponents, false, 0, 1,                                                            \
    "slow, for tests: count every part of at most 16 elements again by trying its subsets, "       \
    "whenever it is counted or found in a cache; a difference ends the process")

// (256: the most elements of a job.)
//
// The most elements a part may have to be counted by trying (its subsets
// take 2^6 words), and the most whose subsets are the bits of one word.
constexpr int kMaxTriedElements = 12;
constexpr int kWordTriedElements = 6;
// The most elements of a part that checkComponents counts again.
constexpr int kMostCheckedElements = 16;

struct EngineOptions {
#define TALLYRA_OPTION_FIELD(type, name, value, least, most, meaning) type name = value;
  TALLYRA_ENGINE_OPTIONS(TALLYRA_OPTION_FIELD)
#undef TALLYRA_OPTION_FIELD
};

// The statistics of one count, each once: its name and meaning.
#define TALLYRA_ENGINE_STATISTICS(X)                                                        \
  X(nodes, "components counted by branching")                                               \
  X(cacheLookups, "components looked up in the cache")                                      \
  X(cacheHits, "of them, found")                                                            \
  X(exactDependences, "exact dependence sets worked out for cache keys")                    \
  X(residualLookups, "cache lookups under residual keys")                                   \
  X(residualHits, "of them, found")                                                         \
  X(partsTried, "parts of two or more elements counted by trying their subsets")            \
  X(widePartsTried, "of them, parts of more than six elements")                             \
  X(freeElements, "elements left free, each a factor of 2")                                 \
  X(partsWeighed, "parts whose active pairs were counted for the branching rule")           \
  X(partsDense, "parts taken whole as dense, their links not found")                        \
  X(jobsTried, "whole jobs counted by trying every subset at once")                         \
  X(componentsChecked, "counted again by checkComponents")                                  \
  X(deepestLevel, "the most components branched on inside one another")                     \
  X(longSearchFrom, "the nodes made when the count became a long search (0: it never did)") \
  X(symmetryOrder, "the order of the job's group of symmetries found (0: not sought)")      \
  X(symmetryGenerators, "the generators of that group found")                               \
  X(symmetryListed, "of its elements, those listed for keys (1: symmetry not used)")        \
  X(symmetryWork, "the work the search for them took")                                      \
  X(symmetryMicroseconds, "the time it took")                                               \
  X(symmetricLookups, "cache lookups under an image of a residual key")                     \
  X(symmetricHits, "of them, found")                                                        \
  X(narrowParts, "components of a job of more than 64 elements counted in one-word sets")   \
  X(narrowNodes, "the nodes of those counts")

struct EngineStatistics {
#define TALLYRA_STATISTIC_FIELD(name, meaning) int64_t name = 0;
  TALLYRA_ENGINE_STATISTICS(TALLYRA_STATISTIC_FIELD)
#undef TALLYRA_STATISTIC_FIELD
};

// The options by name, for tools, with their bounds and meanings (0 and
// 1 for the true-or-false ones).
struct EngineOptionName {
  const char* name;
  int64_t least;
  int64_t most;
  const char* meaning;
  int64_t (*get)(const EngineOptions&);
  void (*set)(EngineOptions&, int64_t);
};
std::span<const EngineOptionName> engineOptionNames();

// The options brought into their bounds.
EngineOptions optionsInRange(const EngineOptions& options);

// Sets the options that `list` names, "name=value,name=value,...", in
// `options`; false, with `bad` the entry it could not take, when a name is
// unknown or a value no whole number.
bool setEngineOptions(std::string_view list, EngineOptions& options, std::string_view& bad);

// The statistics by name, for tools.
struct EngineStatisticName {
  const char* name;
  int64_t EngineStatistics::*field;
  const char* meaning;
};
std::span<const EngineStatisticName> engineStatisticNames();

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_ENGINE_SETTINGS_H_
