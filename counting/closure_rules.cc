#include "counting/closure_rules.h"

#include <bit>

namespace tallyra {

void buildClosureRules(int size, const Constraint* constraints, int count, ClosureRules& rules) {
  rules.size = size;
  rules.all = size >= 32 ? ~uint32_t{0} : (uint32_t{1} << size) - 1;
  for (int x = 0; x < kMaxElements; ++x) {
    for (int y = 0; y < kMaxElements; ++y) rules.forced[x][y] = 0;
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
    rules.neighbours[x] |= bitY | bitZ;
    rules.neighbours[y] |= bitX | bitZ;
    rules.neighbours[z] |= bitX | bitY;
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
