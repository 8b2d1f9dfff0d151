#include "counting/subuniverse_counter.h"

namespace tallyra {

int64_t countClosedSubsets(int size, const Constraint* constraints, int count) {
  // Every subset as a bit mask: bit p-1 stands for the element at position p.
  uint32_t limit = size >= 32 ? 0 : (uint32_t{1} << size);
  int64_t closed = 0;
  uint32_t s = 0;
  do {
    bool ok = true;
    for (int i = 0; ok && i < count; ++i) {
      const Constraint& c = constraints[i];
      if ((s >> (c.left - 1) & 1) && (s >> (c.right - 1) & 1)) ok = (s >> (c.result - 1) & 1) != 0;
    }
    if (ok) ++closed;
    ++s;
  } while (s != limit);
  return closed;
}

}  // namespace tallyra
