// The definition of a subuniverse, as plainly as it can be written.
//
// A subset S of A is closed when, for every constraint x*y=z with x and y in
// S, z is in S too. isClosed() tests that literally and countByEnumeration()
// tries all 2^|A| subsets. They are the reference that the engine
// (subuniverse_engine.h) is checked against by the tests, the fuzzer and the
// benchmark; the program itself counts with the engine.
#ifndef TALLYRA_COUNTING_REFERENCE_COUNT_H_
#define TALLYRA_COUNTING_REFERENCE_COUNT_H_

#include <cstdint>

#include "run/job_model.h"

namespace tallyra {

// The most elements the enumeration takes: its vector has 32 positions and
// its counter is a signed 32-bit number.
constexpr int kMaxEnumeratedElements = 30;

// membership[p] is true when the element at position p (1..|A|) is in the
// subset; positions 0 and above |A| are unused.
struct MembershipVector {
  bool membership[33] = {};
};

// True when the subset is closed under constraints[0..count-1], tested in
// their order up to the first violated one.
bool isClosed(const MembershipVector& vector, const Constraint* constraints, int count);

// The number of subsets of {1..size} closed under constraints[0..count-1],
// found by testing every subset in turn, from the empty set on, as a binary
// counter whose last digit is position `size`. The count is incremented with
// an overflow check. Needs every position in 1..size; a size outside
// 1..kMaxEnumeratedElements gives 0.
int32_t countByEnumeration(int size, const Constraint* constraints, int count);

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_REFERENCE_COUNT_H_
