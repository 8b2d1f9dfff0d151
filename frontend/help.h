// The help text, shown for the answer "help" at the start-up prompt.
#ifndef TALLYRA_FRONTEND_HELP_H_
#define TALLYRA_FRONTEND_HELP_H_

namespace tallyra {

// Our authorship note, shown at the end of the banner's first line and of
// the help text's warranty line.
constexpr char kAuthorshipNote[] = "written by the Tallyra developers.";
// The acknowledgement line of the banner and of the result file's header.
constexpr char kAcknowledgementLine[] =
    "Thanks to everyone who sent job files and reported faults.";

// Writes the 19 lines of help to Screen, waits for two presses of Enter and
// ends the process with exit status 0. Creates no file.
[[noreturn]] void printHelp();

}  // namespace tallyra

#endif  // TALLYRA_FRONTEND_HELP_H_
