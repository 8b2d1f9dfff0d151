#include "frontend/job_processor.h"

#include <cstdint>

#include "counting/subuniverse_engine.h"
#include "frontend/report.h"
#include "frontend/run_clock.h"
#include "frontend/startup.h"
#include "jobfile/job_file_parser.h"
#include "run/channels.h"
#include "run/run_state.h"

// Fuzz builds only (CMake option TALLYRA_FUZZ): every part the engine counts
// is counted again by trying its subsets where it is small enough, and
// every job's count is checked against the references (see
// counting/count_check.h); a difference ends the process at once, which
// the fuzzer reports.
#if defined(TALLYRA_CHECK_COUNTS)
#include "counting/count_check.h"
#endif

namespace tallyra {
namespace {

// The run's one engine and its one job record (each job overwrites the
// last), kept for the whole run: both too large for the stack.
SubuniverseEngine engine;
JobRecord jobRecord;

// Counts the subuniverses of `job` and writes its result lines.
void countAndReportSubuniverses(const JobRecord& job) {
#if defined(TALLYRA_CHECK_COUNTS)
  // Every part checked as it is counted; every other job a long search
  // from the first node (residual cache keys, parts of up to ten elements
  // tried), in the search's plain instructions, so that both kinds of key,
  // both ways of trying and both forms of the code are checked.
  static int64_t jobsChecked = 0;
  SubuniverseEngine::Options checked;
  checked.checkComponents = true;
  if (jobsChecked++ % 2 == 1) {
    checked.longSearchAfter = 0;
    checked.plainInstructions = true;
  }
  engine.setOptions(checked);
#endif
  const SubsetCount n = engine.count(job.size, job.constraintTable, job.constraintCount);
#if defined(TALLYRA_CHECK_COUNTS)
  checkCountAgainstReferences(job.size, job.constraintTable, job.constraintCount, n);
#endif
  writeResultLines(job, n);
}

}  // namespace

void processJobs() {
  openJobAndResultFiles();
  JobFileParser parser;
  parser.readHeader();
  parser.findFirstJob();

  startTime = platform().localTimeOfDay();
  writeReportHeader();

  for (;;) {
    screen.writeLine("");
    resultFile.writeLine("");
    parser.readJob(jobRecord);
    if (runOptions.verbose) writeConstraintListing(jobRecord);
    countAndReportSubuniverses(jobRecord);
    if (parser.readEndOfJobs()) return;
  }
}

}  // namespace tallyra
