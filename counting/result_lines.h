// The result lines of a job.
//
// Screen:      Result: |Sub(<name>)| = <N> = <x, 8 decimals, width 22>*2^{|A|-<k>}
// ResultFile:  Result for A=<name>:  |Sub(A)| = <N>, whence
//              sigma(A) = |Sub(A)|*2^(<k>-|A|) = <x, 16 decimals, width 21> .
// where x = N * 2^(k - |A|).
#ifndef TALLYRA_COUNTING_RESULT_LINES_H_
#define TALLYRA_COUNTING_RESULT_LINES_H_

#include <cstddef>
#include <cstdint>

namespace tallyra {

// Writes x = count * 2^(k - size) in fixed-point notation with `decimals`
// digits after the point, right-aligned in `width` characters (a longer
// number widens the field), into `out` (NUL-terminated). The decimal
// expansion is exact and rounded half to even, so every platform prints the
// same digits. count >= 0, size 1..30, k 0..20, decimals <= 32.
// Returns the number of characters written; `capacity` >= 128 always fits.
int formatScaledCount(int32_t count, int32_t size, int32_t k, int decimals, int width, char* out,
                      size_t capacity);

// Writes the Screen line, then the two ResultFile lines, for the current job
// (its name, |A| and the run's subtrahend) and `count` closed subsets.
void writeResultLines(int32_t count);

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_RESULT_LINES_H_
