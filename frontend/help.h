// The help text, shown for the answer "help" at the start-up prompt.
#ifndef TALLYRA_FRONTEND_HELP_H_
#define TALLYRA_FRONTEND_HELP_H_

namespace tallyra {

// Writes the 19 lines of help to Screen, waits for two presses of Enter and
// ends the process with exit status 0. Creates no file.
[[noreturn]] void printHelp();

}  // namespace tallyra

#endif  // TALLYRA_FRONTEND_HELP_H_
