// A SubsetCount in decimal, for the tests and the benchmarks: counts reach
// up to 2^237, which printf cannot print.
#ifndef TALLYRA_TESTS_ALGEBRAS_COUNT_TEXT_H_
#define TALLYRA_TESTS_ALGEBRAS_COUNT_TEXT_H_

#include <ostream>

#include "run/job_model.h"

namespace tallyra {

struct CountText {
  char digits[SubsetCount::kDecimalCapacity];
};

// The decimal digits of `count`, without leading zeros ("0" for 0).
CountText countText(const SubsetCount& count);

// Counts in GoogleTest's messages, in decimal.
template <int Words>
void PrintTo(const WideUnsigned<Words>& count, std::ostream* out) {
  char digits[WideUnsigned<Words>::kDecimalCapacity];
  count.toDecimal(digits);
  *out << digits;
}

}  // namespace tallyra

#endif  // TALLYRA_TESTS_ALGEBRAS_COUNT_TEXT_H_
