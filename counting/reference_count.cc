#include "counting/reference_count.h"

#include "run/runtime_error_stop.h"

namespace tallyra {

bool isClosed(const MembershipVector& vector, const Constraint* constraints, int count) {
  bool verdict = true;
  for (int i = 1; verdict && i <= count; ++i) {
    const Constraint& c = constraints[i - 1];
    if (vector.membership[c.left] && vector.membership[c.right])
      verdict = vector.membership[c.result];
  }
  return verdict;
}

int32_t countByEnumeration(int size, const Constraint* constraints, int count) {
  if (size < 1 || size > kMaxEnumeratedElements) return 0;
  MembershipVector vector;
  int32_t counter = 0;
  bool carry;
  do {
    if (isClosed(vector, constraints, count)) counter = checkedAdd(counter, 1);
    carry = true;
    for (int p = size; carry && p >= 1; --p) {
      vector.membership[p] = !vector.membership[p];
      carry = !vector.membership[p];
    }
  } while (!carry);
  return counter;
}

}  // namespace tallyra
