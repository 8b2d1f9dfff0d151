#include "run/data_error_stop.h"

#include "platform/platform.h"
#include "run/channels.h"
#include "run/text_line.h"

namespace tallyra {

void dataErrorStop(std::string_view message) {
  screen.writeLine("\a");
  screen.writeLine("Error in data; possibly/appeared at: ");
  screen.writeLine(message);
  screen.writeLine("  Press <enter> to quit");
  TextLine ignored;
  keyboard.readLine(ignored);
  jobFile.close();
  resultFile.close();
  endProcess(0);
}

}  // namespace tallyra
