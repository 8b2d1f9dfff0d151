#include "frontend/program_run.h"

#include "frontend/job_processor.h"
#include "frontend/report.h"
#include "frontend/run_clock.h"
#include "run/channels.h"
#include "run/run_end.h"
#include "run/runtime_error_stop.h"

namespace tallyra {

int32_t elapsedMilliseconds(const TimeOfDay& start, const TimeOfDay& end) {
  int32_t total = checkedMultiply(checkedSubtract(end.hour, start.hour), 3600000);
  total = checkedAdd(total, checkedMultiply(checkedSubtract(end.minute, start.minute), 60000));
  total = checkedAdd(total, checkedMultiply(checkedSubtract(end.second, start.second), 1000));
  total = checkedAdd(total, end.millisecond);
  total = checkedSubtract(total, start.millisecond);
  if (total < 0) total = checkedAdd(total, 86400000);
  return total;
}

void runProgram() {
  // Someone may watch a console; a file or pipe takes the screen in blocks.
  screen.setWatched(platform().screenIsConsole());
  processJobs();
  endTime = platform().localTimeOfDay();
  writeClosingLines(elapsedMilliseconds(startTime, endTime));

  endRunAfterEnter(2);
}

}  // namespace tallyra
