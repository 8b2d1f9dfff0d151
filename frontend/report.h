// The run's report, every line of it that the job processor and the program
// body write: the report header, a job's constraint listing and result
// lines, the end of the run. The rest of the report, the echo of the job
// file as it is read (print lines, each job's name, size and elements, its
// constraint lines), is written by jobfile/job_echo.cc. Numbers are written
// in decimal without leading zeros or blanks, clock fields included
// ("9:5:3.45").
//
// Result lines of a job:
// Screen:      Result: |Sub(<name>)| = <N> = <x, 8 decimals, width 22>*2^{|A|-<k>}
// ResultFile:  Result for A=<name>:  |Sub(A)| = <N>, whence
//              sigma(A) = |Sub(A)|*2^(<k>-|A|) = <x, 16 decimals, width 21> .
// where x = N * 2^(k - |A|).
#ifndef TALLYRA_FRONTEND_REPORT_H_
#define TALLYRA_FRONTEND_REPORT_H_

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"
#include "run/channels.h"
#include "run/job_model.h"

namespace tallyra {

// Writes count in decimal into `out` (SubsetCount::kDecimalCapacity
// characters, NUL-terminated); returns its length.
int formatCount(const SubsetCount& count, char* out);

// Writes x = count * 2^(k - size), where count is first converted to the
// nearest double (ties to even), in fixed-point notation with `decimals`
// digits after the point, right-aligned in `width` characters (a longer
// number widens the field), into `out` (NUL-terminated). The decimal
// expansion of that double is exact and rounded half to even, so every
// platform prints the same digits. count 0..2^size, size 1..kMaxElements,
// k 0..20, decimals <= 32. Returns the number of characters written;
// `capacity` >= 128 always fits.
int formatScaledCount(const SubsetCount& count, int32_t size, int32_t k, int decimals, int width,
                      char* out, size_t capacity);

// Writes the Screen line, then the two ResultFile lines, for `job` (its
// name, |A| and the run's subtrahend) and `count` closed subsets.
void writeResultLines(const JobRecord& job, const SubsetCount& count);

// Writes hour:minute:second, and ".millisecond" when asked.
void writeClock(OutputChannel& out, const TimeOfDay& t, bool milliseconds);

// The report header, once per run after the first "\beginjob": the version,
// the start time and the verbose setting to Screen; the version, the start
// time without milliseconds and our two lines to ResultFile.
void writeReportHeader();

// The verbose listing of the constraints of `job` on both channels:
// "The list of all constraints:  x*y=z ... ." with every piece shown at once.
void writeConstraintListing(const JobRecord& job);

// The end of a complete run: the end time and the duration to Screen, the
// duration to ResultFile, then the thank-you line.
void writeClosingLines(int32_t elapsedMilliseconds);

}  // namespace tallyra

#endif  // TALLYRA_FRONTEND_REPORT_H_
