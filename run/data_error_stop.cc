#include "run/data_error_stop.h"

#include "run/channels.h"
#include "run/run_end.h"
#include "run/text_line.h"

namespace tallyra {

void dataErrorStop(std::string_view message) {
  screen.writeLine("\a");
  screen.writeLine("Error in data; possibly/appeared at: ");
  screen.writeLine(message);
  screen.writeLine("  Press <enter> to quit");
  endRunAfterEnter(1);
}

void dataErrorStop(std::string_view prefix, std::string_view text, std::string_view suffix) {
  TextLine message(prefix);
  message.append(text);
  message.append(suffix);
  dataErrorStop(message.view());
}

}  // namespace tallyra
