#include "jobfile/constraint_parser.h"

#include "jobfile/line_reader.h"
#include "run/channels.h"
#include "run/data_error_stop.h"
#include "run/job_model.h"

namespace tallyra {
namespace {

// Stops with `prefix`, the line as it now stands and `suffix`, all cut to
// one text line.
[[noreturn]] void stopWithLine(std::string_view prefix, const TextLine& line,
                               std::string_view suffix) {
  TextLine message(prefix);
  message.append(line.view());
  message.append(suffix);
  dataErrorStop(message.view());
}

}  // namespace

void prepareConstraintLine(TextLine& line) {
  line.prepend(leadingBlanksRemoved, ' ');
  int remark = line.find("\\w");
  if (remark != 0) {
    line.erase(remark, 1);
    line.setAt(remark, ';');
  }
  if (line.contains("\\P"))
    dataErrorStop("(code9Hj): \"\\P\" command is not allowed in a constraint line");
  screen.writeLine(line.view());
  resultFile.writeLine(line.view());
  if (remark != 0) line.truncate(remark - 1);
  trimBlanks(line);

  int open = line.position('(');
  int close = line.position(')');
  if (open != 0 && close != 0) {
    if (open > close) dataErrorStop("(code7h2S): \")\" precedes \"(\" in a constraint line");
    line.erase(1, close);
  } else if (open != 0 || close != 0) {
    dataErrorStop("(code9hq8S): Only one of \"(\" and \")\" is present in a constraint line");
  }
  if (line.position('(') != 0 || line.position(')') != 0)
    dataErrorStop("(code1h4S): more than one \"(\" or \")\" in a constraint line");
}

void parseConstraintLine(TextLine& line) {
  prepareConstraintLine(line);
  do {
    trimBlanks(line);
    int end = line.position(' ');
    if (end == 0) end = line.length() + 1;
    if (end != 6) stopWithLine("(codeTh4s) invalid constraint in |", line, "|");

    const TextLine& ops = runOptions.operationSymbols;
    const ElementSymbols& elements = job.elementSymbols;
    int operation = ops.position(line.at(2));
    int left = elements.position(line.at(1));
    int right = elements.position(line.at(3));
    int result = elements.position(line.at(5));
    TextLine five(line.view().substr(0, 5));
    if (left == 0 || right == 0 || result == 0 || operation == 0 || five.position('=') != 4) {
      stopWithLine(
          "(codeTz7) invalid element(s) or operation or mispositioned/missing "
          "\"=\" in constraint in",
          line, "");
    }
    if (job.constraintCount == kMaxConstraints) dataErrorStop("(code-pZw) too many constraints");
    job.constraintTable[job.constraintCount] =
        Constraint{static_cast<uint8_t>(left), static_cast<uint8_t>(right),
                   static_cast<uint8_t>(result), static_cast<uint8_t>(operation)};
    ++job.constraintCount;
    line.erase(1, end);
  } while (!line.empty());
}

}  // namespace tallyra
