// Reading the job file: its header and its jobs.
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
//
// A JobFileParser keeps the current line (the last line read, or what a step
// has left of it) and the lookup of the current job's symbols between the
// calls, which the job processor makes in this order on one parser per job
// file: readHeader(), findFirstJob(), then readJob() and readEndOfJobs() for
// every job. Every fault in the data ends the run through the data error
// stop; these functions return only on good data.
#ifndef TALLYRA_JOBFILE_JOB_FILE_PARSER_H_
#define TALLYRA_JOBFILE_JOB_FILE_PARSER_H_

#include <string_view>

#include "jobfile/constraint_parser.h"
#include "jobfile/line_reader.h"
#include "run/job_model.h"

namespace tallyra {

class JobFileParser {
 public:
  // Reads "\verbose=", "\subtrahend-in-exponent=" and "\operationsymbols="
  // into runOptions.
  void readHeader();

  // Reads on to the first "\beginjob" line.
  void findFirstJob();

  // Reads one job into `job`, from the search for its "\name" line to its
  // "\endofjob" line, and echoes it to Screen and ResultFile as it goes
  // (job_echo.h): the name, the size and the elements on one line (Screen
  // shows the name, the result file does not), then every constraint line.
  // Stops the run with "No more jobs, the program terminates." when the job
  // file has run out where the job should begin.
  void readJob(JobRecord& job);

  // Reads the significant line after a job into the current line; true when
  // it holds "\enddata", which ends the jobs. Otherwise the search for the
  // next job starts there.
  bool readEndOfJobs();

 private:
  // Reads significant lines until the current line holds `keyword`.
  void searchFor(std::string_view keyword, std::string_view missingMessage);
  // Stores a checked elements line in `job` and makes the lookup.
  void checkAndStoreElements(const TextLine& line, JobRecord& job);

  SignificantLine current_;
  // The current job's element symbols and the run's operation symbols, as
  // the constraint lines name them.
  SymbolLookup symbols_;
};

}  // namespace tallyra

#endif  // TALLYRA_JOBFILE_JOB_FILE_PARSER_H_
