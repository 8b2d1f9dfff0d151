// The fast count of closed subsets.
//
// A depth-first search decides elements one at a time: in (the closed set
// grows to its closure) or out. The state is a closed set I and a set E of
// excluded elements disjoint from it; every state counts the closed sets S
// with I <= S and S disjoint from E, and I itself is one of them, so no
// branch is ever empty and the work follows the answer, not 2^|A|.
//
// What still matters in a state are the active constraints x*y=z: z not in
// I, x and y not in E, and z not forced by x or by y alone (given I). An
// undecided element that implies an excluded one (given I) is excluded at
// once. A pair with an excluded result can only say "not both in": it
// links its two operands and nothing else. The undecided elements split
// into components that no active constraint links; each is counted on its
// own and the counts multiply. A component of one element is free and
// counts 2; a part or component of at most six elements (the subsets of
// one word), and in a long search of up to EngineOptions::triedElements,
// is counted by trying its subsets, which is cheaper than splitting and
// branching it. Component counts are kept in a fixed-size
// cache, keyed by the component and the part of I that its count depends
// on.
//
// The search keeps its levels in fixed tables instead of recursing: a part
// is split into components (PartLevel), a component is branched on
// (ComponentLevel) and each branch opens the part of what it leaves
// undecided one level further down. Each branch decides at least one
// element, so there are at most |A| levels, and the machine stack holds
// only the frame of countPart and the functions it calls, whatever the
// size of the job.
#include "counting/subuniverse_search.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace tallyra {
namespace {

// The program is built for the first 64-bit x86 processors, which have no
// instructions to count the bits of a word (a library routine counts), to
// find its lowest bit without a test for zero, or to clear that bit in one
// step. The search's hot paths (a part's search with the branches and
// components it takes up, the pass that finds a part's links, the
// branching rule and the counting of small parts by trying) are each
// compiled twice: as they stand, and for processors with POPCNT and BMI1
// (TALLYRA_FAST), where the compiler uses those instructions for the same
// code. The search takes the second where the processor has them, unless
// EngineOptions::plainInstructions says otherwise.
#if defined(__GNUC__) && defined(__x86_64__)
#define TALLYRA_FAST_INSTRUCTIONS 1
#define TALLYRA_FAST [[gnu::target("popcnt,bmi")]]
bool processorHasFastInstructions() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("popcnt") && __builtin_cpu_supports("bmi");
}
#else
#define TALLYRA_FAST_INSTRUCTIONS 0
bool processorHasFastInstructions() { return false; }
#endif
// Asked once, when the program starts.
const bool kFastProcessor = processorHasFastInstructions();

#if defined(__GNUC__)
#define TALLYRA_INLINE [[gnu::always_inline]] inline
TALLYRA_INLINE int bits(uint64_t set) { return __builtin_popcountll(set); }
template <int Words>
TALLYRA_INLINE int bits(const WideSet<Words>& set) {
  int n = 0;
  for (int i = 0; i < Words; ++i) n += __builtin_popcountll(set.word[i]);
  return n;
}
#else
#define TALLYRA_INLINE inline
inline int bits(uint64_t set) { return elementCount(set); }
template <int Words>
inline int bits(const WideSet<Words>& set) {
  return elementCount(set);
}
#endif

// The weights of the branching rules (see takeUpComponents). Above
// EngineOptions::pairsRuleAbove elements an element scores its links times
// its active pairs, plus kPairsBase and kSplitWeight for every element its
// inclusion would force (or leave, whichever is less), so that the links
// count even where few pairs are left and an even split breaks ties among
// hubs. Below, links come first and the pairs of the job that produce the
// element decide between equal links: kLinkWeight exceeds any such number
// of pairs (a job of n elements has n(n-1)/2 pairs, 32,640 at 256), so a
// link always outweighs them. (Every job of up to 64 elements, with at
// most 2,016 pairs, was measured with a weight of 4096, which orders its
// elements the same way.) The largest score, 256 links times 32,768 and
// the pairs, fits an int.
constexpr int kPairsBase = 32;
constexpr int kSplitWeight = 8;
constexpr int kLinkWeight = 32768;

// What the branching rule weighs, for the elements of one component.
template <int Words>
struct BranchMeasures {
  using Set = ElementSetOf<Words>;
  const Set* adjacent;     // the elements each shares an active constraint with
  const Set* implied;      // what each forces (given I)
  const int* occurrences;  // the active pairs each is an operand or a result of
  const int* produced;     // the pairs of the job that produce each
  int pairsRuleAbove;      // weigh by active pairs above this component size
};

template <int Words>
TALLYRA_INLINE int chooseBranchInline(const ElementSetOf<Words>& component,
                                      const BranchMeasures<Words>& m) {
  using Set = ElementSetOf<Words>;
  // Two passes without data-dependent branches: the best score, then the
  // elements that have it.
  int scores[kSetCapacity<Set>];
  int best = 0;
  const int size = bits(component);
  const bool byPairs = size > m.pairsRuleAbove;
  if (byPairs) {
    for (Set rest = component; !isEmpty(rest); rest = withoutLowest(rest)) {
      const int x = lowest(rest);
      const int forces = bits(m.implied[x] & component);
      const int split = forces < size - forces ? forces : size - forces;
      scores[x] = bits(m.adjacent[x]) * (m.occurrences[x] + kPairsBase + kSplitWeight * split);
      best = scores[x] > best ? scores[x] : best;
    }
  } else {
    for (Set rest = component; !isEmpty(rest); rest = withoutLowest(rest)) {
      const int x = lowest(rest);
      scores[x] = bits(m.adjacent[x]) * kLinkWeight + m.produced[x];
      best = scores[x] > best ? scores[x] : best;
    }
  }
  Set tied{};
  for (Set rest = component; !isEmpty(rest); rest = withoutLowest(rest))
    tied |= scores[lowest(rest)] == best ? single<Set>(lowest(rest)) : Set{};
  if (isEmpty(withoutLowest(tied))) return lowest(tied);
  // Among the tied, the first that forces the nearest to half the
  // component.
  int branch = lowest(tied);
  int bestBalance = kSetCapacity<Set> + 1;
  for (; !isEmpty(tied); tied = withoutLowest(tied)) {
    const int x = lowest(tied);
    const int forces = bits(m.implied[x] & component);
    const int balance = forces * 2 > size ? forces * 2 - size : size - forces * 2;
    branch = balance < bestBalance ? x : branch;
    bestBalance = balance < bestBalance ? balance : bestBalance;
  }
  return branch;
}

template <int Words>
int chooseBranchPlain(const ElementSetOf<Words>& component, const BranchMeasures<Words>& m) {
  return chooseBranchInline<Words>(component, m);
}

#if TALLYRA_FAST_INSTRUCTIONS
template <int Words>
TALLYRA_FAST int chooseBranchFast(const ElementSetOf<Words>& component,
                                  const BranchMeasures<Words>& m) {
  return chooseBranchInline<Words>(component, m);
}
#endif

template <int Words>
int chooseBranch(bool fast, const ElementSetOf<Words>& component, const BranchMeasures<Words>& m) {
#if TALLYRA_FAST_INSTRUCTIONS
  if (fast) return chooseBranchFast<Words>(component, m);
#endif
  (void)fast;
  return chooseBranchPlain<Words>(component, m);
}

// The lowest word of a count, for messages.
uint64_t lowWord(uint64_t count) { return count; }
template <int Words>
uint64_t lowWord(const WideUnsigned<Words>& count) {
  return count.word(0);
}

}  // namespace

// Throughout, implied[x] for an undecided x is everything that x forces
// given the closed set I: the union of forced[x][y] over y in I and y = x.
// Only the entries of the elements a level works on are meaningful.

template <int Words>
SubsetCount SubuniverseSearch<Words>::count(int size, const Constraint* constraints,
                                            int constraintCount, const EngineOptions& options,
                                            EngineStatistics& statistics,
                                            const ComponentCheck& check) {
  assert(size >= 1 && size <= kMaxSize);
  options_ = options;
  fast_ = kFastProcessor && !options.plainInstructions;
  triedElements_ = options.widerTriesAfter == 0
                       ? options.triedElements
                       : std::min(options.triedElements, kWordTriedElements);
  statistics_ = EngineStatistics{};
  check_ = &check;
  buildClosureRules(size, constraints, constraintCount, rules_);
  decided_ = Decided{};
  // Without a rule every subset is closed; 2^(64 * Words) of them do not
  // fit the search's counts. With one, some subset is not, and the count is
  // below 2^size.
  Set bound{};
  for (int x = 0; x < size; ++x) bound |= rules_.partners[x];
  if (isEmpty(bound)) {
    statistics_.freeElements += size;
    statistics = statistics_;
    return SubsetCount{1} << size;
  }
  cache_.startJob(size);
  residualStarted_ = false;
  for (int x = 0; x < size; ++x) rootImplied_[x] = rules_.forced[x][x];
  const Count total = countPart(rules_.all, rootImplied_);
  assert(total >= 1 && (size == kMaxSize || total < Count{1} << size));
  statistics_.cacheLookups = statistics_.nodes + statistics_.cacheHits;
  statistics = statistics_;
  return SubsetCount(total);
}

template <int Words>
bool SubuniverseSearch<Words>::atMostTriedElements(const Set& set) const {
  return atMostElements(set, triedElements_);
}

// Excludes the elements of `part` that imply an excluded element, until
// none is left; returns them.
template <int Words>
TALLYRA_INLINE auto SubuniverseSearch<Words>::excludeForced(const Set& part, const Set* implied)
    -> Set {
  return excludeForcedAfter(part, implied, part);
}

// The same, where of `part` only the elements of `unseen` may imply an
// excluded element (the others are known not to).
template <int Words>
TALLYRA_INLINE auto SubuniverseSearch<Words>::excludeForcedAfter(const Set& part,
                                                                 const Set* implied,
                                                                 const Set& unseen) -> Set {
  Set left = part;
  Set out{};
  Set look = unseen;
  for (;;) {
    Set found{};
    for (Set rest = look; !isEmpty(rest); rest = withoutLowest(rest)) {
      const int z = lowest(rest);
      if (!isEmpty(implied[z] & decided_.excluded)) found |= single<Set>(z);
    }
    if (isEmpty(found)) return out;
    decided_.excluded |= found;
    out |= found;
    left &= ~found;
    look = left;
  }
}

// The closure of I and x, or the empty set when it meets E (I is closed,
// so a closure that holds x is never empty).
template <int Words>
TALLYRA_INLINE auto SubuniverseSearch<Words>::closeWith(int x, const Set* implied) const -> Set {
  Set set = decided_.included | single<Set>(x);
  Set todo = single<Set>(x);
  while (!isEmpty(todo)) {
    const int z = lowest(todo);
    todo = withoutLowest(todo);
    Set add = implied[z];
    for (Set ys = rules_.partners[z] & set & ~decided_.included; !isEmpty(ys);
         ys = withoutLowest(ys))
      add |= rules_.forced[z][lowest(ys)];
    add &= ~set;
    if (!isEmpty(add & decided_.excluded)) return Set{};
    set |= add;
    todo |= add;
  }
  return set;
}

// The number of ways to complete I inside `part`: a set of undecided
// elements that no active constraint links to any undecided element
// outside it, none of which implies an excluded element. Below
// 2^(64 * Words) (the caller never hands over that many free elements).
template <int Words>
auto SubuniverseSearch<Words>::countPart(const Set& part, const Set* implied) -> Count {
#if TALLYRA_FAST_INSTRUCTIONS
  if (fast_) return countPartFast(part, implied);
#endif
  return countPartPlain(part, implied);
}

template <int Words>
auto SubuniverseSearch<Words>::countPartPlain(const Set& part, const Set* implied) -> Count {
  return countPartWith(part, implied);
}

#if TALLYRA_FAST_INSTRUCTIONS
template <int Words>
TALLYRA_FAST auto SubuniverseSearch<Words>::countPartFast(const Set& part, const Set* implied)
    -> Count {
  return countPartWith(part, implied);
}
#endif

template <int Words>
TALLYRA_INLINE auto SubuniverseSearch<Words>::countPartWith(const Set& part, const Set* implied)
    -> Count {
  // A small part is cheaper to try whole than to split.
  if (atMostTriedElements(part)) return countByTrying(part, implied);
  // p is the part being split, c the component of it being branched on;
  // a branch of c opens the part p + 1.
  PartLevel* p = parts_;
  ComponentLevel* c = components_;
  openPart(p, part, implied, rules_.partners);
  for (;;) {
    // Take up the components of p until one has a branch that opens a part
    // of its own, one level down.
    if (takeUpComponents(p, c)) {
      ++p;
      ++c;
      continue;
    }
    assert(p->freeElements < 64 * Words);
    const Count counted = p->product << p->freeElements;
    if (p == parts_) return counted;
    // The part was a branch of the component one level up.
    --p;
    --c;
    c->count += counted;
    decided_ = c->before;
    if (nextBranch(p, c)) {
      ++p;
      ++c;
      continue;
    }
    finishComponent(p, c);
  }
}

namespace {

// Finds, for the elements of `part`, the elements of the part that each
// shares an active constraint with (adjacent) and the active pairs each is
// an operand or a result of (occurrences, counted only when `counted` is
// 1). Only the pairs of `candidates` are looked at: the partners of each
// element, or the elements it was linked to in the part that a branch
// opened this one from (nothing links in a branch that did not link
// before it: deciding elements only takes results away from a pair, and a
// pair whose result left the part still links its operands). A function
// of its own so that the compiler knows the tables it writes are not the
// rules it reads.
template <int Words, bool kNotBoth>
TALLYRA_INLINE void findLinksWith(const ElementSetOf<Words> part,
                                  const ElementSetOf<Words> included,
                                  const ElementSetOf<Words>* __restrict implied,
                                  const ClosureRules<Words>& __restrict rules,
                                  const ElementSetOf<Words>* __restrict candidates,
                                  const int counted, ElementSetOf<Words>* __restrict adjacent,
                                  int* __restrict occurrences,
                                  ElementSetOf<Words>* __restrict notBothWith) {
  using Set = ElementSetOf<Words>;
  for (Set rest = part; !isEmpty(rest); rest = withoutLowest(rest)) {
    adjacent[lowest(rest)] = Set{};
    occurrences[lowest(rest)] = 0;
    if (kNotBoth) notBothWith[lowest(rest)] = Set{};
  }
  const Set notIncluded = ~included;
  for (Set rest = part; !isEmpty(rest); rest = withoutLowest(rest)) {
    const int x = lowest(rest);
    Set linked = implied[x] & part;
    for (Set cs = linked; !isEmpty(cs); cs = withoutLowest(cs))
      adjacent[lowest(cs)] |= single<Set>(x);
    // A result in I is there for good; one that x or y forces alone
    // (given I) comes with it whenever both are in, so only the single
    // rule of x or y, which links already, can fail.
    const Set open = notIncluded & ~implied[x];
    const Set* forced = rules.forced[x];
    int pairs = 0;
    // (forced[x][y] for a y that is no partner of x holds stale bits.)
    // (rest without x: the elements of the part above x)
    for (Set later = candidates[x] & rules.partners[x] & withoutLowest(rest); !isEmpty(later);
         later = withoutLowest(later)) {
      const int y = lowest(later);
      const Set results = forced[y] & open & ~implied[y];
      if (isEmpty(results)) continue;
      pairs += counted;
      occurrences[y] += counted;
      // A result outside `part` is excluded (or the pair, linking it,
      // would have kept it in): x and y may not both come in, whatever
      // becomes of the other results, so the pair links them alone.
      const bool notBoth = !isEmpty(results & ~part);
      if (kNotBoth && notBoth) {
        notBothWith[x] |= single<Set>(y);
        notBothWith[y] |= single<Set>(x);
      }
      const Set withY = notBoth ? Set{} : results;
      linked |= single<Set>(y) | withY;
      adjacent[y] |= single<Set>(x) | withY;
      const Set operands = single<Set>(x) | single<Set>(y);
      for (Set cs = withY; !isEmpty(cs); cs = withoutLowest(cs)) {
        adjacent[lowest(cs)] |= operands;
        occurrences[lowest(cs)] += counted;
      }
    }
    occurrences[x] += pairs;
    adjacent[x] |= linked;
  }
}

template <int Words, bool kNotBoth, typename... Args>
void findLinksPlain(Args&&... args) {
  findLinksWith<Words, kNotBoth>(std::forward<Args>(args)...);
}

#if TALLYRA_FAST_INSTRUCTIONS
template <int Words, bool kNotBoth, typename... Args>
TALLYRA_FAST void findLinksFast(Args&&... args) {
  findLinksWith<Words, kNotBoth>(std::forward<Args>(args)...);
}
#endif

template <int Words, bool kNotBoth, typename... Args>
void findLinks(bool fast, Args&&... args) {
#if TALLYRA_FAST_INSTRUCTIONS
  if (fast) return findLinksFast<Words, kNotBoth>(std::forward<Args>(args)...);
#endif
  (void)fast;
  findLinksPlain<Words, kNotBoth>(std::forward<Args>(args)...);
}

// What each element of `undecided` forces once `added` has come into I:
// implied[x] and forced[x][d] for the d added. Returns those of them
// that now imply an element of `excluded`.
template <int Words>
TALLYRA_INLINE ElementSetOf<Words> growImplied(const ElementSetOf<Words> undecided,
                                               const ElementSetOf<Words> added,
                                               const ElementSetOf<Words> excluded,
                                               const ElementSetOf<Words>* __restrict implied,
                                               const ClosureRules<Words>& __restrict rules,
                                               ElementSetOf<Words>* __restrict grown) {
  using Set = ElementSetOf<Words>;
  Set forcedOut{};
  for (Set xs = undecided; !isEmpty(xs); xs = withoutLowest(xs)) {
    const int x = lowest(xs);
    Set more = implied[x];
    for (Set ds = rules.partners[x] & added; !isEmpty(ds); ds = withoutLowest(ds))
      more |= rules.forced[x][lowest(ds)];
    grown[x] = more;
    forcedOut |= isEmpty(more & excluded) ? Set{} : single<Set>(x);
  }
  return forcedOut;
}

// Subsets of up to six members as the bits of a word: bit t stands for the
// subset t (bit i of t: members[i]); kHolding[i] holds the subsets that hold
// members[i].
constexpr uint64_t kHolding[kWordTriedElements] = {0xAAAAAAAAAAAAAAAAu, 0xCCCCCCCCCCCCCCCCu,
                                                   0xF0F0F0F0F0F0F0F0u, 0xFF00FF00FF00FF00u,
                                                   0xFFFF0000FFFF0000u, 0xFFFFFFFF00000000u};
constexpr int kTriedWords = 1 << (kMaxTriedElements - kWordTriedElements);

// countByTrying for a part of more than six members (k of them, at most
// kMaxTriedElements): its subsets take 2^(k - 6) words, the first six
// members picking the bit and the others the word (bit j of the word's
// number: members[6 + j]). A rule marks the subsets that hold its one or
// two members and lack one of what it needs; the words above the rule's
// members in the word's number share one mark, spread over them at the
// end.
template <int Words>
TALLYRA_INLINE uint64_t countWideByTrying(const ClosureRules<Words>& rules,
                                          const ElementSetOf<Words>& part,
                                          const ElementSetOf<Words>& open,
                                          const ElementSetOf<Words>* implied, const int* members,
                                          int k, const int* slot) {
  using Set = ElementSetOf<Words>;
  uint64_t holdLow[kMaxTriedElements];
  unsigned holdHigh[kMaxTriedElements];
  for (int i = 0; i < k; ++i) {
    holdLow[i] = i < kWordTriedElements ? kHolding[i] : ~uint64_t{0};
    holdHigh[i] = i < kWordTriedElements ? 0u : 1u << (i - kWordTriedElements);
  }
  // (k is above kWordTriedElements here; the bound only says so.)
  const int highMembers = k > kWordTriedElements ? k - kWordTriedElements : 0;
  const unsigned words = 1u << highMembers;
  // The subsets of word w that break a rule: broken[w], and brokenAbove[s]
  // of every s within w (those of the rules whose members in the word's
  // number are s and whose needs lie in the first six members or outside
  // the part).
  uint64_t brokenAbove[kTriedWords];
  uint64_t broken[kTriedWords];
  for (unsigned w = 0; w < words; ++w) brokenAbove[w] = broken[w] = 0;
  auto breakRule = [&](int a, int b, const Set& needed) TALLYRA_SET_OPERATION {
    const uint64_t inLow = holdLow[a] & holdLow[b];
    const unsigned inHigh = holdHigh[a] | holdHigh[b];
    uint64_t lackLow = 0;
    unsigned needHigh = 0;
    if (!isEmpty(needed & ~part)) {
      lackLow = ~uint64_t{0};
    } else {
      for (Set zs = needed; !isEmpty(zs); zs = withoutLowest(zs)) {
        const int m = slot[lowest(zs)];
        lackLow |= ~holdLow[m];
        needHigh |= holdHigh[m];
      }
    }
    brokenAbove[inHigh] |= inLow & lackLow;
    if (needHigh == 0) return;
    // The words above inHigh that lack one of the needs in the number.
    for (unsigned w = inHigh; w < words; w = (w + 1) | inHigh)
      broken[w] |= (w & needHigh) != needHigh ? inLow : 0;
  };
  for (int i = 0; i < k; ++i) {
    const int x = members[i];
    breakRule(i, i, implied[x] & open);
    // (forced[x][y] for a y that is no partner of x holds stale bits of
    // earlier jobs.)
    for (Set ys = rules.partners[x] & part & above<Set>(x); !isEmpty(ys); ys = withoutLowest(ys)) {
      const int y = lowest(ys);
      breakRule(i, slot[y], rules.forced[x][y] & open);
    }
  }
  for (unsigned b = 1; b < words; b <<= 1)
    for (unsigned w = 0; w < words; ++w) brokenAbove[w] |= (w & b) != 0 ? brokenAbove[w ^ b] : 0;
  uint64_t closed = 0;
  for (unsigned w = 0; w < words; ++w) closed += bits(~(broken[w] | brokenAbove[w]));
  return closed;
}

}  // namespace

// Makes parts_[depth] the part `part` (more than triedElements elements)
// and finds which of its elements each active constraint links, among the
// pairs of `linkedBefore`: the links of the part it was opened from, or the
// rules' partners.
template <int Words>
TALLYRA_INLINE void SubuniverseSearch<Words>::openPart(PartLevel* level, const Set& part,
                                                       const Set* implied,
                                                       const Set* linkedBefore) {
  assert(level <= parts_ + kMaxSize);
  assert(isEmpty(part & (decided_.included | decided_.excluded)));
  PartLevel& p = *level;
  p.rest = part;
  p.implied = implied;
  p.product = 1;
  p.freeElements = 0;
  // occurrences are counted only in a part large enough for a component
  // above EngineOptions::pairsRuleAbove (or at every size, in a long
  // search).
  p.pairsRuleAbove =
      statistics_.nodes >= options_.pairsRuleEverywhereAfter ? 0 : options_.pairsRuleAbove;
  const int counted = atMostElements(part, p.pairsRuleAbove) ? 0 : 1;
  statistics_.partsWeighed += counted;
  // Residual keys need the pairs that may not both come in.
  p.residual = statistics_.nodes >= options_.residualKeysAfter;
  // The residual cache is started when a search first needs it, so that a
  // short one does not touch it.
  if (p.residual && !residualStarted_) {
    residual_.startJob();
    residualStarted_ = true;
  }
  // A part in which most pairs of elements have rules of their own and most
  // of each element's results lie in the part (a group's or a quasigroup's
  // table, where the results of every element fill the part) is one
  // component in all but name, and finding its links would cost a pass
  // over all its pairs at every node: it is taken whole, and branched on by
  // the element that forces the most. Its component keeps the cache's other
  // keys: residual keys need the links that are not found.
  p.dense = false;
  if (options_.denseAbove > 0 && !atMostElements(part, options_.denseAbove)) {
    // The pairs with rules and the results in the part, counted until too
    // few elements are left to reach three in four of all.
    const int64_t k = bits(part);
    const int64_t wantedPairs = 3 * k * (k - 1);
    const int64_t wantedResults = 3 * k * k;
    int64_t pairs = 0;
    int64_t results = 0;
    int64_t left = k;
    for (Set rest = part; !isEmpty(rest) && 4 * (pairs + left * (k - 1)) >= wantedPairs &&
                          4 * (results + left * k) >= wantedResults;
         rest = withoutLowest(rest), --left) {
      pairs += bits(rules_.partners[lowest(rest)] & part);
      results += bits(rules_.results[lowest(rest)] & part);
    }
    if (4 * pairs >= wantedPairs && 4 * results >= wantedResults) {
      p.dense = true;
      p.residual = false;
      ++statistics_.partsDense;
      return;
    }
  }
  if (p.residual)
    findLinks<Words, true>(fast_, part, decided_.included, implied, rules_, linkedBefore, counted,
                           p.adjacent, p.occurrences, p.notBothWith);
  else
    findLinks<Words, false>(fast_, part, decided_.included, implied, rules_, linkedBefore, counted,
                            p.adjacent, p.occurrences, static_cast<Set*>(nullptr));
}

// Takes up the components of parts_[depth] that are left, multiplying
// their counts into the part's product, until one is to be branched on and
// its branch opens a part one level down (true), or none is left (false).
template <int Words>
TALLYRA_INLINE bool SubuniverseSearch<Words>::takeUpComponents(PartLevel* level,
                                                               ComponentLevel* component_) {
  PartLevel& p = *level;
  // The part's state in locals while components are counted here.
  Set rest = p.rest;
  Count product = p.product;
  int freeElements = p.freeElements;
  while (!isEmpty(rest)) {
    Set component = single<Set>(lowest(rest));
    if (p.dense) {
      component = rest;
    } else {
      // Grown a layer at a time: the links of a layer's elements are read
      // independently of one another, not each after the one before.
      Set frontier = component;
      while (!isEmpty(frontier)) {
        Set reached{};
        for (; !isEmpty(frontier); frontier = withoutLowest(frontier))
          reached |= p.adjacent[lowest(frontier)];
        frontier = reached & ~component;
        component |= frontier;
      }
    }
    rest &= ~component;
    if (isEmpty(withoutLowest(component))) {
      ++freeElements;
      continue;
    }
    if (atMostTriedElements(component)) {
      product *= countByTrying(component, p.implied);
      continue;
    }
    // The search's invariants: I is closed, I and E are disjoint, and the
    // component is undecided.
    assert(isEmpty(decided_.included & decided_.excluded));
    assert(closeSet(rules_, decided_.included) == decided_.included);
    assert(isEmpty(component & (decided_.included | decided_.excluded)));
    typename ResidualCache<Words>::Key key;
    key.length = 0;
    Set relevant{};
    Count known;
    if (p.residual) {
      known = findResidual(component, p, key);
    } else {
      relevant = decided_.included & dependence(component);
      known = cache_.find(component, relevant);
    }
    if (known != ComponentCache<Words>::kNotFound) {
      ++statistics_.cacheHits;
      if (options_.checkComponents) check(component, known);
      product *= known;
      continue;
    }
    ++statistics_.nodes;
    if (statistics_.nodes == options_.widerTriesAfter) triedElements_ = options_.triedElements;
    const int64_t depth = level - parts_ + 1;
    if (depth > statistics_.deepestLevel) statistics_.deepestLevel = depth;
    p.rest = rest;
    p.product = product;
    p.freeElements = freeElements;

    // Branch on the element with the most links. In a component of more than
    // EngineOptions::pairsRuleAbove elements, the links are weighed by the
    // active pairs the element is in (as operand or result) and by how
    // evenly its inclusion splits the component (what it forces, or what it
    // leaves, whichever is less): a result that many pairs share comes early
    // (out, it turns every one of them into "not both in" and frees their
    // other results; in, it satisfies them), and an element that links many
    // others through a few pairs does not outrank it, as it does on its links
    // alone. In a smaller component, links decide and then the pairs of the
    // job that produce the element, the rule every job of up to 30 elements
    // was measured with. Among those that score the same, the one whose
    // inclusion forces the nearest to half the component: a chain of single
    // rules is cut in the middle. The element order of the job decides only
    // between elements that these measures cannot tell apart.
    ComponentLevel& c = *component_;
    c.component = component;
    c.relevant = relevant;
    c.residualKey = key;
    if (key.length > 0) residual_.take(key);
    c.before = decided_;
    c.count = 0;
    c.branchesDone = 0;
    const BranchMeasures<Words> measures{p.adjacent, p.implied, p.occurrences, rules_.produced,
                                         p.pairsRuleAbove};
    if (p.dense) {
      int most = -1;
      for (Set elements = component; !isEmpty(elements); elements = withoutLowest(elements)) {
        const int x = lowest(elements);
        const int forces = bits(p.implied[x] & component);
        c.branch = forces > most ? x : c.branch;
        most = forces > most ? forces : most;
      }
    } else {
      c.branch = chooseBranch<Words>(fast_, component, measures);
    }
    assert(has(component, c.branch));
    if (nextBranch(level, component_)) return true;
    finishComponent(level, component_);
    product = p.product;
  }
  p.rest = rest;
  p.product = product;
  p.freeElements = freeElements;
  statistics_.freeElements += freeElements;
  return false;
}

// Counts the branches of components_[depth] that are left, in, then out,
// until one leaves a part of more than triedElements elements, which it
// opens one level down (true), or both are counted (false). The state is
// the component's own again after each branch counted here.
template <int Words>
TALLYRA_INLINE bool SubuniverseSearch<Words>::nextBranch(PartLevel* level,
                                                         ComponentLevel* component) {
  ComponentLevel& c = *component;
  const Set* implied = level->implied;
  while (c.branchesDone < 2) {
    const bool in = c.branchesDone++ == 0;
    Set undecided;
    const Set* branchImplied;
    if (in) {
      // In: I grows to its closure with the element, unless that meets E.
      const Set closed = closeWith(c.branch, implied);
      if (isEmpty(closed)) continue;
      const Set added = closed & ~decided_.included;
      undecided = c.component & ~added;
      Set* grown = c.grownImplied;
      const Set forcedOut =
          growImplied<Words>(undecided, added, decided_.excluded, implied, rules_, grown);
      decided_.included = closed;
      // growImplied has found the elements that now imply an excluded one
      // (E has not grown since): the first round of excluding them.
      undecided &= ~excludeForcedAfter(undecided, grown, forcedOut);
      branchImplied = grown;
    } else {
      decided_.excluded |= single<Set>(c.branch);
      undecided = c.component & ~single<Set>(c.branch);
      undecided &= ~excludeForced(undecided, implied);
      branchImplied = implied;
    }
    if (!atMostTriedElements(undecided)) {
      // A dense part has no links of its own.
      openPart(level + 1, undecided, branchImplied,
               level->dense ? rules_.partners : level->adjacent);
      return true;
    }
    c.count += countByTrying(undecided, branchImplied);
    decided_ = c.before;
  }
  return false;
}

// Both branches of components_[depth] are counted: its count goes to the
// cache and into the product of the part it belongs to.
template <int Words>
TALLYRA_INLINE void SubuniverseSearch<Words>::finishComponent(PartLevel* level,
                                                              ComponentLevel* component) {
  ComponentLevel& c = *component;
  // I itself completes the component (with none of it), so no count is 0;
  // and the operands of a link without what it needs do not, so none
  // reaches 2^|component|.
  assert(c.count >= 1);
  if (options_.checkComponents) check(c.component, c.count);
  if (c.residualKey.length > 0)
    residual_.store(c.residualKey, c.count);
  else
    cache_.store(c.component, c.relevant, c.count);
  level->product *= c.count;
}

// The number of ways to complete I inside a small part, found by trying
// each of its subsets T at once: bit t of a word stands for the subset t
// of the members (bit i of t: members[i]; a part of more than six takes
// several words, see countWideByTrying), and each rule that the members
// take part in marks the subsets that break it. I and T together are
// closed when every element of T has what it implies (given I) in I or T,
// and every pair in T its results. A search node and a cache entry cost
// more than that. (In a short search a part of seven or more is split
// instead: there its components' counts come back from the cache more
// cheaply than trying them again.)
template <int Words>
auto SubuniverseSearch<Words>::countByTrying(const Set& part, const Set* implied) -> Count {
#if TALLYRA_FAST_INSTRUCTIONS
  if (fast_) return countByTryingFast(part, implied);
#endif
  return countByTryingPlain(part, implied);
}

template <int Words>
auto SubuniverseSearch<Words>::countByTryingPlain(const Set& part, const Set* implied) -> Count {
  return countByTryingWith(part, implied);
}

#if TALLYRA_FAST_INSTRUCTIONS
template <int Words>
TALLYRA_FAST auto SubuniverseSearch<Words>::countByTryingFast(const Set& part, const Set* implied)
    -> Count {
  return countByTryingWith(part, implied);
}
#endif

template <int Words>
TALLYRA_INLINE auto SubuniverseSearch<Words>::countByTryingWith(const Set& part, const Set* implied)
    -> Count {
  assert(atMostTriedElements(part));
  int members[kMaxTriedElements];
  int slot[kMaxSize];  // slot[members[i]] = i
  int k = 0;
  for (Set rest = part; !isEmpty(rest); rest = withoutLowest(rest)) {
    slot[lowest(rest)] = k;
    members[k++] = lowest(rest);
  }
  const Set open = ~decided_.included;
  uint64_t closed;
  if (k <= kWordTriedElements) {
    // Subsets that lack one of `needed` (outside I): those without a member
    // of it, and all of them when it reaches outside the part.
    auto lacking = [&](const Set& needed) {
      if (!isEmpty(needed & ~part)) return ~uint64_t{0};
      uint64_t lack = 0;
      for (Set zs = needed; !isEmpty(zs); zs = withoutLowest(zs))
        lack |= ~kHolding[slot[lowest(zs)]];
      return lack;
    };
    uint64_t broken = 0;
    for (int i = 0; i < k; ++i) {
      const int x = members[i];
      broken |= kHolding[i] & lacking(implied[x] & open);
      // (forced[x][y] for a y that is no partner of x holds stale bits of
      // earlier jobs.)
      for (Set ys = rules_.partners[x] & part & above<Set>(x); !isEmpty(ys);
           ys = withoutLowest(ys)) {
        const int y = lowest(ys);
        broken |= kHolding[i] & kHolding[slot[y]] & lacking(rules_.forced[x][y] & open);
      }
    }
    const uint64_t subsets = k == kWordTriedElements ? ~uint64_t{0} : (uint64_t{1} << (1 << k)) - 1;
    closed = static_cast<uint64_t>(bits(subsets & ~broken));
  } else {
    closed = countWideByTrying<Words>(rules_, part, open, implied, members, k, slot);
    ++statistics_.widePartsTried;
  }
  statistics_.partsTried += k >= 2 ? 1 : 0;
  const Count counted = closed;
  if (options_.checkComponents) check(part, counted);
  return counted;
}

// What the count of a component depends on besides the component itself:
// the count is the number of subsets T of the component with I and T
// together closed, and whether such a union is closed turns on the
// constraints with both operands in it. Those with an operand w in I and
// one x in the component act through forced[x][w], which lies in I or in
// the component (anything else would have excluded x or linked it), and
// matter only for the w whose forced[x][w] meets the component. Those with
// both operands in the component act through their results: in the
// component, in I (satisfied) or elsewhere (the two may not both come in).
// So the count depends on the component and on which elements of those
// two kinds are in I. Both kinds are fixed by the component alone, and any
// set D that holds them all makes (component, I & D) an exact cache key:
// two states with the same key agree on every element that matters. The
// reductions that decide what links change nothing here.
//
// Finding exactly those elements takes a pass over the pairs of the
// component, worth it only in a long search and for components that come
// back. So a search's first EngineOptions::exactKeysAfter nodes, and after
// that the first sighting of each component, use the partners and results
// of its elements (a superset, one step); from the second sighting on the
// exact set is used, kept in the cache beside the counts.
template <int Words>
auto SubuniverseSearch<Words>::oneStepDependence(const Set& component) const -> Set {
  Set depends{};
  for (Set rest = component; !isEmpty(rest); rest = withoutLowest(rest))
    depends |= rules_.partners[lowest(rest)] | rules_.results[lowest(rest)];
  return depends;
}

template <int Words>
auto SubuniverseSearch<Words>::dependence(const Set& component) -> Set {
  if (statistics_.nodes < options_.exactKeysAfter) return oneStepDependence(component) & ~component;
  Set depends{};
  bool exact = false;
  if (cache_.findDependence(component, depends, exact)) {
    if (exact) return depends;
    if (!rules_.pairsToBuilt) buildPairsTo(rules_);
    ++statistics_.exactDependences;
    depends = Set{};
    forEach(component, [&](int x) {
      forEach(rules_.results[x] & component, [&](int z) { depends |= rules_.pairsTo[x][z]; });
      forEach(rules_.partners[x] & component & above<Set>(x),
              [&](int y) { depends |= rules_.forced[x][y]; });
    });
    exact = true;
    // The exact set lies within the one-step superset.
    assert(isEmpty(depends & ~oneStepDependence(component)));
  } else {
    depends = oneStepDependence(component);
  }
  depends &= ~component;
  cache_.storeDependence(component, depends, exact);
  return depends;
}

// Looks the component up under its residual key, which it makes in `key`:
// the component, then the elements that need something inside it and the
// elements that may not come in with some other, as two sets, then what
// each of the first needs and with which each of the second may not come
// in (most elements need nothing, so the key leaves them out).
template <int Words>
TALLYRA_INLINE auto SubuniverseSearch<Words>::findResidual(const Set& component, const PartLevel& p,
                                                           typename ResidualCache<Words>::Key& key)
    -> Count {
  ++statistics_.residualLookups;
  key.component = component;
  key.length = 2 + 2 * bits(component);  // the most it takes
  Set* needs = residual_.needsAt(key);
  Set needing{};
  Set excluding{};
  int length = 2;
  int excludes = 0;
  uint64_t hash = mixedWord(component) * 0x9E3779B97F4A7C15u;
  for (Set rest = component; !isEmpty(rest); rest = withoutLowest(rest)) {
    const int x = lowest(rest);
    const Set need = p.implied[x] & component;
    const Set notWith = p.notBothWith[x];
    needs[length] = need;
    notWithScratch_[excludes] = notWith;
    const bool needsAny = !isEmpty(need);
    const bool excludesAny = !isEmpty(notWith);
    needing |= needsAny ? single<Set>(x) : Set{};
    excluding |= excludesAny ? single<Set>(x) : Set{};
    hash = (hash ^ mixedWord(need) ^ (mixedWord(notWith) << 1)) * 0xBF58476D1CE4E5B9u;
    length += needsAny ? 1 : 0;
    excludes += excludesAny ? 1 : 0;
  }
  for (int i = 0; i < excludes; ++i) needs[length + i] = notWithScratch_[i];
  needs[0] = needing;
  needs[1] = excluding;
  key.length = length + excludes;
  hash ^= hash >> 31;
  key.hash = hash;
  const Count known = residual_.find(key);
  if (known != 0) ++statistics_.residualHits;
  return known;
}

// With EngineOptions::checkComponents: `counted`, the engine's count of the
// ways to complete I inside `part`, against the count of ComponentCheck.
template <int Words>
void SubuniverseSearch<Words>::check(const Set& part, const Count& counted) {
  if (!atMostElements(part, kMostCheckedElements)) return;
  ++statistics_.componentsChecked;
  const uint64_t again = check_->count(part, decided_.included);
  if (counted == Count{again}) return;
  std::fprintf(stderr,
               "tallyra: the engine counts a part of %d elements (the first %d) as having %llu "
               "completions, trying its subsets gives %llu\n",
               bits(part), lowest(part) + 1, static_cast<unsigned long long>(lowWord(counted)),
               static_cast<unsigned long long>(again));
  std::abort();
}

template class SubuniverseSearch<1>;
template class SubuniverseSearch<2>;
template class SubuniverseSearch<4>;

}  // namespace tallyra
