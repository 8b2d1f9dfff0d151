#include "frontend/program_run.h"

#include "frontend/runtime_error_stop.h"
#include "jobfile/channels.h"
#include "jobfile/job_model.h"
#include "jobfile/job_parser.h"

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
  processJobs();
  endTime = platform().localTimeOfDay();
  int32_t elapsed = elapsedMilliseconds(startTime, endTime);

  screen.writeLine("");
  resultFile.writeLine("");
  screen.write("The computation terminated at ");
  screen.writeNumber(endTime.hour);
  screen.write(":");
  screen.writeNumber(endTime.minute);
  screen.write(":");
  screen.writeNumber(endTime.second);
  screen.write(".");
  screen.writeNumber(endTime.millisecond);
  screen.write("; it took ");
  screen.writeNumber(elapsed);
  screen.writeLine("/1000 seconds.");
  resultFile.write("The computation took ");
  resultFile.writeNumber(elapsed);
  resultFile.writeLine("/1000 seconds.");
  screen.writeLine("Thank you for using this program.   Hit <enter> twice to abandon!");

  TextLine ignored;
  keyboard.readLine(ignored);
  keyboard.readLine(ignored);
  jobFile.close();
  resultFile.close();
  endProcess(0);
}

}  // namespace tallyra
