#include "run/run_end.h"

#include "platform/platform.h"
#include "run/channels.h"
#include "run/text_line.h"

namespace tallyra {

void endRunAfterEnter(int presses) {
  // Whatever the user does at the wait (closes the window, types Ctrl-C),
  // the result file already holds everything the run wrote.
  resultFile.writeOut();
  TextLine ignored;
  for (int i = 0; i < presses; ++i) keyboard.readLine(ignored);
  jobFile.close();
  resultFile.close();
  endProcess(0);
}

}  // namespace tallyra
