#include "counting/subuniverse_counter.h"

#include "counting/result_lines.h"
#include "frontend/runtime_error_stop.h"

namespace tallyra {

void countSubuniverses() {
  int64_t n = countClosedSubsets(job.size, job.constraintTable, job.constraintCount);
  if (n > INT32_MAX) runtimeErrorStop(RuntimeError::kArithmeticOverflow);
  writeResultLines(static_cast<int32_t>(n));
}

}  // namespace tallyra
