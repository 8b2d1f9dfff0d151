#include "counting/closure_rules.h"

namespace tallyra {

void buildClosureRules(int size, const Constraint* constraints, int count, ClosureRules& rules) {
  rules.size = size;
  rules.all = firstElements(size);
  // Only forced[x][x] and forced[x][y] for the partners y of x are ever
  // read, so an entry is cleared when its pair first turns up: the work is
  // in proportion to the job, not to the tables.
  for (int x = 0; x < size; ++x) {
    rules.forced[x][x] = 0;
    rules.partners[x] = 0;
  }
  for (int i = 0; i < count; ++i) {
    const Constraint& c = constraints[i];
    if (c.left < 1 || c.left > size || c.right < 1 || c.right > size || c.result < 1 ||
        c.result > size)
      continue;
    int x = c.left - 1, y = c.right - 1, z = c.result - 1;
    if (z == x || z == y) continue;
    if ((rules.partners[x] >> y & 1) == 0) {
      rules.forced[x][y] = 0;
      rules.forced[y][x] = 0;
      rules.partners[x] |= bitOf(y);
      rules.partners[y] |= bitOf(x);
    }
    ElementSet bitZ = bitOf(z);
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
  ElementSet alone[kMaxEngineElements];
  for (int x = 0; x < size; ++x)
    alone[x] = rules.forced[x][x] == 0 ? 0 : closeSet(rules, bitOf(x)) & ~bitOf(x);
  for (int x = 0; x < size; ++x) rules.produced[x] = 0;
  for (int x = 0; x < size; ++x) {
    rules.forced[x][x] = alone[x];
    ElementSet partners = alone[x] != 0 ? bitOf(x) : 0;
    ElementSet results = 0;
    const ElementSet others = rules.partners[x] & ~bitOf(x);
    for (ElementSet ys = others; ys != 0; ys &= ys - 1) {
      int y = lowest(ys);
      ElementSet forced = rules.forced[x][y] & ~alone[x] & ~alone[y];
      rules.forced[x][y] = forced;
      partners |= forced != 0 ? bitOf(y) : 0;
      results |= forced;
    }
    // Each pair once: with the later element.
    for (ElementSet ys = partners & below(x); ys != 0; ys &= ys - 1)
      for (ElementSet zs = rules.forced[x][lowest(ys)]; zs != 0; zs &= zs - 1)
        ++rules.produced[lowest(zs)];
    rules.partners[x] = partners;
    rules.results[x] = results;
  }
  rules.pairsToBuilt = false;
}

void buildPairsTo(ClosureRules& rules) {
  for (int x = 0; x < rules.size; ++x) {
    // pairsTo[x][z] is read only for the results z of x.
    for (ElementSet zs = rules.results[x]; zs != 0; zs &= zs - 1) rules.pairsTo[x][lowest(zs)] = 0;
    for (ElementSet ys = rules.partners[x] & ~bitOf(x); ys != 0; ys &= ys - 1) {
      int y = lowest(ys);
      for (ElementSet zs = rules.forced[x][y]; zs != 0; zs &= zs - 1)
        rules.pairsTo[x][lowest(zs)] |= bitOf(y);
    }
  }
  rules.pairsToBuilt = true;
}

ElementSet closeSet(const ClosureRules& rules, ElementSet set) {
  // Every element of `todo` still has to be combined with the whole set;
  // a pair is combined when the later of its two elements is taken.
  ElementSet todo = set;
  while (todo != 0) {
    int z = lowest(todo);
    todo &= todo - 1;
    ElementSet add = 0;
    for (ElementSet ys = rules.partners[z] & set; ys != 0; ys &= ys - 1)
      add |= rules.forced[z][lowest(ys)];
    add &= ~set;
    set |= add;
    todo |= add;
    if (set == rules.all) break;
  }
  return set;
}

}  // namespace tallyra
