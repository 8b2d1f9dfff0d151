// The job processor: reads the job file's header and works through its
// jobs, one after the other, echoing each and counting it.
//
// Layout of a job file (every keyword is found anywhere in its line):
//   \verbose=...                   "true" anywhere in the line: verbose mode
//   \subtrahend-in-exponent=<k>    the keyword opens the line; 0 <= k <= 20
//   \operationsymbols=<symbols>    one character per operation
//   \beginjob
//   then per job: \name, the name line, \size, the size (read directly from
//   the file), \elements, the elements line, \constraints, constraint lines,
//   \endofjob; "\enddata" as the first significant line after a job ends
//   the jobs.
#ifndef TALLYRA_JOBFILE_JOB_PARSER_H_
#define TALLYRA_JOBFILE_JOB_PARSER_H_

namespace tallyra {

// Opens the job and result files (start-up dialogue), reads the header,
// writes the report header and processes every job. Returns after a job
// that "\enddata" follows; every fault ends the run instead.
void processJobs();

}  // namespace tallyra

#endif  // TALLYRA_JOBFILE_JOB_PARSER_H_
