#include "jobfile/line_reader.h"

#include "jobfile/job_echo.h"
#include "run/channels.h"
#include "run/data_error_stop.h"

namespace tallyra {

namespace {

// What the cut took from the last physical line read: whether, before any
// "%" in the cut-off part, it held a character other than blank or comma.
struct CutOffPart {
  bool inComment = false;
  bool heldData = false;
  void operator()(std::string_view bytes) {
    for (char c : bytes) {
      if (inComment || heldData) return;
      if (c == '%')
        inComment = true;
      else if (c != ' ' && c != ',')
        heldData = true;
    }
  }
};

}  // namespace

SignificantLine readSignificantLine(PrintLines printLines) {
  SignificantLine found;
  TextLine& line = found.text;
  while (line.empty()) {
    if (jobFile.atEnd()) dataErrorStop("(CodezTvQ2b): unexpected end of input file");
    CutOffPart cut;
    jobFile.readLine(line, cut);
    int print = line.find("\\P");
    if (print != 0 && printLines == PrintLines::kShown) {
      line.erase(print, 2);
      echoPrintLine(line.view());
      line.clear();
      continue;
    }
    int comment = line.position('%');
    if (comment != 0) line.truncate(comment - 1);
    found.cutLostData = cut.heldData && comment == 0;
    commasToBlanks(line);
    found.indentation = trimBlanks(line);
  }
  return found;
}

void commasToBlanks(TextLine& line) {
  char* text = line.mutableData();
  for (int i = 0; i < line.length(); ++i)
    if (text[i] == ',') text[i] = ' ';
}

int32_t trimBlanks(TextLine& line) {
  const char* text = line.data();
  int front = 0;
  while (front < line.length() && text[front] == ' ') ++front;
  int keep = line.length();
  while (keep > front && text[keep - 1] == ' ') --keep;
  line.truncate(keep);
  line.erase(1, front);
  return front;
}

}  // namespace tallyra
