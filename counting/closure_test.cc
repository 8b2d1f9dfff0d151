#include "counting/closure_test.h"

#include "frontend/runtime_error_stop.h"
#include "jobfile/job_model.h"

namespace tallyra {

bool isClosed(const MembershipVector& vector) {
  bool verdict = true;
  for (int i = 1; verdict && i <= job.constraintCount; ++i) {
    const Constraint& c = job.constraintTable[i - 1];
    if (vector.membership[c.left] && vector.membership[c.right])
      verdict = vector.membership[c.result];
  }
  return verdict;
}

int32_t countByEnumeration() {
  MembershipVector vector;
  int32_t counter = 0;
  bool carry;
  do {
    if (isClosed(vector)) counter = checkedAdd(counter, 1);
    carry = true;
    for (int p = job.size; carry && p >= 1; --p) {
      vector.membership[p] = !vector.membership[p];
      carry = !vector.membership[p];
    }
  } while (!carry);
  return counter;
}

}  // namespace tallyra
