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

void echoConstraintLine(int32_t indentation, std::string_view text, size_t remark) {
  constexpr std::string_view kBlanks =
      "                                                                "
      "                                                                "
      "                                                                "
      "                                                               ";
  static_assert(kBlanks.size() == TextLine::kCapacity);
  const std::string_view blanks = kBlanks.substr(0, static_cast<size_t>(indentation));
  for (OutputChannel* out : {&screen, &resultFile}) {
    out->write(blanks);
    if (remark == std::string_view::npos) {
      out->write(text);
    } else {
      out->write(text.substr(0, remark));
      out->write(';');
      out->write(text.substr(remark + 2));
    }
    out->endLine();
  }
}

}  // namespace tallyra
