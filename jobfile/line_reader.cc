#include "jobfile/line_reader.h"

#include "run/channels.h"
#include "run/data_error_stop.h"
#include "run/job_model.h"

namespace tallyra {

void readSignificantLine(TextLine& line) {
  line.clear();
  while (line.empty()) {
    if (jobFile.atEnd()) dataErrorStop("(CodezTvQ2b): unexpected end of input file");
    jobFile.readLine(line);
    int print = line.find("\\P");
    if (print != 0 && !printLinesAreData) {
      line.erase(print, 2);
      screen.writeLine(line.view());
      resultFile.writeLine(line.view());
      line.clear();
      continue;
    }
    int comment = line.position('%');
    if (comment != 0) line.truncate(comment - 1);
    commasToBlanks(line);
    trimBlanks(line);
  }
}

void commasToBlanks(TextLine& line) {
  for (int i = 1; i <= line.length(); ++i)
    if (line.at(i) == ',') line.setAt(i, ' ');
}

void trimBlanks(TextLine& line) {
  int front = 0;
  while (front < line.length() && line.at(front + 1) == ' ') ++front;
  line.erase(1, front);
  leadingBlanksRemoved = front;
  int keep = line.length();
  while (keep > 0 && line.at(keep) == ' ') --keep;
  line.truncate(keep);
}

}  // namespace tallyra
