// The run's state that more than one folder uses: the run's settings and
// the current job, process-wide variables that live from start to exit,
// read and written directly by the parts of the program that need them.
// What one folder alone keeps is declared in that folder.
#ifndef TALLYRA_RUN_RUN_STATE_H_
#define TALLYRA_RUN_RUN_STATE_H_

#include "run/job_model.h"

namespace tallyra {

extern RunOptions runOptions;
extern JobRecord job;

// Puts both back to their state at process start (for tests and for
// running many inputs in one process).
void resetRunState();

}  // namespace tallyra

#endif  // TALLYRA_RUN_RUN_STATE_H_
