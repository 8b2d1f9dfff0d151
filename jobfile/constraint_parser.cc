#include "jobfile/constraint_parser.h"

#include <cstdint>
#include <cstring>

#include "jobfile/line_reader.h"
#include "run/channels.h"
#include "run/data_error_stop.h"
#include "run/run_state.h"

namespace tallyra {
namespace {

// The 1-based position of every byte's first occurrence in the element
// symbols and in the operation symbols (0 when it does not occur), made
// anew whenever either string has changed since the last line.
class SymbolLookup {
 public:
  void update(const ElementSymbols& elements, const TextLine& operations) {
    if (!same(elements_, elements) || !same(operations_, operations)) {
      elements_ = elements;
      operations_ = operations;
      fill(element_, elements_);
      fill(operation_, operations_);
    }
  }
  int element(char c) const { return element_[static_cast<unsigned char>(c)]; }
  int operation(char c) const { return operation_[static_cast<unsigned char>(c)]; }

 private:
  template <int Capacity>
  static bool same(const FixedText<Capacity>& a, const FixedText<Capacity>& b) {
    return a.view() == b.view();
  }
  template <int Capacity>
  static void fill(uint8_t (&positions)[256], const FixedText<Capacity>& symbols) {
    std::memset(positions, 0, sizeof positions);
    for (int i = symbols.length(); i >= 1; --i)
      positions[static_cast<unsigned char>(symbols.at(i))] = static_cast<uint8_t>(i);
  }

  ElementSymbols elements_;
  TextLine operations_;
  uint8_t element_[256] = {};
  uint8_t operation_[256] = {};
};

SymbolLookup symbols;

// Cleans and echoes the line, then leaves in it only the constraints region,
// trimmed: label and remark removed.
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
  // Constraints past the 255th character would be lost without a word and
  // the count would be wrong; a remark or comment there loses nothing.
  if (lastLineLostData() && remark == 0)
    dataErrorStop("(codeL255) constraint line longer than 255 characters; split it");
  if (remark != 0) line.truncate(remark - 1);
  trimBlanks(line);

  int open = line.position('(');
  int close = line.position(')');
  if (open == 0 && close == 0) return;  // no label
  if (open == 0 || close == 0)
    dataErrorStop("(code9hq8S): Only one of \"(\" and \")\" is present in a constraint line");
  if (open > close) dataErrorStop("(code7h2S): \")\" precedes \"(\" in a constraint line");
  line.erase(1, close);
  if (line.position('(') != 0 || line.position(')') != 0)
    dataErrorStop("(code1h4S): more than one \"(\" or \")\" in a constraint line");
}

}  // namespace

void parseConstraintLine(TextLine& line) {
  prepareConstraintLine(line);
  symbols.update(job.elementSymbols, runOptions.operationSymbols);
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
  line.clear();
}

}  // namespace tallyra
