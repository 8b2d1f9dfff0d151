// The cache keys of a component's count. A piece of the search
// (subuniverse_search.cc), included by it alone.
//
// The count of a component is the number of subsets T of the component with
// I and T together closed, and whether such a union is closed turns on the
// constraints with both operands in it. Those with an operand w in I and
// one x in the component act through forced[x][w], which lies in I or in
// the component (anything else would have excluded x or linked it), and
// matter only for the w whose forced[x][w] meets the component. Those with
// both operands in the component act through their results: in the
// component, in I (satisfied) or elsewhere (the two may not both come in).
// So the count depends on the component and on which elements of those two
// kinds are in I: its dependence. Both kinds are fixed by the component
// alone, and any set D that holds them all makes (component, I & D) an
// exact key (component_cache.h): two states with the same key agree on
// every element that matters. Finding exactly those elements takes a pass
// over the pairs of the component, worth it only in a long search and for
// components that come back; the partners and results of its elements (a
// superset, one step) are found at once.
//
// A residual key (residual_cache.h) says instead what is left of the job
// inside the component: for each element what it needs in the component and
// the others it may not come in with.
#ifndef TALLYRA_COUNTING_SEARCH_KEYS_H_
#define TALLYRA_COUNTING_SEARCH_KEYS_H_

#include <cassert>
#include <cstdint>

#include "counting/closure_rules.h"
#include "counting/element_set.h"
#include "counting/instruction_form.h"
#include "counting/residual_cache.h"

namespace tallyra {

// The dependence of `component` in one step: the partners and results of
// its elements.
template <int Words>
TALLYRA_INLINE ElementSetOf<Words> oneStepDependence(const ClosureRules<Words>& rules,
                                                     const ElementSetOf<Words>& component) {
  using Set = ElementSetOf<Words>;
  Set depends{};
  for (Set rest = component; !isEmpty(rest); rest = withoutLowest(rest))
    depends |= rules.partners[lowest(rest)] | rules.results[lowest(rest)];
  return depends;
}

// The exact dependence of `component` (rules.pairsTo built).
template <int Words>
ElementSetOf<Words> exactDependence(const ClosureRules<Words>& rules,
                                    const ElementSetOf<Words>& component) {
  using Set = ElementSetOf<Words>;
  assert(rules.pairsToBuilt);
  Set depends{};
  forEach(component, [&](int x) {
    forEach(rules.results[x] & component, [&](int z) { depends |= rules.pairsTo[x][z]; });
    forEach(rules.partners[x] & component & above<Set>(x),
            [&](int y) { depends |= rules.forced[x][y]; });
  });
  // The exact set lies within the one-step superset.
  assert(isEmpty(depends & ~oneStepDependence(rules, component)));
  return depends;
}

// Makes the residual key of `component` in `key`, its sets written into
// `cache`'s arena: the component, then the elements that need something
// inside it and the elements that may not come in with some other, as two
// sets, then what each of the first needs and with which each of the second
// may not come in (most elements need nothing, so the key leaves them out).
// `implied` and `notBothWith` are the part's; `scratch` holds a set for
// each element of the component.
template <int Words>
TALLYRA_INLINE void makeResidualKey(const ElementSetOf<Words>& component,
                                    const ElementSetOf<Words>* implied,
                                    const ElementSetOf<Words>* notBothWith,
                                    ResidualCache<Words>& cache, ElementSetOf<Words>* scratch,
                                    typename ResidualCache<Words>::Key& key) {
  using Set = ElementSetOf<Words>;
  key.component = component;
  key.length = 2 + 2 * elementCount(component);  // the most it takes
  Set* needs = cache.needsAt(key);
  Set needing{};
  Set excluding{};
  int length = 2;
  int excludes = 0;
  uint64_t hash = mixedWord(component) * 0x9E3779B97F4A7C15u;
  for (Set rest = component; !isEmpty(rest); rest = withoutLowest(rest)) {
    const int x = lowest(rest);
    const Set need = implied[x] & component;
    const Set notWith = notBothWith[x];
    needs[length] = need;
    scratch[excludes] = notWith;
    const bool needsAny = !isEmpty(need);
    const bool excludesAny = !isEmpty(notWith);
    needing |= needsAny ? single<Set>(x) : Set{};
    excluding |= excludesAny ? single<Set>(x) : Set{};
    hash = (hash ^ mixedWord(need) ^ (mixedWord(notWith) << 1)) * 0xBF58476D1CE4E5B9u;
    length += needsAny ? 1 : 0;
    excludes += excludesAny ? 1 : 0;
  }
  for (int i = 0; i < excludes; ++i) needs[length + i] = scratch[i];
  needs[0] = needing;
  needs[1] = excluding;
  key.length = length + excludes;
  hash ^= hash >> 31;
  key.hash = hash;
}

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_SEARCH_KEYS_H_
