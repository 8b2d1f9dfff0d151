#include "jobfile/job_echo.h"

#include "run/channels.h"

namespace tallyra {

void echoPrintLine(std::string_view text) {
  screen.writeLine(text);
  resultFile.writeLine(text);
}

void echoJobName(std::string_view name) {
  screen.write("A: ");
  screen.write(name);
  screen.showNow();
}

void echoJobSize(int32_t size) {
  screen.write(", |A|=");
  screen.writeNumber(size);
  screen.showNow();
  resultFile.write("|A|=");
  resultFile.writeNumber(size);
  resultFile.showNow();
}

void echoJobElements(std::string_view elements) {
  for (OutputChannel* out : {&screen, &resultFile}) {
    out->write(", A(without commas)={");
    out->write(elements);
    out->writeLine("}. Constraints:");
  }
}

void echoConstraintLine(std::string_view line) {
  screen.writeLine(line);
  resultFile.writeLine(line);
}

}  // namespace tallyra
