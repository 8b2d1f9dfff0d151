#include "run/run_end.h"

#include "platform/platform.h"
#include "run/channels.h"
#include "run/text_line.h"

namespace tallyra {

void endRunAfterEnter(int presses) {
  TextLine ignored;
  for (int i = 0; i < presses; ++i) keyboard.readLine(ignored);
  jobFile.close();
  resultFile.close();
  endProcess(0);
}

}  // namespace tallyra
