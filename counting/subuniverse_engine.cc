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
// once. The undecided elements split into components that no active
// constraint links; each is counted on its own and the counts multiply. A
// component of one element is free and counts 2; a part or component of at
// most kTriedElements elements is counted by trying its subsets, which is
// cheaper than splitting and branching it. Component counts are kept
// in a fixed-size cache, keyed by the component and the part of I that its
// count depends on. Everything lives in fixed tables and on the stack: each
// level of the search decides at least one element, so the recursion is at
// most |A| levels deep, two frames each.
#include "counting/subuniverse_engine.h"

#include <bit>
#include <cassert>

namespace tallyra {
namespace {

inline uint32_t bitOf(int x) { return uint32_t{1} << x; }

inline int lowest(uint32_t set) { return std::countr_zero(set); }

// Whether `set` has at most kTriedElements elements, without counting bits
// (see popcount below).
inline bool atMostTriedElements(uint32_t set) {
  for (int i = 0; i < SubuniverseEngine::kTriedElements; ++i) set &= set - 1;
  return set == 0;
}

// The branching rule, the one place in the search that counts bits (see
// SubuniverseEngine::countComponent). The program is built for the first
// 64-bit x86 processors, which have no instruction for it, so the rule is
// compiled twice: as it stands (a library routine counts) and for
// processors with the POPCNT instruction, and the engine takes the second
// where the processor has it. Everything else in the search uses
// instructions that every 64-bit x86 processor has.
#if defined(__GNUC__)
#define TALLYRA_INLINE [[gnu::always_inline]] inline
inline int popcount(uint32_t set) { return __builtin_popcount(set); }
#else
#define TALLYRA_INLINE inline
inline int popcount(uint32_t set) { return std::popcount(set); }
#endif

TALLYRA_INLINE int chooseBranchInline(uint32_t component, const uint32_t* adjacent,
                                      const uint32_t* implied, const int* produced) {
  // Two passes without data-dependent branches: the best score, then the
  // elements that have it.
  int scores[kMaxElements];
  int best = 0;
  for (uint32_t rest = component; rest != 0; rest &= rest - 1) {
    int x = lowest(rest);
    scores[x] = popcount(adjacent[x]) * 4096 + produced[x];
    best = scores[x] > best ? scores[x] : best;
  }
  uint32_t tied = 0;
  for (uint32_t rest = component; rest != 0; rest &= rest - 1)
    tied |= scores[lowest(rest)] == best ? bitOf(lowest(rest)) : 0;
  if ((tied & (tied - 1)) == 0) return lowest(tied);
  // Among the tied, the first that forces the nearest to half the
  // component.
  const int size = popcount(component);
  int branch = lowest(tied);
  int bestBalance = kMaxElements;
  for (; tied != 0; tied &= tied - 1) {
    int x = lowest(tied);
    int forces = popcount(implied[x] & component);
    int balance = forces * 2 > size ? forces * 2 - size : size - forces * 2;
    branch = balance < bestBalance ? x : branch;
    bestBalance = balance < bestBalance ? balance : bestBalance;
  }
  return branch;
}

int chooseBranchPlain(uint32_t component, const uint32_t* adjacent, const uint32_t* implied,
                      const int* produced) {
  return chooseBranchInline(component, adjacent, implied, produced);
}

#if defined(__GNUC__) && defined(__x86_64__)
[[gnu::target("popcnt")]] int chooseBranchPopcnt(uint32_t component, const uint32_t* adjacent,
                                                 const uint32_t* implied, const int* produced) {
  return chooseBranchInline(component, adjacent, implied, produced);
}
#endif

using ChooseBranch = int (*)(uint32_t, const uint32_t*, const uint32_t*, const int*);

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

// Throughout, implied[x] for an undecided x is everything that x forces
// given the closed set I: the union of forced[x][y] over y in I and y = x.
// Only the entries of the elements a call works on are meaningful.

SubsetCount SubuniverseEngine::count(int size, const Constraint* constraints, int constraintCount) {
  if (size < 1 || size > kMaxElements) return 0;
  buildClosureRules(size, constraints, constraintCount, rules_);
  cache_.startJob(size);
  uint32_t implied[kMaxElements];
  for (int x = 0; x < rules_.size; ++x) implied[x] = rules_.forced[x][x];
  included_ = 0;
  excluded_ = 0;
  nodes_ = 0;
  int64_t total = countPart(rules_.all, implied);
  assert(total >= 1 && total <= (int64_t{1} << size));
  return total;
}

// Excludes the elements of `part` that imply an excluded element, until
// none is left; returns them.
uint32_t SubuniverseEngine::excludeForced(uint32_t part, const uint32_t* implied) {
  uint32_t out = 0;
  for (;;) {
    uint32_t found = 0;
    for (uint32_t rest = part; rest != 0; rest &= rest - 1) {
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
uint32_t SubuniverseEngine::closeWith(int x, const uint32_t* implied) const {
  uint32_t set = included_ | bitOf(x);
  uint32_t todo = bitOf(x);
  while (todo != 0) {
    int z = lowest(todo);
    todo &= todo - 1;
    uint32_t add = implied[z];
    for (uint32_t ys = rules_.partners[z] & set & ~included_; ys != 0; ys &= ys - 1)
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
// outside it, none of which implies an excluded element.
int64_t SubuniverseEngine::countPart(uint32_t part, const uint32_t* implied) {
  assert((part & (included_ | excluded_)) == 0);
  // A small part is cheaper to try whole than to split.
  if (atMostTriedElements(part)) return countByTrying(part, implied);
  // adjacent[x]: the elements of `part` that share an active constraint
  // with x.
  uint32_t adjacent[kMaxElements];
  for (uint32_t rest = part; rest != 0; rest &= rest - 1) adjacent[lowest(rest)] = 0;
  for (uint32_t rest = part; rest != 0; rest &= rest - 1) {
    int x = lowest(rest);
    uint32_t linked = implied[x] & part;
    for (uint32_t cs = linked; cs != 0; cs &= cs - 1) adjacent[lowest(cs)] |= bitOf(x);
    uint32_t later = rules_.partners[x] & part & ~((uint32_t{2} << x) - 1);
    for (; later != 0; later &= later - 1) {
      int y = lowest(later);
      // A result in I is there for good; one that x or y forces alone
      // (given I) comes with it whenever both are in, so only the single
      // rule of x or y, which links already, can fail.
      uint32_t results = rules_.forced[x][y] & ~included_ & ~implied[x] & ~implied[y];
      if (results == 0) continue;
      // Results outside `part` are excluded here: x and y may not both
      // come in.
      results &= part;
      linked |= bitOf(y) | results;
      adjacent[y] |= bitOf(x) | results;
      for (uint32_t cs = results; cs != 0; cs &= cs - 1)
        adjacent[lowest(cs)] |= bitOf(x) | bitOf(y);
    }
    adjacent[x] |= linked;
  }
  int64_t count = 1;
  int freeElements = 0;
  for (uint32_t rest = part; rest != 0;) {
    uint32_t component = bitOf(lowest(rest));
    uint32_t frontier = component;
    while (frontier != 0) {
      uint32_t grown = adjacent[lowest(frontier)] & ~component;
      frontier = (frontier & (frontier - 1)) | grown;
      component |= grown;
    }
    rest &= ~component;
    if ((component & (component - 1)) == 0)
      ++freeElements;
    else if (atMostTriedElements(component))
      count *= countByTrying(component, implied);
    else
      count *= countComponent(component, adjacent, implied);
  }
  return count << freeElements;
}

// The number of ways to complete I inside a small component, found by
// trying each of its subsets T: I and T together are closed when every
// element of T has what it implies (given I) in I or T, and every pair in
// T its results. A search node and a cache entry cost more than that.
int64_t SubuniverseEngine::countByTrying(uint32_t component, const uint32_t* implied) const {
  assert(atMostTriedElements(component));
  int members[kTriedElements];
  int k = 0;
  for (uint32_t rest = component; rest != 0; rest &= rest - 1) members[k++] = lowest(rest);
  // need[t] and set[t] for the subset t of members (bit i: members[i]):
  // everything its elements and pairs require, and its elements. The
  // subsets with lowest member i come after those of the later members:
  // each is such a subset s of later members with members[i] added, and
  // what the pairs of members[i] with s require grows one member at a time.
  uint32_t need[1 << kTriedElements];
  uint32_t set[1 << kTriedElements];
  need[0] = 0;
  set[0] = 0;
  const uint32_t outside = ~included_;
  int64_t count = 1;
  for (int i = k - 1; i >= 0; --i) {
    const int x = members[i];
    uint32_t withX[kTriedElements];  // the results of x with each later member
    // (forced[x][y] for a y that is no partner of x holds stale bits of
    // earlier jobs; the mask drops them without a branch.)
    for (int j = i + 1; j < k; ++j)
      withX[j] = rules_.forced[x][members[j]] & (0 - (rules_.partners[x] >> members[j] & 1));
    uint32_t pairs[1 << (kTriedElements - 1)];
    pairs[0] = 0;
    const int later = k - 1 - i;
    for (int s = 0; s < (1 << later); ++s) {
      if (s != 0) pairs[s] = pairs[s & (s - 1)] | withX[i + 1 + std::countr_zero(unsigned(s))];
      const int others = s << (i + 1);
      const int t = others | 1 << i;
      need[t] = need[others] | implied[x] | pairs[s];
      set[t] = set[others] | bitOf(x);
      count += (need[t] & outside & ~set[t]) == 0 ? 1 : 0;
    }
  }
  return count;
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
// back. So a search's first kExactKeysAfter nodes, and after that the
// first sighting of each component, use the partners and results of its
// elements (a superset, one step); from the second sighting on the exact
// set is used, kept in the cache beside the counts.
uint32_t SubuniverseEngine::dependence(uint32_t component) {
  uint32_t depends = 0;
  bool exact = false;
  if (nodes_ < kExactKeysAfter) {
    for (uint32_t rest = component; rest != 0; rest &= rest - 1)
      depends |= rules_.partners[lowest(rest)] | rules_.results[lowest(rest)];
    return depends & ~component;
  }
  if (cache_.findDependence(component, depends, exact)) {
    if (exact) return depends;
    if (!rules_.pairsToBuilt) buildPairsTo(rules_);
    depends = 0;
    for (uint32_t rest = component; rest != 0; rest &= rest - 1) {
      int x = lowest(rest);
      for (uint32_t zs = rules_.results[x] & component; zs != 0; zs &= zs - 1)
        depends |= rules_.pairsTo[x][lowest(zs)];
      for (uint32_t ys = rules_.partners[x] & component & ~((uint32_t{2} << x) - 1); ys != 0;
           ys &= ys - 1)
        depends |= rules_.forced[x][lowest(ys)];
    }
    exact = true;
#ifndef NDEBUG
    // The exact set lies within the one-step superset.
    uint32_t superset = 0;
    for (uint32_t rest = component; rest != 0; rest &= rest - 1)
      superset |= rules_.partners[lowest(rest)] | rules_.results[lowest(rest)];
    assert((depends & ~superset) == 0);
#endif
  } else {
    for (uint32_t rest = component; rest != 0; rest &= rest - 1)
      depends |= rules_.partners[lowest(rest)] | rules_.results[lowest(rest)];
  }
  depends &= ~component;
  cache_.storeDependence(component, depends, exact);
  return depends;
}

// The number of ways to complete I inside `component`, one component of
// countPart's adjacency.
int64_t SubuniverseEngine::countComponent(uint32_t component, const uint32_t* adjacent,
                                          const uint32_t* implied) {
  // The search's invariants: I is closed, I and E are disjoint, and the
  // component is undecided.
  assert((included_ & excluded_) == 0);
  assert(closeSet(rules_, included_) == included_);
  assert((component & (included_ | excluded_)) == 0);
  const uint32_t relevant = included_ & dependence(component);
  int64_t known = cache_.find(component, relevant);
  if (known >= 0) return known;
  ++nodes_;

  // Branch on the element with the most links; among those, on the one
  // that the most pairs of the job produce, and then on the one whose
  // inclusion forces the nearest to half the component. Elements that
  // only combine with others (the operand of many facts, the result of
  // none) come late: deciding them one by one leaves the rest linked,
  // while the elements they combine with decide, once in, what all of
  // them force. A chain of single rules is cut in the middle. The element
  // order of the job decides only between elements that these measures
  // cannot tell apart.
  const int branch = chooseBranch(component, adjacent, implied, rules_.produced);
  assert((component >> branch & 1) != 0);

  int64_t count = 0;
  const uint32_t savedIncluded = included_;
  const uint32_t savedExcluded = excluded_;
  // In: I grows to its closure with the element, unless that meets E.
  if (uint32_t closed = closeWith(branch, implied); closed != 0) {
    uint32_t added = closed & ~included_;
    uint32_t undecided = component & ~added;
    uint32_t grownImplied[kMaxElements];
    for (uint32_t xs = undecided; xs != 0; xs &= xs - 1) {
      int x = lowest(xs);
      uint32_t more = implied[x];
      for (uint32_t ds = rules_.partners[x] & added; ds != 0; ds &= ds - 1)
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
  uint32_t undecided = component & ~bitOf(branch);
  undecided &= ~excludeForced(undecided, implied);
  count += countPart(undecided, implied);
  excluded_ = savedExcluded;

  // I itself completes the component (with none of it), so no count is 0.
  assert(count >= 1);
  cache_.store(component, relevant, count);
  return count;
}

}  // namespace tallyra
