// Counting the subuniverses of the current job.
#ifndef TALLYRA_COUNTING_SUBUNIVERSE_COUNTER_H_
#define TALLYRA_COUNTING_SUBUNIVERSE_COUNTER_H_

#include <cstdint>

#include "jobfile/job_model.h"

namespace tallyra {

// The number of subsets of {1..size} closed under constraints[0..count-1]:
// the same number as countByEnumeration() (closure_test.h) for that job.
// size is 1..30 (any other size gives 0); every position in the
// constraints is 1..size; the answer is at most 2^30. Allocates nothing:
// the method (subuniverse_engine.cc) works in fixed tables and on a stack
// at most about 60 frames deep.
int64_t countClosedSubsets(int size, const Constraint* constraints, int count);

// Counts the closed subsets of the current job and writes its result lines
// (result_lines.h).
void countSubuniverses();

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_SUBUNIVERSE_COUNTER_H_
