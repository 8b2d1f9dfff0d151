#include "frontend/job_processor.h"

#include <cstdint>

#include "counting/subuniverse_engine.h"
#include "frontend/report.h"
#include "frontend/startup.h"
#include "jobfile/job_file_parser.h"
#include "run/channels.h"
#include "run/run_state.h"

// Fuzz builds only (CMake option TALLYRA_FUZZ): the count of every job of
// 1 to 16 elements is checked against the plain enumeration, and of every
// larger job with at most kMostListed subuniverses against the closed-set
// listing; a difference ends the process at once, which the fuzzer
// reports.
#if defined(TALLYRA_CHECK_COUNTS)
#include <cstdlib>

#include "counting/closed_set_listing.h"
#include "counting/reference_count.h"
#endif

namespace tallyra {
namespace {

// The run's one engine, kept for the whole run like the job data.
SubuniverseEngine engine;

// Counts the subuniverses of the current job and writes its result lines.
void countAndReportSubuniverses() {
  SubsetCount n = engine.count(job.size, job.constraintTable, job.constraintCount);
#if defined(TALLYRA_CHECK_COUNTS)
  if (job.size >= 1 && job.size <= 16) {
    if (n != static_cast<SubsetCount>(
                 countByEnumeration(job.size, job.constraintTable, job.constraintCount)))
      std::abort();
  } else if (job.size > 16 && job.size <= 64) {
    constexpr uint64_t kMostListed = 20000;
    static ClosedSetListing listing;
    uint64_t listed =
        listing.count(job.size, job.constraintTable, job.constraintCount, kMostListed);
    if (listed <= kMostListed && n != listed) std::abort();
  }
#endif
  writeResultLines(n);
}

}  // namespace

void processJobs() {
  openJobAndResultFiles();
  readHeader();
  findFirstJob();

  startTime = platform().localTimeOfDay();
  writeReportHeader();

  for (;;) {
    screen.writeLine("");
    resultFile.writeLine("");
    readJob();
    if (runOptions.verbose) writeConstraintListing();
    countAndReportSubuniverses();
    if (readEndOfJobs()) return;
  }
}

}  // namespace tallyra
