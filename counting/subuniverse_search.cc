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
// is counted by trying its subsets (search_trying.h), which is cheaper than
// splitting and branching it. Component counts are kept in a fixed-size
// cache, keyed by the component and the part of I that its count depends
// on (search_keys.h). The pieces: the links and components
// (search_links.h), the branching rule (search_branching.h), counting by
// trying and the cache keys; a count is a short search until it has made
// EngineOptions::longSearchAfter nodes, then a long one (engine_settings.h).
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
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "counting/search_branching.h"
#include "counting/search_keys.h"
#include "counting/search_links.h"
#include "counting/search_trying.h"

namespace tallyra {
namespace {

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

// What count() and countRules() take alike.
template <int Words>
void SubuniverseSearch<Words>::startCount(const EngineOptions& options, const ComponentCheck& check,
                                          JobSymmetry& symmetry) {
  options_ = options;
  statistics_ = EngineStatistics{};
  check_ = &check;
  symmetry_ = &symmetry;
}

template <int Words>
SubsetCount SubuniverseSearch<Words>::count(int size, const Constraint* constraints,
                                            int constraintCount, const EngineOptions& options,
                                            EngineStatistics& statistics,
                                            const ComponentCheck& check, JobSymmetry& symmetry,
                                            int excluded) {
  assert(size >= 1 && size <= kMaxSize);
  startCount(options, check, symmetry);
  constraints_ = constraints;
  constraintCount_ = constraintCount;
  buildClosureRules(size, constraints, constraintCount, rules_);
  return countBuilt(statistics, excluded);
}

template <int Words>
template <typename Fill>
SubsetCount SubuniverseSearch<Words>::countRules(int size, Fill fill, Constraint* room,
                                                 const EngineOptions& options,
                                                 EngineStatistics& statistics,
                                                 ComponentCheck& check, JobSymmetry& symmetry,
                                                 int excluded) {
  assert(size >= 1 && size <= kMaxSize);
  startCount(options, check, symmetry);
  constraints_ = nullptr;
  constraintCount_ = 0;
  constraintRoom_ = room;
  startClosureRules(size, rules_);
  fill(rules_);
  finishClosureRules(rules_);
  if (options_.checkComponents) {
    const int written = writeConstraints(rules_, room, kMaxConstraints);
    if (written >= 0)
      check.startJob(size, room, written);
    else
      options_.checkComponents = false;  // too many to check by trying
  }
  return countBuilt(statistics, excluded);
}

template <int Words>
SubsetCount SubuniverseSearch<Words>::countBuilt(EngineStatistics& statistics, int excluded) {
  const int size = rules_.size;
  const EngineOptions& options = options_;
  symmetrySought_ = false;
  symmetric_ = false;
  decided_ = Decided{};
  if (excluded > 0) decided_.excluded = single<Set>(excluded - 1);
  const int open = size - (excluded > 0 ? 1 : 0);
  // Without a rule every subset is closed; 2^(64 * Words) of them do not
  // fit the search's counts. With one, some subset is not, and the count is
  // below 2^size.
  Set bound{};
  for (int x = 0; x < size; ++x) bound |= rules_.partners[x];
  if (isEmpty(bound)) {
    statistics_.freeElements += open;
    statistics = statistics_;
    return SubsetCount{1} << open;
  }
  cache_.startJob(size);
  long_ = false;
  triedElements_ = std::min(options.triedElements, kWordTriedElements);
  if (options.longSearchAfter == 0) becomeLongSearch();
  for (int x = 0; x < size; ++x) rootImplied_[x] = rules_.forced[x][x];
  // The excluded element, and what implies it, stay out.
  Set part = rules_.all & ~decided_.excluded;
  part &= ~excludeForced(part, rootImplied_);
  const bool fast = processorRunsFastForm() && !options.plainInstructions;
  const Count total =
      fast ? countPart<true>(part, rootImplied_) : countPart<false>(part, rootImplied_);
  assert(total >= 1 && (size == kMaxSize || total < Count{1} << size));
  statistics_.cacheLookups = statistics_.nodes + statistics_.cacheHits;
  statistics = statistics_;
  return SubsetCount(total);
}

// The search has made EngineOptions::longSearchAfter nodes: from here on it
// tries wider parts, weighs pairs at every size and keys components
// exactly (engine_settings.h). The residual cache is started only now, so
// that a short search does not touch it.
template <int Words>
void SubuniverseSearch<Words>::becomeLongSearch() {
  long_ = true;
  statistics_.longSearchFrom = statistics_.nodes;
  triedElements_ = options_.triedElements;
  if (options_.residualKeys) residual_.startJob();
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
template <bool kFast>
auto SubuniverseSearch<Words>::countPart(const Set& part, const Set* implied) -> Count {
  return CompiledAs<kFast>::call([&]() TALLYRA_INLINE_LAMBDA -> Count {
    // A small part is cheaper to try whole than to split.
    if (atMostTriedElements(part)) return countByTrying<kFast>(part, implied);
    // p is the part being split, c the component of it being branched on;
    // a branch of c opens the part p + 1.
    PartLevel* p = parts_;
    ComponentLevel* c = components_;
    openPart<kFast>(p, part, implied, rules_.partners);
    for (;;) {
      // Take up the components of p until one has a branch that opens a
      // part of its own, one level down.
      if (takeUpComponents<kFast>(p, c)) {
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
      if (nextBranch<kFast>(p, c)) {
        ++p;
        ++c;
        continue;
      }
      finishComponent(p, c);
    }
  });
}

// Makes parts_[depth] the part `part` (more than triedElements elements)
// and finds which of its elements each active constraint links, among the
// pairs of `linkedBefore`: the links of the part it was opened from, or the
// rules' partners.
template <int Words>
template <bool kFast>
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
  p.pairsRuleAbove = long_ ? 0 : options_.pairsRuleAbove;
  const int counted = atMostElements(part, p.pairsRuleAbove) ? 0 : 1;
  statistics_.partsWeighed += counted;
  // Residual keys need the pairs that may not both come in; a dense part
  // has no links of its own and keeps the other keys.
  p.residual = long_ && options_.residualKeys;
  p.dense = isDensePart(part, decided_.excluded, rules_, options_.denseAbove);
  if (p.dense) {
    p.residual = false;
    ++statistics_.partsDense;
    return;
  }
  // (A function of its own: inlined, it slows the loop of the search.)
  const Set included = decided_.included;
  const ClosureRules<Words>& rules = rules_;
  if (p.residual) {
    CompiledAs<kFast>::call([&]() TALLYRA_INLINE_LAMBDA {
      findLinks<Words, true>(part, included, implied, rules, linkedBefore, counted,
                             {p.adjacent, p.occurrences, p.notBothWith});
    });
  } else {
    CompiledAs<kFast>::call([&]() TALLYRA_INLINE_LAMBDA {
      findLinks<Words, false>(part, included, implied, rules, linkedBefore, counted,
                              {p.adjacent, p.occurrences, nullptr});
    });
  }
}

// Takes up the components of parts_[depth] that are left, multiplying
// their counts into the part's product, until one is to be branched on and
// its branch opens a part one level down (true), or none is left (false).
template <int Words>
template <bool kFast>
TALLYRA_INLINE bool SubuniverseSearch<Words>::takeUpComponents(PartLevel* level,
                                                               ComponentLevel* component_) {
  PartLevel& p = *level;
  // The part's state in locals while components are counted here.
  Set rest = p.rest;
  Count product = p.product;
  int freeElements = p.freeElements;
  while (!isEmpty(rest)) {
    const Set component = p.dense ? rest : growComponent<Words>(rest, p.adjacent);
    rest &= ~component;
    if (isEmpty(withoutLowest(component))) {
      ++freeElements;
      continue;
    }
    if (atMostTriedElements(component)) {
      product *= countByTrying<kFast>(component, p.implied);
      continue;
    }
    Set relevant{};
    typename ResidualCache<Words>::Key key;
    const Count known = findInCache(component, p, relevant, key);
    if (known != ComponentCache<Words>::kNotFound) {
      product *= known;
      continue;
    }
    if constexpr (Words > 1) {
      Count counted;
      if (!atMostElements(component, options_.narrowAbove) && countNarrow(component, p, counted)) {
        if (key.length > 0) {
          residual_.take(key);
          residual_.store(key, counted);
        } else {
          cache_.store(component, relevant, counted);
        }
        product *= counted;
        continue;
      }
    }
    ++statistics_.nodes;
    if (statistics_.nodes == options_.longSearchAfter) becomeLongSearch();
    const int64_t depth = level - parts_ + 1;
    if (depth > statistics_.deepestLevel) statistics_.deepestLevel = depth;
    p.rest = rest;
    p.product = product;
    p.freeElements = freeElements;

    // Branch on it (search_branching.h): first in, then out.
    ComponentLevel& c = *component_;
    c.component = component;
    c.relevant = relevant;
    c.residualKey = key;
    if (key.length > 0) residual_.take(key);
    c.before = decided_;
    c.count = 0;
    c.branchesDone = 0;
    if (p.dense) {
      c.branch = mostForcing<Words>(component, p.implied);
    } else {
      // (keyImage_ is the latest residual key's.)
      const uint8_t* place = p.residual && keyImage_ != 0 ? symmetry_->image(keyImage_) : nullptr;
      const BranchMeasures<Words> measures{p.adjacent,      p.implied,        p.occurrences,
                                           rules_.produced, p.pairsRuleAbove, place};
      c.branch = CompiledAs<kFast>::call(
          [&]() TALLYRA_INLINE_LAMBDA { return chooseBranch<Words>(component, measures); });
    }
    assert(has(component, c.branch));
    if (nextBranch<kFast>(level, component_)) return true;
    finishComponent(level, component_);
    product = p.product;
  }
  p.rest = rest;
  p.product = product;
  p.freeElements = freeElements;
  statistics_.freeElements += freeElements;
  return false;
}

// The count of a component of part `p` from the cache, or
// ComponentCache::kNotFound; its key in `relevant` (the part of I it
// depends on) or, under residual keys, in `key` (key.length 0 otherwise).
template <int Words>
TALLYRA_INLINE auto SubuniverseSearch<Words>::findInCache(const Set& component, const PartLevel& p,
                                                          Set& relevant,
                                                          typename ResidualCache<Words>::Key& key)
    -> Count {
  // The search's invariants: I is closed, I and E are disjoint, and the
  // component is undecided.
  assert(isEmpty(decided_.included & decided_.excluded));
  assert(closeSet(rules_, decided_.included) == decided_.included);
  assert(isEmpty(component & (decided_.included | decided_.excluded)));
  key.length = 0;
  Count known;
  if (p.residual) {
    ++statistics_.residualLookups;
    const bool symmetric = symmetricKeys(component);
    if (symmetric) {
      makeSymmetric(component, p, key);
    } else {
      keyImage_ = 0;
      makeResidualKey<Words>(component, p.implied, p.notBothWith, residual_, notWithScratch_, key);
    }
    known = residual_.find(key);
    if (known != 0) {
      ++statistics_.residualHits;
      statistics_.symmetricHits += symmetric ? 1 : 0;
      imageGains_ += keyImage_ != 0 ? 1 : 0;
    }
  } else {
    relevant = decided_.included & dependence(component);
    known = cache_.find(component, relevant);
  }
  if (known != ComponentCache<Words>::kNotFound) {
    ++statistics_.cacheHits;
    if (options_.checkComponents) check(component, known);
  }
  return known;
}

// Counts the branches of components_[depth] that are left, in, then out,
// until one leaves a part of more than triedElements elements, which it
// opens one level down (true), or both are counted (false). The state is
// the component's own again after each branch counted here.
template <int Words>
template <bool kFast>
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
      openPart<kFast>(level + 1, undecided, branchImplied,
                      level->dense ? rules_.partners : level->adjacent);
      return true;
    }
    c.count += countByTrying<kFast>(undecided, branchImplied);
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

// The number of ways to complete I inside a small part, by trying its
// subsets (search_trying.h). (In a short search a part of seven or more is
// split instead: there its components' counts come back from the cache
// more cheaply than trying them again.)
template <int Words>
template <bool kFast>
auto SubuniverseSearch<Words>::countByTrying(const Set& part, const Set* implied) -> Count {
  return CompiledAs<kFast>::call([&]() TALLYRA_INLINE_LAMBDA -> Count {
    assert(atMostTriedElements(part));
    TriedPart<Words> t;
    t.part = part;
    t.open = ~decided_.included;
    t.implied = implied;
    t.k = 0;
    for (Set rest = part; !isEmpty(rest); rest = withoutLowest(rest)) {
      t.slot[lowest(rest)] = t.k;
      t.members[t.k++] = lowest(rest);
    }
    uint64_t closed;
    if (t.k <= kWordTriedElements) {
      closed = countWordByTrying(rules_, t);
    } else {
      closed = countWideByTrying(rules_, t);
      ++statistics_.widePartsTried;
    }
    statistics_.partsTried += t.k >= 2 ? 1 : 0;
    const Count counted = closed;
    if (options_.checkComponents) check(part, counted);
    return counted;
  });
}

// What the count of a component depends on besides the component itself
// (search_keys.h). A short search uses the one-step superset; a long one,
// from a component's second sighting on, the exact set, kept in the cache
// beside the counts.
template <int Words>
auto SubuniverseSearch<Words>::dependence(const Set& component) -> Set {
  if (!long_) return oneStepDependence(rules_, component) & ~component;
  Set depends{};
  bool exact = false;
  if (cache_.findDependence(component, depends, exact)) {
    if (exact) return depends;
    if (!rules_.pairsToBuilt) buildPairsTo(rules_);
    ++statistics_.exactDependences;
    depends = exactDependence(rules_, component);
    exact = true;
  } else {
    depends = oneStepDependence(rules_, component);
  }
  depends &= ~component;
  cache_.storeDependence(component, depends, exact);
  return depends;
}

// Whether `component` is keyed by an image under the job's symmetries
// (search_symmetry.h): a component of more than
// EngineOptions::symmetryAbove elements, in a job with symmetries. They are
// sought when a count first asks, within EngineOptions::symmetryWork.
template <int Words>
TALLYRA_INLINE bool SubuniverseSearch<Words>::symmetricKeys(const Set& component) {
  if (!options_.symmetry || atMostElements(component, options_.symmetryAbove)) return false;
  if (!symmetrySought_) {
    symmetrySought_ = true;
    const auto started = std::chrono::steady_clock::now();
    // A job given by its rules has its constraints made from them.
    const Constraint* constraints = constraints_;
    int constraintCount = constraintCount_;
    if (constraints == nullptr) {
      constraintCount = writeConstraints(rules_, constraintRoom_, kMaxConstraints);
      constraints = constraintRoom_;
    }
    if (constraintCount < 0) return false;  // too many: no symmetries sought
    const int listed =
        symmetry_->start(rules_.size, constraints, constraintCount, options_.symmetryWork);
    const auto took = std::chrono::steady_clock::now() - started;
    const AutomorphismGroup& group = symmetry_->group();
    statistics_.symmetryOrder =
        group.order < 9.2e18 ? static_cast<int64_t>(group.order) : INT64_MAX;
    statistics_.symmetryGenerators = group.generatorCount;
    statistics_.symmetryListed = listed;
    statistics_.symmetryWork = group.work;
    statistics_.symmetryMicroseconds =
        std::chrono::duration_cast<std::chrono::microseconds>(took).count();
    // A list of part of a large group would make images that seldom meet.
    symmetric_ = listed > 1 && symmetry_->whole();
    symmetricScratch_.start();
    imagesMade_ = 0;
    imageGains_ = 0;
  }
  return symmetric_;
}

// Makes the key of `component` as an image of its residual key (a function
// of its own: the search's loop stays as it is without symmetries).
template <int Words>
TALLYRA_ENTRY void SubuniverseSearch<Words>::makeSymmetric(
    const Set& component, const PartLevel& p, typename ResidualCache<Words>::Key& key) {
  ++statistics_.symmetricLookups;
  // Symmetry is given up when images have found too few counts that a
  // component's own key would not have (the group is too small, or its
  // images too seldom meet, to pay for making them). They are judged over
  // the whole count, not the latest images alone: on a grid, the counts
  // they find come in bursts, as the search comes back up to large
  // components, with long runs of finding few in between.
  if (++imagesMade_ % kSymmetryCheck == 0)
    symmetric_ = imageGains_ * kSymmetryGainRatio >= imagesMade_;
  keyImage_ = makeSymmetricKey<Words>(component, p.implied, p.notBothWith, *symmetry_, rules_.size,
                                      residual_, symmetricScratch_, key);
}

// Counts `component`, a component of part `p` of at most 63 elements, as a
// job of its own in one-word sets: its elements in order, then one more,
// left out, that stands for every result outside the component that is not
// in I (excluded). What an element x forces given I becomes what it forces
// alone, a pair's results in the component its results, and a pair with an
// excluded result forces the one more; results in I need nothing. The
// job's rules are written as sets, a pair at a time. False when no search
// is given.
template <int Words>
TALLYRA_ENTRY bool SubuniverseSearch<Words>::countNarrow(const Set& component, const PartLevel& p,
                                                         Count& counted) {
  if (narrow_.search == nullptr || !atMostElements(component, 63)) return false;
  uint8_t position[kMaxSize];  // from 0
  int k = 0;
  forEach(component, [&](int x) { position[x] = static_cast<uint8_t>(k++); });
  const uint64_t outside = uint64_t{1} << k;
  // `set` within the component, in the job's positions.
  auto narrowed = [&](const Set& set) {
    uint64_t out = 0;
    forEach(set, [&](int z) { out |= uint64_t{1} << position[z]; });
    return out;
  };
  const Set notIncluded = ~decided_.included;
  auto fill = [&](ClosureRules<1>& rules) {
    forEach(component, [&](int x) {
      const int from = position[x];
      const uint64_t alone = narrowed(p.implied[x] & component & ~single<Set>(x));
      if (alone != 0) addPairResults<1>(rules, from, from, alone);
      const Set open = notIncluded & ~p.implied[x];
      const Set* forcedWithX = rules_.forced[x];
      uint64_t* forcedFrom = rules.forced[from];
      uint64_t partners = 0;
      // Each pair is met once, so its results are stored, not gathered.
      forEach(rules_.partners[x] & component & above<Set>(x), [&](int y) {
        const Set results = forcedWithX[y] & open & ~p.implied[y];
        if (isEmpty(results)) return;
        const Set inside = results & component;
        const int to = position[y];
        forcedFrom[to] =
            (isEmpty(inside) ? 0 : narrowed(inside)) | (inside == results ? 0 : outside);
        partners |= uint64_t{1} << to;
        rules.partners[to] |= uint64_t{1} << from;
      });
      rules.partners[from] |= partners;
    });
  };
  EngineStatistics statistics;
  // (At most 2^63 closed sets: one word.)
  const SubsetCount total =
      narrow_.search->countRules(k + 1, fill, narrow_.constraints, options_, statistics,
                                 *narrow_.check, *narrow_.symmetry, k + 1);
  counted = Count(total.word(0));
  ++statistics_.narrowParts;
  statistics_.narrowNodes += statistics.nodes;
  return true;
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
               elementCount(part), lowest(part) + 1,
               static_cast<unsigned long long>(lowWord(counted)),
               static_cast<unsigned long long>(again));
  std::abort();
}

// Only count() is called from outside: the rest is made only where it is
// used, inlined into the forms' entry points.
#define TALLYRA_SEARCH_COUNT(Words)                                                             \
  template SubsetCount SubuniverseSearch<Words>::count(int, const Constraint*, int,             \
                                                       const EngineOptions&, EngineStatistics&, \
                                                       const ComponentCheck&, JobSymmetry&, int);
TALLYRA_SEARCH_COUNT(1)
TALLYRA_SEARCH_COUNT(2)
TALLYRA_SEARCH_COUNT(4)
#undef TALLYRA_SEARCH_COUNT

}  // namespace tallyra
