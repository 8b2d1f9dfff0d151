#include "counting/closure_rules.h"

namespace tallyra {

template <int Words>
void buildClosureRules(int size, const Constraint* constraints, int count,
                       ClosureRules<Words>& rules) {
  using Set = ElementSetOf<Words>;
  rules.size = size;
  rules.all = firstElements<Set>(size);
  // Only forced[x][x] and forced[x][y] for the partners y of x are ever
  // read, so an entry is cleared when its pair first turns up: the work is
  // in proportion to the job, not to the tables.
  for (int x = 0; x < size; ++x) {
    rules.forced[x][x] = Set{};
    rules.partners[x] = Set{};
  }
  for (int i = 0; i < count; ++i) {
    const Constraint& c = constraints[i];
    // Positions outside 1..size are left out (as unsigned, 0 and below
    // wrap to above size).
    const unsigned bound = static_cast<unsigned>(size);
    const unsigned ux = static_cast<unsigned>(c.left) - 1;
    const unsigned uy = static_cast<unsigned>(c.right) - 1;
    const unsigned uz = static_cast<unsigned>(c.result) - 1;
    if ((ux >= bound) | (uy >= bound) | (uz >= bound)) continue;
    const int x = static_cast<int>(ux), y = static_cast<int>(uy), z = static_cast<int>(uz);
    if (z == x || z == y) continue;
    if (!has(rules.partners[x], y)) {
      rules.forced[x][y] = Set{};
      rules.forced[y][x] = Set{};
      rules.partners[x] |= single<Set>(y);
      rules.partners[y] |= single<Set>(x);
    }
    const Set bitZ = single<Set>(z);
    rules.forced[x][y] |= bitZ;
    rules.forced[y][x] |= bitZ;
  }

  // Each element alone forces its whole closure, and a pair forces nothing
  // that one of its elements forces alone. The closed sets stay the same:
  // a closed set holding x holds the closure of {x}, so the new single
  // rules hold in it, and the pair rules left are a part of the old ones;
  // conversely, for a set closed under the new rules and a constraint
  // x*y=z with x and y in it, z is forced by x alone, by y alone (the set
  // then holds the closure of that element, z among it) or still by the
  // pair. (closeSet() sees only the old rules while the alone sets are
  // found, so each is the true closure.)
  // An element that forces nothing by itself (x*x=z) is closed alone.
  Set* alone = rules.alone;
  for (int x = 0; x < size; ++x)
    alone[x] =
        isEmpty(rules.forced[x][x]) ? Set{} : closeSet(rules, single<Set>(x)) & ~single<Set>(x);
  for (int x = 0; x < size; ++x) rules.produced[x] = 0;
  for (int x = 0; x < size; ++x) {
    rules.forced[x][x] = alone[x];
    Set partners = !isEmpty(alone[x]) ? single<Set>(x) : Set{};
    Set results{};
    const Set others = rules.partners[x] & ~single<Set>(x);
    forEach(others, [&](int y) {
      const Set forced = rules.forced[x][y] & ~alone[x] & ~alone[y];
      rules.forced[x][y] = forced;
      if (!isEmpty(forced)) partners |= single<Set>(y);
      results |= forced;
    });
    // Each pair once: with the later element.
    forEach(partners & below<Set>(x),
            [&](int y) { forEach(rules.forced[x][y], [&](int z) { ++rules.produced[z]; }); });
    rules.partners[x] = partners;
    rules.results[x] = results;
  }
  rules.pairsToBuilt = false;
}

template <int Words>
void buildPairsTo(ClosureRules<Words>& rules) {
  using Set = ElementSetOf<Words>;
  for (int x = 0; x < rules.size; ++x) {
    // pairsTo[x][z] is read only for the results z of x.
    forEach(rules.results[x], [&](int z) { rules.pairsTo[x][z] = Set{}; });
    forEach(rules.partners[x] & ~single<Set>(x), [&](int y) {
      forEach(rules.forced[x][y], [&](int z) { rules.pairsTo[x][z] |= single<Set>(y); });
    });
  }
  rules.pairsToBuilt = true;
}

template <int Words>
ElementSetOf<Words> closeSet(const ClosureRules<Words>& rules, ElementSetOf<Words> set) {
  using Set = ElementSetOf<Words>;
  // Every element of `todo` still has to be combined with the whole set;
  // a pair is combined when the later of its two elements is taken.
  Set todo = set;
  while (!isEmpty(todo)) {
    const int z = lowest(todo);
    todo = withoutLowest(todo);
    Set add{};
    forEach(rules.partners[z] & set, [&](int y) { add |= rules.forced[z][y]; });
    add &= ~set;
    set |= add;
    todo |= add;
    if (set == rules.all) break;
  }
  return set;
}

#define TALLYRA_CLOSURE_RULES_FOR(Words)                                                     \
  template void buildClosureRules<Words>(int, const Constraint*, int, ClosureRules<Words>&); \
  template void buildPairsTo<Words>(ClosureRules<Words>&);                                   \
  template ElementSetOf<Words> closeSet<Words>(const ClosureRules<Words>&, ElementSetOf<Words>);
TALLYRA_CLOSURE_RULES_FOR(1)
TALLYRA_CLOSURE_RULES_FOR(2)
TALLYRA_CLOSURE_RULES_FOR(4)
#undef TALLYRA_CLOSURE_RULES_FOR

}  // namespace tallyra
