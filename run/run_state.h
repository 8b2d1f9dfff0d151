// The run's state that more than one folder uses: the run's settings, a
// process-wide variable that lives from start to exit, set once from the
// job file's header and read directly by the parts of the program that need
// them. A job is not here: the job processor keeps its record and passes it
// by reference from the job file parser to the engine and the report. What
// one folder alone keeps is declared in that folder.
#ifndef TALLYRA_RUN_RUN_STATE_H_
#define TALLYRA_RUN_RUN_STATE_H_

#include "run/job_model.h"

namespace tallyra {

extern RunOptions runOptions;

// Puts it back to its state at process start (for tests and for running
// many inputs in one process).
void resetRunState();

}  // namespace tallyra

#endif  // TALLYRA_RUN_RUN_STATE_H_
