#include "run/run_state.h"

namespace tallyra {

RunOptions runOptions;
JobRecord job;

void resetRunState() {
  runOptions = RunOptions();
  job.name.clear();
  job.size = 0;
  job.elementSymbols.clear();
  job.constraintCount = 0;
}

}  // namespace tallyra
