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
// counts 2; a part or component of at most Options::triedElements elements
// is counted by trying its subsets, which is cheaper than splitting and
// branching it. Component counts are kept in a fixed-size cache, keyed by
// the component and the part of I that its count depends on. Everything
// lives in fixed tables and on the stack: each level of the search decides
// at least one element, so the recursion is at most |A| levels deep, two
// frames each.
#include "counting/subuniverse_engine.h"

#include <algorithm>
#include <cassert>

namespace tallyra {
namespace {

// The branching rule, the one place in the search that counts bits at
// every node (see SubuniverseEngine::countComponent; a part counted by
// trying counts its subsets once). The program is built for the first
// 64-bit x86 processors, which have no instruction for it, so the rule is
// compiled twice: as it stands (a library routine counts) and for
// processors with the POPCNT instruction, and the engine takes the second
// where the processor has it. Everything else in the search uses
// instructions that every 64-bit x86 processor has.
#if defined(__GNUC__)
#define TALLYRA_INLINE [[gnu::always_inline]] inline
inline int popcount(ElementSet set) { return __builtin_popcountll(set); }
#else
#define TALLYRA_INLINE inline
inline int popcount(ElementSet set) { return std::popcount(set); }
#endif

// What the branching rule weighs, for the elements of one component.
struct BranchMeasures {
  const ElementSet* adjacent;  // the elements each shares an active constraint with
  const ElementSet* implied;   // what each forces (given I)
  const int* occurrences;      // the active pairs each is an operand or a result of
  const int* produced;         // the pairs of the job that produce each
  int pairsRuleAbove;          // weigh by active pairs above this component size
};

TALLYRA_INLINE int chooseBranchInline(ElementSet component, const BranchMeasures& m) {
  // Two passes without data-dependent branches: the best score, then the
  // elements that have it.
  int scores[kMaxEngineElements];
  int best = 0;
  const int size = popcount(component);
  const bool byPairs = size > m.pairsRuleAbove;
  if (byPairs) {
    for (ElementSet rest = component; rest != 0; rest &= rest - 1) {
      int x = lowest(rest);
      const int forces = popcount(m.implied[x] & component);
      const int split = forces < size - forces ? forces : size - forces;
      scores[x] = popcount(m.adjacent[x]) * (m.occurrences[x] + 32 + 8 * split);
      best = scores[x] > best ? scores[x] : best;
    }
  } else {
    for (ElementSet rest = component; rest != 0; rest &= rest - 1) {
      int x = lowest(rest);
      scores[x] = popcount(m.adjacent[x]) * 4096 + m.produced[x];
      best = scores[x] > best ? scores[x] : best;
    }
  }
  ElementSet tied = 0;
  for (ElementSet rest = component; rest != 0; rest &= rest - 1)
    tied |= scores[lowest(rest)] == best ? bitOf(lowest(rest)) : 0;
  if ((tied & (tied - 1)) == 0) return lowest(tied);
  // Among the tied, the first that forces the nearest to half the
  // component.
  int branch = lowest(tied);
  int bestBalance = kMaxEngineElements + 1;
  for (; tied != 0; tied &= tied - 1) {
    int x = lowest(tied);
    int forces = popcount(m.implied[x] & component);
    int balance = forces * 2 > size ? forces * 2 - size : size - forces * 2;
    branch = balance < bestBalance ? x : branch;
    bestBalance = balance < bestBalance ? balance : bestBalance;
  }
  return branch;
}

int chooseBranchPlain(ElementSet component, const BranchMeasures& m) {
  return chooseBranchInline(component, m);
}

#if defined(__GNUC__) && defined(__x86_64__)
[[gnu::target("popcnt")]] int chooseBranchPopcnt(ElementSet component, const BranchMeasures& m) {
  return chooseBranchInline(component, m);
}
#endif

using ChooseBranch = int (*)(ElementSet, const BranchMeasures&);

ChooseBranch branchRuleForThisProcessor() {
#if defined(__GNUC__) && defined(__x86_64__)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("popcnt")) return chooseBranchPopcnt;
#endif
  return chooseBranchPlain;
}

// Chosen once, when the program starts.
const ChooseBranch chooseBranch = branchRuleForThisProcessor();

}  // namespace

void SubuniverseEngine::setOptions(const Options& options) {
  options_ = options;
  options_.triedElements = std::clamp(options_.triedElements, 0, kMaxTriedElements);
  options_.exactKeysAfter = std::max<int64_t>(options_.exactKeysAfter, 0);
  options_.pairsRuleAbove = std::clamp(options_.pairsRuleAbove, 0, kMaxEngineElements);
}

// Throughout, implied[x] for an undecided x is everything that x forces
// given the closed set I: the union of forced[x][y] over y in I and y = x.
// Only the entries of the elements a call works on are meaningful.

SubsetCount SubuniverseEngine::count(int size, const Constraint* constraints, int constraintCount) {
  if (size < 1 || size > kMaxEngineElements) return 0;
  buildClosureRules(size, constraints, constraintCount, rules_);
  included_ = 0;
  excluded_ = 0;
  nodes_ = 0;
  // Without a rule every subset is closed; 2^64 of them do not fit the
  // search's 64-bit counts. With one, some subset is not, and the count is
  // below 2^size.
  ElementSet bound = 0;
  for (int x = 0; x < size; ++x) bound |= rules_.partners[x];
  if (bound == 0) return SubsetCount{1} << size;
  cache_.startJob(size);
  ElementSet implied[kMaxEngineElements];
  for (int x = 0; x < rules_.size; ++x) implied[x] = rules_.forced[x][x];
  uint64_t total = countPart(rules_.all, implied);
  assert(total >= 1 && (size == 64 || total < uint64_t{1} << size));
  return total;
}

bool SubuniverseEngine::atMostTriedElements(ElementSet set) const {
  return atMostElements(set, options_.triedElements);
}

// Excludes the elements of `part` that imply an excluded element, until
// none is left; returns them.
ElementSet SubuniverseEngine::excludeForced(ElementSet part, const ElementSet* implied) {
  ElementSet out = 0;
  for (;;) {
    ElementSet found = 0;
    for (ElementSet rest = part; rest != 0; rest &= rest - 1) {
      int z = lowest(rest);
      if ((implied[z] & excluded_) != 0) found |= bitOf(z);
    }
    if (found == 0) return out;
    excluded_ |= found;
    out |= found;
    part &= ~found;
  }
}

// The closure of I and x, or 0 when it meets E (I is closed, so a
// closure that holds x is never 0).
ElementSet SubuniverseEngine::closeWith(int x, const ElementSet* implied) const {
  ElementSet set = included_ | bitOf(x);
  ElementSet todo = bitOf(x);
  while (todo != 0) {
    int z = lowest(todo);
    todo &= todo - 1;
    ElementSet add = implied[z];
    for (ElementSet ys = rules_.partners[z] & set & ~included_; ys != 0; ys &= ys - 1)
      add |= rules_.forced[z][lowest(ys)];
    add &= ~set;
    if ((add & excluded_) != 0) return 0;
    set |= add;
    todo |= add;
  }
  return set;
}

// The number of ways to complete I inside `part`: a set of undecided
// elements that no active constraint links to any undecided element
// outside it, none of which implies an excluded element. Below 2^64 (the
// caller never hands over 64 free elements).
uint64_t SubuniverseEngine::countPart(ElementSet part, const ElementSet* implied) {
  assert((part & (included_ | excluded_)) == 0);
  // A small part is cheaper to try whole than to split.
  if (atMostTriedElements(part)) return countByTrying(part, implied);
  // adjacent[x]: the elements of `part` that share an active constraint
  // with x; occurrences[x]: the active pairs that x is an operand or a
  // result of, counted only where the branching rule weighs them, in a
  // part large enough for a component above Options::pairsRuleAbove.
  ElementSet adjacent[kMaxEngineElements];
  int occurrences[kMaxEngineElements];
  const int counted = atMostElements(part, options_.pairsRuleAbove) ? 0 : 1;
  for (ElementSet rest = part; rest != 0; rest &= rest - 1) {
    adjacent[lowest(rest)] = 0;
    occurrences[lowest(rest)] = 0;
  }
  for (ElementSet rest = part; rest != 0; rest &= rest - 1) {
    int x = lowest(rest);
    ElementSet linked = implied[x] & part;
    for (ElementSet cs = linked; cs != 0; cs &= cs - 1) adjacent[lowest(cs)] |= bitOf(x);
    // A result in I is there for good; one that x or y forces alone
    // (given I) comes with it whenever both are in, so only the single
    // rule of x or y, which links already, can fail.
    const ElementSet open = ~included_ & ~implied[x];
    const ElementSet* forced = rules_.forced[x];
    int pairs = 0;
    for (ElementSet later = rules_.partners[x] & part & above(x); later != 0; later &= later - 1) {
      const int y = lowest(later);
      const ElementSet results = forced[y] & open & ~implied[y];
      if (results == 0) continue;
      pairs += counted;
      occurrences[y] += counted;
      // A result outside `part` is excluded (or the pair, linking it,
      // would have kept it in): x and y may not both come in, whatever
      // becomes of the other results, so the pair links them alone.
      const bool notBoth = (results & ~part) != 0;
      const ElementSet withY = notBoth ? 0 : results;
      linked |= bitOf(y) | withY;
      adjacent[y] |= bitOf(x) | withY;
      const ElementSet operands = bitOf(x) | bitOf(y);
      for (ElementSet cs = withY; cs != 0; cs &= cs - 1) {
        adjacent[lowest(cs)] |= operands;
        occurrences[lowest(cs)] += counted;
      }
    }
    occurrences[x] += pairs;
    adjacent[x] |= linked;
  }
  uint64_t count = 1;
  int freeElements = 0;
  for (ElementSet rest = part; rest != 0;) {
    ElementSet component = bitOf(lowest(rest));
    ElementSet frontier = component;
    while (frontier != 0) {
      ElementSet grown = adjacent[lowest(frontier)] & ~component;
      frontier = (frontier & (frontier - 1)) | grown;
      component |= grown;
    }
    rest &= ~component;
    if ((component & (component - 1)) == 0)
      ++freeElements;
    else if (atMostTriedElements(component))
      count *= countByTrying(component, implied);
    else
      count *= countComponent(component, adjacent, implied, occurrences);
  }
  assert(freeElements < 64);
  return count << freeElements;
}

// The number of ways to complete I inside a small component, found by
// trying each of its subsets T at once: bit t of a word stands for the
// subset t of the members (bit i of t: members[i]), and each rule that the
// members take part in marks the subsets that break it. I and T together
// are closed when every element of T has what it implies (given I) in I or
// T, and every pair in T its results. A search node and a cache entry cost
// more than that.
uint64_t SubuniverseEngine::countByTrying(ElementSet component, const ElementSet* implied) const {
  assert(atMostTriedElements(component));
  // holding[i]: the subsets that hold members[i].
  static constexpr uint64_t kHolding[kMaxTriedElements] = {
      0xAAAAAAAAAAAAAAAAu, 0xCCCCCCCCCCCCCCCCu, 0xF0F0F0F0F0F0F0F0u,
      0xFF00FF00FF00FF00u, 0xFFFF0000FFFF0000u, 0xFFFFFFFF00000000u};
  int members[kMaxTriedElements];
  int slot[kMaxEngineElements];  // slot[members[i]] = i
  int k = 0;
  for (ElementSet rest = component; rest != 0; rest &= rest - 1) {
    slot[lowest(rest)] = k;
    members[k++] = lowest(rest);
  }
  // Subsets that lack one of `needed` (outside I): those without a member
  // of it, and all of them when it reaches outside the component.
  auto lacking = [&](ElementSet needed) {
    if ((needed & ~component) != 0) return ~uint64_t{0};
    uint64_t lack = 0;
    for (ElementSet zs = needed; zs != 0; zs &= zs - 1) lack |= ~kHolding[slot[lowest(zs)]];
    return lack;
  };
  const ElementSet open = ~included_;
  uint64_t broken = 0;
  for (int i = 0; i < k; ++i) {
    const int x = members[i];
    broken |= kHolding[i] & lacking(implied[x] & open);
    // (forced[x][y] for a y that is no partner of x holds stale bits of
    // earlier jobs.)
    for (ElementSet ys = rules_.partners[x] & component & above(x); ys != 0; ys &= ys - 1) {
      const int y = lowest(ys);
      broken |= kHolding[i] & kHolding[slot[y]] & lacking(rules_.forced[x][y] & open);
    }
  }
  const uint64_t subsets = k == kMaxTriedElements ? ~uint64_t{0} : (uint64_t{1} << (1 << k)) - 1;
  return static_cast<uint64_t>(popcount(subsets & ~broken));
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
// back. So a search's first Options::exactKeysAfter nodes, and after that
// the first sighting of each component, use the partners and results of
// its elements (a superset, one step); from the second sighting on the
// exact set is used, kept in the cache beside the counts.
ElementSet SubuniverseEngine::dependence(ElementSet component) {
  ElementSet depends = 0;
  bool exact = false;
  if (nodes_ < options_.exactKeysAfter) {
    for (ElementSet rest = component; rest != 0; rest &= rest - 1)
      depends |= rules_.partners[lowest(rest)] | rules_.results[lowest(rest)];
    return depends & ~component;
  }
  if (cache_.findDependence(component, depends, exact)) {
    if (exact) return depends;
    if (!rules_.pairsToBuilt) buildPairsTo(rules_);
    depends = 0;
    for (ElementSet rest = component; rest != 0; rest &= rest - 1) {
      int x = lowest(rest);
      for (ElementSet zs = rules_.results[x] & component; zs != 0; zs &= zs - 1)
        depends |= rules_.pairsTo[x][lowest(zs)];
      for (ElementSet ys = rules_.partners[x] & component & above(x); ys != 0; ys &= ys - 1)
        depends |= rules_.forced[x][lowest(ys)];
    }
    exact = true;
#ifndef NDEBUG
    // The exact set lies within the one-step superset.
    ElementSet superset = 0;
    for (ElementSet rest = component; rest != 0; rest &= rest - 1)
      superset |= rules_.partners[lowest(rest)] | rules_.results[lowest(rest)];
    assert((depends & ~superset) == 0);
#endif
  } else {
    for (ElementSet rest = component; rest != 0; rest &= rest - 1)
      depends |= rules_.partners[lowest(rest)] | rules_.results[lowest(rest)];
  }
  depends &= ~component;
  cache_.storeDependence(component, depends, exact);
  return depends;
}

// The number of ways to complete I inside `component`, one component of
// countPart's adjacency.
uint64_t SubuniverseEngine::countComponent(ElementSet component, const ElementSet* adjacent,
                                           const ElementSet* implied, const int* occurrences) {
  // The search's invariants: I is closed, I and E are disjoint, and the
  // component is undecided.
  assert((included_ & excluded_) == 0);
  assert(closeSet(rules_, included_) == included_);
  assert((component & (included_ | excluded_)) == 0);
  const ElementSet relevant = included_ & dependence(component);
  uint64_t known = cache_.find(component, relevant);
  if (known != ComponentCache::kNotFound) return known;
  ++nodes_;

  // Branch on the element with the most links. In a component of more than
  // Options::pairsRuleAbove elements, the links are weighed by the active
  // pairs the element is in (as operand or result) and by how evenly its
  // inclusion splits the component (what it forces, or what it leaves,
  // whichever is less): a result that many pairs share comes early (out,
  // it turns every one of them into "not both in" and frees their other
  // results; in, it satisfies them), and an element that links many others
  // through a few pairs does not outrank it, as it does on its links alone.
  // In a smaller component, links decide and then the pairs of the job
  // that produce the element, the rule every job of up to 30 elements was
  // measured with. Among those that score the same, the one whose
  // inclusion forces the nearest to half the component: a chain of single
  // rules is cut in the middle. The element order of the job decides only
  // between elements that these measures cannot tell apart.
  const BranchMeasures measures{adjacent, implied, occurrences, rules_.produced,
                                options_.pairsRuleAbove};
  const int branch = chooseBranch(component, measures);
  assert((component >> branch & 1) != 0);

  uint64_t count = 0;
  const ElementSet savedIncluded = included_;
  const ElementSet savedExcluded = excluded_;
  // In: I grows to its closure with the element, unless that meets E.
  if (ElementSet closed = closeWith(branch, implied); closed != 0) {
    ElementSet added = closed & ~included_;
    ElementSet undecided = component & ~added;
    ElementSet grownImplied[kMaxEngineElements];
    for (ElementSet xs = undecided; xs != 0; xs &= xs - 1) {
      int x = lowest(xs);
      ElementSet more = implied[x];
      for (ElementSet ds = rules_.partners[x] & added; ds != 0; ds &= ds - 1)
        more |= rules_.forced[x][lowest(ds)];
      grownImplied[x] = more;
    }
    included_ = closed;
    undecided &= ~excludeForced(undecided, grownImplied);
    count += countPart(undecided, grownImplied);
    included_ = savedIncluded;
    excluded_ = savedExcluded;
  }
  // Out.
  excluded_ |= bitOf(branch);
  ElementSet undecided = component & ~bitOf(branch);
  undecided &= ~excludeForced(undecided, implied);
  count += countPart(undecided, implied);
  excluded_ = savedExcluded;

  // I itself completes the component (with none of it), so no count is 0;
  // and the operands of a link without what it needs do not, so none
  // reaches 2^|component|.
  assert(count >= 1);
  cache_.store(component, relevant, count);
  return count;
}

}  // namespace tallyra
