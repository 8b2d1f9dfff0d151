// The start-up dialogue: which job file the run reads, and the new result
// file beside it.
//
// The job file is the first command-line argument when that can be opened;
// otherwise the user types names at a prompt until one opens, or "help" for
// the help text. The result file is named after the job file with "_r" and
// a mark put in front of the extension ("data.txt" gives "data_r0.txt");
// the first mark under which nothing exists yet is taken, and the file is
// created new, so no existing file is ever emptied or overwritten.
#ifndef TALLYRA_FRONTEND_STARTUP_H_
#define TALLYRA_FRONTEND_STARTUP_H_

#include "run/text_line.h"

namespace tallyra {

// The job file's name as given, and the result file's name as made.
extern TextLine inputFileName;
extern TextLine resultFileName;

// The result file marks, in the order they are tried: no "l", no "w".
constexpr char kResultFileMarks[] = "0123456789abcdefghijkmnopqrstuvxyz";

// Shows the banner, opens JobFile (inputFileName) and creates ResultFile
// (resultFileName). Does not return after "help" (printHelp), when all 34
// result names are taken (data error stop), when the keyboard input ends
// while a name is awaited ("Read past end of file", or the system's reason
// why the last name tried could not be opened, when there is one) or when
// the result file cannot be created ("Access denied" without permission,
// otherwise the system's reason).
void openJobAndResultFiles();

// The extension of a file name: from its last full stop on, unless a "/",
// "\" or ":" stands after that full stop; empty when there is none.
TextLine fileExtension(const TextLine& name);

}  // namespace tallyra

#endif  // TALLYRA_FRONTEND_STARTUP_H_
