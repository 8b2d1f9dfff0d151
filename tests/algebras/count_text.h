// A SubsetCount in decimal, for the tests and the benchmarks: counts reach
// 2^64 and more, which printf cannot print.
#ifndef TALLYRA_TESTS_ALGEBRAS_COUNT_TEXT_H_
#define TALLYRA_TESTS_ALGEBRAS_COUNT_TEXT_H_

#include "run/job_model.h"

namespace tallyra {

// Room for the 39 digits of 2^128 - 1 and the closing NUL.
struct CountText {
  char digits[40];
};

// The decimal digits of `count`, without leading zeros ("0" for 0).
CountText countText(SubsetCount count);

}  // namespace tallyra

#endif  // TALLYRA_TESTS_ALGEBRAS_COUNT_TEXT_H_
