// The search's branching rule: which element of a component to branch on.
// A piece of the search (subuniverse_search.cc), included by it alone.
//
// In a component of more than pairsRuleAbove elements, an element's links
// are weighed by the active pairs it is in (as operand or result) and by
// how evenly its inclusion splits the component (what it forces, or what
// it leaves, whichever is less): a result that many pairs share comes early
// (out, it turns every one of them into "not both in" and frees their other
// results; in, it satisfies them), and an element that links many others
// through a few pairs does not outrank it, as it does on its links alone.
// In a smaller component, links decide and then the pairs of the job that
// produce the element, the rule every job of up to 30 elements was measured
// with. Among those that score the same, the one whose inclusion forces the
// nearest to half the component: a chain of single rules is cut in the
// middle. The element order of the job decides only between elements that
// these measures cannot tell apart, or, in a component keyed by an image
// under the job's symmetries (search_symmetry.h), the order of the
// elements' images: the measures are the same for an element and its
// image, so a component and its images then branch on elements that
// correspond, and the states below them meet in the cache as images too.
// A dense part (search_links.h) is branched on by the element that forces
// the most.
#ifndef TALLYRA_COUNTING_SEARCH_BRANCHING_H_
#define TALLYRA_COUNTING_SEARCH_BRANCHING_H_

#include <cstdint>

#include "counting/element_set.h"
#include "counting/instruction_form.h"

namespace tallyra {

// The weights of the rules. Above pairsRuleAbove an element scores its
// links times its active pairs, plus kPairsBase and kSplitWeight for every
// element its inclusion would force (or leave, whichever is less), so that
// the links count even where few pairs are left and an even split breaks
// ties among hubs. Below, links come first and the pairs of the job that
// produce the element decide between equal links: kLinkWeight exceeds any
// such number of pairs (a job of n elements has n(n-1)/2 pairs, 32,640 at
// 256), so a link always outweighs them. (Every job of up to 64 elements,
// with at most 2,016 pairs, was measured with a weight of 4096, which
// orders its elements the same way.) The largest score, 256 links times
// 32,768 and the pairs, fits an int.
constexpr int kPairsBase = 32;
constexpr int kSplitWeight = 8;
constexpr int kLinkWeight = 32768;

// What the rule weighs, for the elements of one component.
template <int Words>
struct BranchMeasures {
  using Set = ElementSetOf<Words>;
  const Set* adjacent;     // the elements each shares an active constraint with
  const Set* implied;      // what each forces (given I)
  const int* occurrences;  // the active pairs each is an operand or a result of
  const int* produced;     // the pairs of the job that produce each
  int pairsRuleAbove;      // weigh by active pairs above this component size
  // The place of each element in the order that decides between equals:
  // its image under the group element that keyed the component, or
  // nullptr for the job's order.
  const uint8_t* place;
};

template <int Words>
TALLYRA_INLINE int chooseBranch(const ElementSetOf<Words>& component,
                                const BranchMeasures<Words>& m) {
  using Set = ElementSetOf<Words>;
  // Two passes without data-dependent branches: the best score, then the
  // elements that have it.
  int scores[kSetCapacity<Set>];
  int best = 0;
  const int size = elementCount(component);
  const bool byPairs = size > m.pairsRuleAbove;
  if (byPairs) {
    for (Set rest = component; !isEmpty(rest); rest = withoutLowest(rest)) {
      const int x = lowest(rest);
      const int forces = elementCount(m.implied[x] & component);
      const int split = forces < size - forces ? forces : size - forces;
      scores[x] =
          elementCount(m.adjacent[x]) * (m.occurrences[x] + kPairsBase + kSplitWeight * split);
      best = scores[x] > best ? scores[x] : best;
    }
  } else {
    for (Set rest = component; !isEmpty(rest); rest = withoutLowest(rest)) {
      const int x = lowest(rest);
      scores[x] = elementCount(m.adjacent[x]) * kLinkWeight + m.produced[x];
      best = scores[x] > best ? scores[x] : best;
    }
  }
  Set tied{};
  for (Set rest = component; !isEmpty(rest); rest = withoutLowest(rest))
    tied |= scores[lowest(rest)] == best ? single<Set>(lowest(rest)) : Set{};
  if (isEmpty(withoutLowest(tied))) return lowest(tied);
  // Among the tied, the first that forces the nearest to half the
  // component; by places, when given, between those that force as near.
  auto balanceOf = [&](int x) {
    const int forces = elementCount(m.implied[x] & component);
    return forces * 2 > size ? forces * 2 - size : size - forces * 2;
  };
  int branch = lowest(tied);
  int bestBalance = kSetCapacity<Set> + 1;
  for (Set rest = tied; !isEmpty(rest); rest = withoutLowest(rest)) {
    const int x = lowest(rest);
    const int balance = balanceOf(x);
    branch = balance < bestBalance ? x : branch;
    bestBalance = balance < bestBalance ? balance : bestBalance;
  }
  if (m.place != nullptr) {
    for (Set rest = tied; !isEmpty(rest); rest = withoutLowest(rest)) {
      const int x = lowest(rest);
      if (m.place[x] < m.place[branch] && balanceOf(x) == bestBalance) branch = x;
    }
  }
  return branch;
}

// The element of a dense component that forces the most of it (the first
// of them).
template <int Words>
TALLYRA_INLINE int mostForcing(const ElementSetOf<Words>& component,
                               const ElementSetOf<Words>* implied) {
  using Set = ElementSetOf<Words>;
  int branch = lowest(component);
  int most = -1;
  for (Set elements = component; !isEmpty(elements); elements = withoutLowest(elements)) {
    const int x = lowest(elements);
    const int forces = elementCount(implied[x] & component);
    branch = forces > most ? x : branch;
    most = forces > most ? forces : most;
  }
  return branch;
}

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_SEARCH_BRANCHING_H_
