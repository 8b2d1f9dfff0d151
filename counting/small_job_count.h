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

// Whether trying every subset at once is the cheaper way to count this job
// (of at most kMaxSmallJobElements elements), visiting at most `limit`
// words: always for up to six elements (one word), and for more when the
// job is sparse (fewer constraints than a quarter of its n^2 pairs of
// operands, which leaves the search many closed sets to find) and some
// constraint can break a subset; a full table is left to the search, which
// is quick on it. Measured in instructions on every job of up to 16
// elements of the benchmark's families and on random partial algebras
// (bench/README.md).
bool smallJobIsCheaper(int size, const Constraint* constraints, int constraintCount, int64_t limit);

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_SMALL_JOB_COUNT_H_
