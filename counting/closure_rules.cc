#include "counting/closure_rules.h"

#include <bit>

namespace tallyra {

void buildClosureRules(int size, const Constraint* constraints, int count, ClosureRules& rules) {
  rules.size = size;
  rules.all = size >= 32 ? ~uint32_t{0} : (uint32_t{1} << size) - 1;
  // Only the first `size` rows and columns are ever read.
  for (int x = 0; x < size; ++x) {
    for (int y = 0; y < size; ++y) rules.forced[x][y] = 0;
    rules.partners[x] = 0;
    rules.neighbours[x] = 0;
  }
  for (int i = 0; i < count; ++i) {
    const Constraint& c = constraints[i];
    if (c.left < 1 || c.left > size || c.right < 1 || c.right > size || c.result < 1 ||
        c.result > size)
      continue;
    int x = c.left - 1, y = c.right - 1, z = c.result - 1;
    if (z == x || z == y) continue;
    uint32_t bitX = uint32_t{1} << x, bitY = uint32_t{1} << y, bitZ = uint32_t{1} << z;
    rules.forced[x][y] |= bitZ;
    rules.forced[y][x] |= bitZ;
    rules.partners[x] |= bitY;
    rules.partners[y] |= bitX;
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
  uint32_t alone[kMaxElements];
  for (int x = 0; x < size; ++x) alone[x] = closeSet(rules, uint32_t{1} << x) & ~(uint32_t{1} << x);
  for (int x = 0; x < size; ++x) {
    rules.forced[x][x] = alone[x];
    uint32_t partners = alone[x] != 0 ? uint32_t{1} << x : 0;
    for (uint32_t ys = rules.partners[x] & ~(uint32_t{1} << x); ys != 0; ys &= ys - 1) {
      int y = std::countr_zero(ys);
      uint32_t results = rules.forced[x][y] & ~alone[x] & ~alone[y];
      rules.forced[x][y] = results;
      if (results == 0) continue;
      partners |= uint32_t{1} << y;
      rules.neighbours[x] |= (uint32_t{1} << y) | results;
      for (uint32_t zs = results; zs != 0; zs &= zs - 1)
        rules.neighbours[std::countr_zero(zs)] |= uint32_t{1} << x;
    }
    rules.partners[x] = partners;
    rules.neighbours[x] |= alone[x];
    for (uint32_t zs = alone[x]; zs != 0; zs &= zs - 1)
      rules.neighbours[std::countr_zero(zs)] |= uint32_t{1} << x;
  }
  for (int x = 0; x < size; ++x) rules.neighbours[x] &= ~(uint32_t{1} << x);
}

uint32_t closeSet(const ClosureRules& rules, uint32_t set) {
  // Every element of `todo` still has to be combined with the whole set;
  // a pair is combined when the later of its two elements is taken.
  uint32_t todo = set;
  while (todo != 0) {
    int z = std::countr_zero(todo);
    todo &= todo - 1;
    uint32_t add = 0;
    for (uint32_t ys = rules.partners[z] & set; ys != 0; ys &= ys - 1)
      add |= rules.forced[z][std::countr_zero(ys)];
    add &= ~set;
    set |= add;
    todo |= add;
  }
  return set;
}

}  // namespace tallyra
