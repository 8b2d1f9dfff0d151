// The count of a small job by trying every subset at once: bit t of a table
// of words stands for the subset t of the job's elements, and each
// constraint x*y=z marks the subsets that hold x and y but not z. For a
// job of up to kMaxSmallJobElements elements this takes a few words a
// constraint, less than folding the constraints into rules and searching.
#ifndef TALLYRA_COUNTING_SMALL_JOB_COUNT_H_
#define TALLYRA_COUNTING_SMALL_JOB_COUNT_H_

#include <cstdint>

#include "run/job_model.h"

namespace tallyra {

constexpr int kMaxSmallJobElements = 16;

// The number of subsets of {1..size} closed under
// constraints[0..constraintCount-1]; size is 1..kMaxSmallJobElements and
// every position is 1..size.
uint64_t countSmallJob(int size, const Constraint* constraints, int constraintCount);

// The words countSmallJob() visits for these constraints, a measure of its
// cost (about a nanosecond a word), found without counting; once it is
// beyond `limit`, some number beyond it.
int64_t smallJobWork(int size, const Constraint* constraints, int constraintCount, int64_t limit);

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_SMALL_JOB_COUNT_H_
