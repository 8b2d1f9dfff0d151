#include "run/run_state.h"

namespace tallyra {

RunOptions runOptions;

void resetRunState() { runOptions = RunOptions(); }

}  // namespace tallyra
