// The echo: every line that reading the job file writes to Screen and
// ResultFile as it goes. It is part of the run's report, whose other lines
// (the report header, the constraint listing, the result lines, the end of
// the run) frontend/report.cc writes; it is written here, as each piece is
// read, so that what was read shows before anything can stop the run.
//
// In the order of a job file:
//   a print line "\P..."   the line without its "\P", unchanged otherwise,
//                          to Screen, then to ResultFile
//   a job's name, size     Screen "A: <name>, |A|=<size>", ResultFile
//   and elements           "|A|=<size>", then on both
//                          ", A(without commas)={<elements>}. Constraints:"
//   each constraint line   with its indentation, without its comment, its
//                          commas as blanks and its first "\w" as ";", to
//                          Screen, then to ResultFile
// The pieces of the job's first line show at once as they are read.
#ifndef TALLYRA_JOBFILE_JOB_ECHO_H_
#define TALLYRA_JOBFILE_JOB_ECHO_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tallyra {

void echoPrintLine(std::string_view text);
void echoJobName(std::string_view name);
void echoJobSize(int32_t size);
void echoJobElements(std::string_view elements);
// The line is `indentation` blanks and then `text`, with the two characters
// "\w" at offset `remark` of the text, if it is not npos, shown as ";".
void echoConstraintLine(int32_t indentation, std::string_view text, size_t remark);

}  // namespace tallyra

#endif  // TALLYRA_JOBFILE_JOB_ECHO_H_
