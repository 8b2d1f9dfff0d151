#include "run/run_state.h"

namespace tallyra {

RunOptions runOptions;
JobRecord job;
TextLine inputFileName;
TextLine resultFileName;
bool printLinesAreData = false;
int32_t leadingBlanksRemoved = 0;
TimeOfDay startTime;
TimeOfDay endTime;

void resetRunState() {
  runOptions = RunOptions();
  job.name.clear();
  job.size = 0;
  job.elementSymbols.clear();
  job.constraintCount = 0;
  inputFileName.clear();
  resultFileName.clear();
  printLinesAreData = false;
  leadingBlanksRemoved = 0;
  startTime = TimeOfDay();
  endTime = TimeOfDay();
}

}  // namespace tallyra
