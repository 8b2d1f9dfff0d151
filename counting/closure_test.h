// The definition of a subuniverse, as plainly as it can be written.
//
// A subset S of A is closed when, for every constraint x*y=z of the current
// job with x and y in S, z is in S too. isClosed() tests that literally and
// countByEnumeration() tries all 2^|A| subsets. They are the reference that
// the fast counter is checked against; the program itself counts with
// countClosedSubsets() (subuniverse_counter.h).
#ifndef TALLYRA_COUNTING_CLOSURE_TEST_H_
#define TALLYRA_COUNTING_CLOSURE_TEST_H_

#include <cstdint>

namespace tallyra {

// membership[p] is true when the element at position p (1..|A|) is in the
// subset; positions 0 and above |A| are unused.
struct MembershipVector {
  bool membership[33] = {};
};

// True when the subset is closed under constraints 1..constraintCount of
// the current job, tested in their order up to the first violated one.
bool isClosed(const MembershipVector& vector);

// The number of closed subsets, found by testing every subset in turn, from
// the empty set on, as a binary counter whose last digit is position |A|.
// The count is incremented with an overflow check. Needs |A| <= 30.
int32_t countByEnumeration();

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_CLOSURE_TEST_H_
