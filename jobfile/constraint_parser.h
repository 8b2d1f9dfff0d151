// Constraint lines: a job's operation table.
//
// A constraint line holds, in this order, an optional label "(...)", then
// constraints of exactly five characters "x*y=z" separated by blanks (a
// comma has already become a blank), then an optional remark from the first
// "\w" on. Every line is echoed to Screen and ResultFile (with its
// indentation restored and its first "\w" shown as ";"); its constraints
// are appended to the current job's table as positions. Any fault ends the
// run through the data error stop with a message naming it.
#ifndef TALLYRA_JOBFILE_CONSTRAINT_PARSER_H_
#define TALLYRA_JOBFILE_CONSTRAINT_PARSER_H_

#include "run/text_line.h"

namespace tallyra {

// Echoes and parses one significant line of a constraint section, as
// readSignificantLine() returned it: without its comment, commas and outer
// blanks, with leadingBlanksRemoved still telling its indentation. Consumes the line: it is empty
// on return. Returns only when the line was valid and at least one constraint was appended.
void parseConstraintLine(TextLine& line);

}  // namespace tallyra

#endif  // TALLYRA_JOBFILE_CONSTRAINT_PARSER_H_
