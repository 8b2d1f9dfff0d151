#include "jobfile/constraint_parser.h"

#include <cstdint>

#include "jobfile/job_echo.h"
#include "run/data_error_stop.h"

namespace tallyra {
namespace {

// Echoes the line found, with its indentation, and answers its constraints
// region, trimmed: label and remark removed.
TextLine constraintsRegion(const SignificantLine& found) {
  TextLine line = found.text;
  line.prepend(found.indentation, ' ');
  int remark = line.find("\\w");
  if (remark != 0) {
    line.erase(remark, 1);
    line.setAt(remark, ';');
  }
  if (line.contains("\\P"))
    dataErrorStop("(code9Hj): \"\\P\" command is not allowed in a constraint line");
  echoConstraintLine(line.view());
  // Constraints past the 255th character would be lost without a word and
  // the count would be wrong; a remark or comment there loses nothing.
  if (found.cutLostData && remark == 0)
    dataErrorStop("(codeL255) constraint line longer than 255 characters; split it");
  if (remark != 0) line.truncate(remark - 1);
  trimBlanks(line);

  int open = line.position('(');
  int close = line.position(')');
  if (open == 0 && close == 0) return line;  // no label
  if (open == 0 || close == 0)
    dataErrorStop("(code9hq8S): Only one of \"(\" and \")\" is present in a constraint line");
  if (open > close) dataErrorStop("(code7h2S): \")\" precedes \"(\" in a constraint line");
  line.erase(1, close);
  if (line.position('(') != 0 || line.position(')') != 0)
    dataErrorStop("(code1h4S): more than one \"(\" or \")\" in a constraint line");
  return line;
}

}  // namespace

void parseConstraintLine(const SignificantLine& found, const SymbolLookup& symbols,
                         JobRecord& job) {
  TextLine line = constraintsRegion(found);
  // The line is trimmed at its end; `rest` is what is left of it, its
  // blanks in front dropped as each constraint is taken.
  std::string_view rest = line.view();
  do {
    size_t from = rest.find_first_not_of(' ');
    rest.remove_prefix(from == std::string_view::npos ? rest.size() : from);
    size_t length = rest.find(' ');
    if (length == std::string_view::npos) length = rest.size();
    if (length != 5) dataErrorStop("(codeTh4s) invalid constraint in |", rest, "|");

    int left = symbols.element(rest[0]);
    int operation = symbols.operation(rest[1]);
    int right = symbols.element(rest[2]);
    int result = symbols.element(rest[4]);
    // "=" must be the fourth character and the first "=" of the five.
    bool equalsFourth = rest[3] == '=' && rest.substr(0, 3).find('=') == std::string_view::npos;
    if (left == 0 || right == 0 || result == 0 || operation == 0 || !equalsFourth) {
      dataErrorStop(
          "(codeTz7) invalid element(s) or operation or mispositioned/missing "
          "\"=\" in constraint in",
          rest, "");
    }
    if (job.constraintCount == kMaxConstraints) dataErrorStop("(code-pZw) too many constraints");
    job.constraintTable[job.constraintCount] =
        Constraint{static_cast<uint8_t>(left), static_cast<uint8_t>(right),
                   static_cast<uint8_t>(result), static_cast<uint8_t>(operation)};
    ++job.constraintCount;
    rest.remove_prefix(rest.size() > 5 ? 6 : 5);
  } while (!rest.empty());
}

}  // namespace tallyra
