// The job processor: drives a run from the start-up dialogue through every
// job of the job file, read -> count -> report.
#ifndef TALLYRA_FRONTEND_JOB_PROCESSOR_H_
#define TALLYRA_FRONTEND_JOB_PROCESSOR_H_

namespace tallyra {

// Opens the job and result files (start-up dialogue), reads the header,
// takes the start time, writes the report header and then, for every job,
// reads and echoes it, lists its constraints in verbose mode, counts its
// subuniverses and writes its result lines. Returns after a job that
// "\enddata" follows; every fault ends the run instead.
void processJobs();

}  // namespace tallyra

#endif  // TALLYRA_FRONTEND_JOB_PROCESSOR_H_
