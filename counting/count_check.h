// The check of whole counts that the fuzz build makes: the engine's count of
// a job against the references, the plain enumeration for jobs of up to 16
// elements and the closed-set listing for larger jobs with at most
// kMostListedForCheck closed sets. A difference ends the process at once
// (with a message on standard error), which the fuzzer reports.
#ifndef TALLYRA_COUNTING_COUNT_CHECK_H_
#define TALLYRA_COUNTING_COUNT_CHECK_H_

#include <cstdint>

#include "run/job_model.h"

namespace tallyra {

constexpr uint64_t kMostListedForCheck = 20000;

void checkCountAgainstReferences(int size, const Constraint* constraints, int constraintCount,
                                 const SubsetCount& counted);

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_COUNT_CHECK_H_
