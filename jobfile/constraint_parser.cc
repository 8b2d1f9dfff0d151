#include "jobfile/constraint_parser.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "jobfile/job_echo.h"
#include "run/data_error_stop.h"

namespace tallyra {
namespace {

// Echoes the line found, with its indentation, and answers its constraints
// region: label and remark removed, trailing blanks too. The reader has
// found the line's "\P" and "\w" and trimmed its front already.
std::string_view constraintsRegion(const SignificantLine& found) {
  if (found.holdsPrintCommand)
    dataErrorStop("(code9Hj): \"\\P\" command is not allowed in a constraint line");
  std::string_view line = found.text.view();
  const bool hasRemark = found.remark >= 0;
  const size_t remark = hasRemark ? static_cast<size_t>(found.remark) : std::string_view::npos;
  echoConstraintLine(found.indentation, line, remark);
  // Constraints past the 255th character would be lost without a word and
  // the count would be wrong; a remark or comment there loses nothing.
  if (found.cutLostData && !hasRemark)
    dataErrorStop("(codeL255) constraint line longer than 255 characters; split it");
  if (hasRemark) {
    line = line.substr(0, remark);
    while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
  }

  const size_t open = line.find('(');
  const size_t close = line.find(')');
  constexpr size_t kNone = std::string_view::npos;
  if (open == kNone && close == kNone) return line;  // no label
  if (open == kNone || close == kNone)
    dataErrorStop("(code9hq8S): Only one of \"(\" and \")\" is present in a constraint line");
  if (open > close) dataErrorStop("(code7h2S): \")\" precedes \"(\" in a constraint line");
  line.remove_prefix(close + 1);
  if (line.find('(') != kNone || line.find(')') != kNone)
    dataErrorStop("(code1h4S): more than one \"(\" or \")\" in a constraint line");
  return line;
}

// The next constraint, at the front of `rest`, is not five characters long
// and followed by a blank or the end.
[[noreturn]] void syntaxFault(std::string_view rest) {
  dataErrorStop("(codeTh4s) invalid constraint in |", rest, "|");
}

}  // namespace

void parseConstraintLine(const SignificantLine& found, const SymbolLookup& symbols,
                         JobRecord& job) {
  // The constraints, each read once where it stands: five characters that
  // are no blank, then a blank or the end of the region, whose last
  // character is no blank.
  const std::string_view region = constraintsRegion(found);
  const char* at = region.data();
  const char* const end = at + region.size();
  do {
    while (at != end && *at == ' ') ++at;
    const std::string_view rest(at, static_cast<size_t>(end - at));
    if (rest.size() < 5 || (rest.size() > 5 && at[5] != ' ')) syntaxFault(rest);
    const int left = symbols.element(at[0]);
    const int operation = symbols.operation(at[1]);
    const int right = symbols.element(at[2]);
    const int result = symbols.element(at[4]);
    // No element is a blank or "=", so with the three elements found and
    // "=" fourth, the five are no blank and "=" is the first "=" of them
    // unless the operation is one of the two.
    if (left == 0 || right == 0 || result == 0 || operation == 0 || at[3] != '=' || at[1] == ' ' ||
        at[1] == '=') {
      if (at[1] == ' ' || at[2] == ' ' || at[3] == ' ' || at[4] == ' ') syntaxFault(rest);
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
    at += rest.size() > 5 ? 6 : 5;
  } while (at != end);
}

}  // namespace tallyra
