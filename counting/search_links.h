// Component analysis: which undecided elements the active constraints link,
// the test for a dense part, and a component grown from its links. A piece
// of the search (subuniverse_search.cc), included by it alone.
//
// An active constraint x*y=z (z not in I, x and y not in E, z not forced by
// x or y alone given I) links x, y and z; one whose result is excluded can
// only say "x and y not both in" and links the two operands alone. The
// undecided elements split into components that no active constraint links.
#ifndef TALLYRA_COUNTING_SEARCH_LINKS_H_
#define TALLYRA_COUNTING_SEARCH_LINKS_H_

#include <cstdint>

#include "counting/closure_rules.h"
#include "counting/element_set.h"
#include "counting/instruction_form.h"

namespace tallyra {

// What the pass over a part's pairs writes, for each element x of the part.
template <int Words>
struct PartLinks {
  using Set = ElementSetOf<Words>;
  Set* __restrict adjacent;     // the elements of the part x shares an active constraint with
  int* __restrict occurrences;  // the active pairs x is an operand or a result of
  // the others of the part x may not come in with (written with kNotBoth)
  Set* __restrict notBothWith;
};

// Finds the links of the elements of `part` into `out`; occurrences are
// counted only when `counted` is 1. Only the pairs of `candidates` are
// looked at: the partners of each element, or the elements it was linked to
// in the part that a branch opened this one from (nothing links in a branch
// that did not link before it: deciding elements only takes results away
// from a pair, and a pair whose result left the part still links its
// operands). A function of its own so that the compiler knows the tables it
// writes are not the rules it reads.
template <int Words, bool kNotBoth>
TALLYRA_INLINE void findLinks(const ElementSetOf<Words> part, const ElementSetOf<Words> included,
                              const ElementSetOf<Words>* __restrict implied,
                              const ClosureRules<Words>& __restrict rules,
                              const ElementSetOf<Words>* __restrict candidates, const int counted,
                              const PartLinks<Words> out) {
  using Set = ElementSetOf<Words>;
  Set* __restrict adjacent = out.adjacent;
  int* __restrict occurrences = out.occurrences;
  Set* __restrict notBothWith = out.notBothWith;
  // (Elements are visited word by word, forEach: for sets of several words
  // that costs a few instructions an element, where taking the lowest
  // element off costs a pass over the words.)
  forEach(part, [&](int x) TALLYRA_INLINE_LAMBDA {
    adjacent[x] = Set{};
    occurrences[x] = 0;
    if (kNotBoth) notBothWith[x] = Set{};
  });
  const Set notIncluded = ~included;
  for (Set rest = part; !isEmpty(rest); rest = withoutLowest(rest)) {
    const int x = lowest(rest);
    Set linked = implied[x] & part;
    forEach(linked, [&](int c) TALLYRA_INLINE_LAMBDA { insert(adjacent[c], x); });
    // A result in I is there for good; one that x or y forces alone
    // (given I) comes with it whenever both are in, so only the single
    // rule of x or y, which links already, can fail.
    const Set open = notIncluded & ~implied[x];
    const Set* forced = rules.forced[x];
    int pairs = 0;
    // (forced[x][y] for a y that is no partner of x holds stale bits.)
    // (rest without x: the elements of the part above x)
    forEach(candidates[x] & rules.partners[x] & withoutLowest(rest),
            [&](int y) TALLYRA_INLINE_LAMBDA {
              const Set results = forced[y] & open & ~implied[y];
              if (isEmpty(results)) return;
              pairs += counted;
              occurrences[y] += counted;
              // A result outside `part` is excluded (or the pair, linking it,
              // would have kept it in): x and y may not both come in, whatever
              // becomes of the other results, so the pair links them alone.
              const bool notBoth = !isEmpty(results & ~part);
              if (kNotBoth && notBoth) {
                insert(notBothWith[x], y);
                insert(notBothWith[y], x);
              }
              if (notBoth) {
                insert(linked, y);
                insert(adjacent[y], x);
                return;
              }
              linked |= results;
              insert(linked, y);
              adjacent[y] |= results;
              insert(adjacent[y], x);
              const Set operands = single<Set>(x) | single<Set>(y);
              forEach(results, [&](int c) TALLYRA_INLINE_LAMBDA {
                adjacent[c] |= operands;
                occurrences[c] += counted;
              });
            });
    occurrences[x] += pairs;
    adjacent[x] |= linked;
  }
}

// Whether `part` is dense: a part of more than `denseAbove` elements (0:
// none is) in which at least three in four pairs of elements have rules of
// their own, and either three in four of each element's results lie in the
// part (a group's or a quasigroup's table, where the results of every
// element fill the part) or three in four of its elements have all their
// results excluded (a component of a wider job counted as a job of its
// own, whose pairs' results have all left it: each two elements with a
// rule may not both come in). Such a part is one component in all but
// name, and finding its links would cost a pass over all its pairs at
// every node: it is taken whole.
template <int Words>
TALLYRA_INLINE bool isDensePart(const ElementSetOf<Words>& part,
                                const ElementSetOf<Words>& excluded,
                                const ClosureRules<Words>& rules, int denseAbove) {
  using Set = ElementSetOf<Words>;
  if (denseAbove <= 0 || atMostElements(part, denseAbove)) return false;
  // The pairs with rules, the results in the part and the elements whose
  // results are all excluded, counted until too few elements are left to reach three
  // in four of all.
  const int64_t k = elementCount(part);
  const int64_t wantedPairs = 3 * k * (k - 1);
  const int64_t wantedResults = 3 * k * k;
  const int64_t wantedActing = 3 * k;
  int64_t pairs = 0;
  int64_t results = 0;
  int64_t acting = 0;
  int64_t left = k;
  for (Set rest = part;
       !isEmpty(rest) && 4 * (pairs + left * (k - 1)) >= wantedPairs &&
       (4 * (results + left * k) >= wantedResults || 4 * (acting + left) >= wantedActing);
       rest = withoutLowest(rest), --left) {
    const int x = lowest(rest);
    pairs += elementCount(rules.partners[x] & part);
    results += elementCount(rules.results[x] & part);
    acting += isEmpty(rules.results[x] & ~excluded) ? 1 : 0;
  }
  return 4 * pairs >= wantedPairs && (4 * results >= wantedResults || 4 * acting >= wantedActing);
}

// The component of `rest` that holds its lowest element, grown a layer at
// a time through `adjacent`: the links of a layer's elements are read
// independently of one another, not each after the one before.
template <int Words>
TALLYRA_INLINE ElementSetOf<Words> growComponent(const ElementSetOf<Words>& rest,
                                                 const ElementSetOf<Words>* adjacent) {
  using Set = ElementSetOf<Words>;
  Set component = single<Set>(lowest(rest));
  Set frontier = component;
  while (!isEmpty(frontier)) {
    Set reached{};
    for (; !isEmpty(frontier); frontier = withoutLowest(frontier))
      reached |= adjacent[lowest(frontier)];
    frontier = reached & ~component;
    component |= frontier;
  }
  return component;
}

// What each element of `undecided` forces once `added` has come into I:
// implied[x] and forced[x][d] for the d added, into grown[x]. Returns those
// of them that now imply an element of `excluded`.
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

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_SEARCH_LINKS_H_
