// The program body: one run from the start-up dialogue to the thank-you.
#ifndef TALLYRA_FRONTEND_PROGRAM_RUN_H_
#define TALLYRA_FRONTEND_PROGRAM_RUN_H_

#include <cstdint>

#include "platform/platform.h"

namespace tallyra {

// Milliseconds from `start` to `end`, two readings of the time of day. A
// run that passes midnight comes out negative from the clock fields alone;
// one day is then added, so any run shorter than a day is measured right.
int32_t elapsedMilliseconds(const TimeOfDay& start, const TimeOfDay& end);

// Processes the job file, reports the end time and the duration, thanks the
// user, waits for two presses of Enter, closes the files and ends the
// process with exit status 0.
[[noreturn]] void runProgram();

}  // namespace tallyra

#endif  // TALLYRA_FRONTEND_PROGRAM_RUN_H_
