#include "counting/count_check.h"

#include <cstdio>
#include <cstdlib>

#include "counting/closed_set_listing.h"
#include "counting/reference_count.h"

namespace tallyra {

void checkCountAgainstReferences(int size, const Constraint* constraints, int constraintCount,
                                 const SubsetCount& counted) {
  uint64_t expected = 0;
  if (size >= 1 && size <= 16) {
    expected = static_cast<uint64_t>(countByEnumeration(size, constraints, constraintCount));
  } else if (size > 16 && size <= ClosedSetListing::kMaxSize) {
    static ClosedSetListing listing;
    expected = listing.count(size, constraints, constraintCount, kMostListedForCheck);
    if (expected > kMostListedForCheck) return;  // too many to list
  } else {
    return;
  }
  if (counted == SubsetCount{expected}) return;
  char digits[SubsetCount::kDecimalCapacity];
  counted.toDecimal(digits);
  std::fprintf(stderr,
               "tallyra: the engine counts %s closed sets of a job of %d elements, the "
               "reference %llu\n",
               digits, size, static_cast<unsigned long long>(expected));
  std::abort();
}

}  // namespace tallyra
