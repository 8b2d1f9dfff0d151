#include "counting/component_check.h"

#include <gtest/gtest.h>

#include "counting/reference_count.h"
#include "tests/algebras/sample_algebras.h"

namespace tallyra {
namespace {

ComponentCheck check;  // too large for the stack

TEST(ComponentCheck, CountsLikeTheEnumerationFromEveryClosedStart) {
  // With I empty and the part all of A, the count is |Sub(A)|; with I the
  // closure of one element and the part the elements outside it, the closed
  // supersets of I. Both against the plain enumeration, on random partial
  // algebras with unary and repeated constraints among them.
  SampleAlgebra algebra;
  for (int trial = 0; trial < 60; ++trial) {
    const int n = 2 + trial % 15;
    makeRandomPartialAlgebra(n, n + trial % 23, 900 + static_cast<uint64_t>(trial), algebra);
    check.startJob(n, algebra.constraints, algebra.constraintCount);
    const uint64_t all = (uint64_t{1} << n) - 1;
    ASSERT_EQ(check.count(all, uint64_t{0}), static_cast<uint64_t>(countByEnumeration(
                                                 n, algebra.constraints, algebra.constraintCount)))
        << trial;
    // The closure of the first element, found by applying the constraints
    // until nothing changes, and the closed sets that hold it.
    uint64_t closed = 1;
    for (bool grew = true; grew;) {
      grew = false;
      for (int i = 0; i < algebra.constraintCount; ++i) {
        const Constraint& c = algebra.constraints[i];
        if ((closed >> (c.left - 1) & 1) && (closed >> (c.right - 1) & 1) &&
            !(closed >> (c.result - 1) & 1)) {
          closed |= uint64_t{1} << (c.result - 1);
          grew = true;
        }
      }
    }
    uint64_t holding = 0;
    for (uint64_t s = 0; s <= all; ++s) {
      if ((s & closed) != closed) continue;
      bool ok = true;
      for (int i = 0; ok && i < algebra.constraintCount; ++i) {
        const Constraint& c = algebra.constraints[i];
        ok = !((s >> (c.left - 1) & 1) && (s >> (c.right - 1) & 1)) || (s >> (c.result - 1) & 1);
      }
      holding += ok ? 1 : 0;
    }
    ASSERT_EQ(check.count(all & ~closed, closed), holding) << trial;
  }
}

}  // namespace
}  // namespace tallyra
