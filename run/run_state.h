// The run's state: the process-wide variables that live from start to exit,
// read and written directly by the parts of the program that need them.
#ifndef TALLYRA_RUN_RUN_STATE_H_
#define TALLYRA_RUN_RUN_STATE_H_

#include <cstdint>

#include "platform/platform.h"
#include "run/job_model.h"
#include "run/text_line.h"

namespace tallyra {

extern RunOptions runOptions;
extern JobRecord job;
extern TextLine inputFileName;
extern TextLine resultFileName;
// True only while a job's constraint lines are read: a print line ("\P") is
// then handed on like a data line (and rejected there) instead of printed.
extern bool printLinesAreData;
// Blanks that the latest trimBlanks() removed from the front of its line.
extern int32_t leadingBlanksRemoved;
extern TimeOfDay startTime;
extern TimeOfDay endTime;

// Puts every variable above back to its state at process start (for tests
// and for running many inputs in one process).
void resetRunState();

}  // namespace tallyra

#endif  // TALLYRA_RUN_RUN_STATE_H_
