#include "frontend/help.h"

#include "frontend/program_texts.h"
#include "run/channels.h"
#include "run/run_end.h"

namespace tallyra {

void printHelp() {
  static const char* const kLines[] = {
      "",
      "This is Tallyra, a program for computing the number |Sub(A)| of subuniverses",
      "of a given (partial) algebra A, provided the operations are at most binary.",
      "(The operations need not be everywhere defined, so A can be a partial algebra.)",
      "",
      "The program takes its input from a txt file; study Tallyra-SampleData.txt for",
      "more information and NEVER change this file; use other files for your work!",
      "The input file must be an UNFORMATTED text file, so a *.txt file without ",
      "accented letters or \"strange\" characters. In Windows, you can simply drag",
      "the input file on (the icon of) the program. In \"verbose\" mode, the program",
      "echoes the input data; otherwise it does not. The output goes to the screen",
      "and also to a file whose name is obtained by suffixing \"_r-\"<x> to the name of",
      "the input file name; here <x> denotes the first character from decimals",
      "and English letters such that the file does not exist.",
      "Even if some aspects of the input data are checked, improper data can cause",
      "runtime errors or other malfunctions. This program \"is as it is\" ",
      nullptr,  // the warranty line, with our authorship note
      "",
      "                                     Press <enter> twice to quit.",
  };
  for (const char* line : kLines) {
    if (line == nullptr) {
      screen.write("This program \"is as it is\", without any warranty!   ");
      screen.writeLine(kAuthorshipNote);
    } else {
      screen.writeLine(line);
    }
  }
  // No file is open yet: the end closes none.
  endRunAfterEnter(2);
}

}  // namespace tallyra
