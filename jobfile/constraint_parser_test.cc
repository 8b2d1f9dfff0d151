#include "jobfile/constraint_parser.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "jobfile/line_reader.h"
#include "run/channels.h"
#include "run/run_state.h"
#include "tests/fake_platform.h"

namespace tallyra {
namespace {

// Elements "abc", operations "*+"; the job file holds `lines` as its
// constraint section.
class ConstraintLines : public ::testing::Test {
 protected:
  void start(const std::string& lines, const char* operations = "*+") {
    resetChannels();
    fake_.files.clear();
    fake_.screen.clear();
    fake_.openJobFile(lines);
    job_.elementSymbols.assign("abc");
    job_.size = 3;
    runOptions.operationSymbols.assign(operations);
    job_.constraintCount = 0;
    symbols_ = SymbolLookup(job_.elementSymbols, runOptions.operationSymbols);
  }
  // Reads and parses the next significant line; answers the exit status
  // when it stopped the run, -1 otherwise.
  int parseNext() {
    return fake_.run(
        [this] { parseConstraintLine(readSignificantLine(PrintLines::kAreData), symbols_, job_); });
  }
  std::string stored() const {
    std::string s;
    for (int i = 0; i < job_.constraintCount; ++i) {
      const Constraint& c = job_.constraintTable[i];
      s += std::to_string(c.left) + std::to_string(c.operation) + std::to_string(c.right) +
           std::to_string(c.result) + " ";
    }
    return s;
  }
  // The screen after the echo: the data error stop's message line, or "".
  std::string message() const {
    size_t head = fake_.screen.find("possibly/appeared at: \r\n");
    if (head == std::string::npos) return "";
    size_t from = head + 24;
    return fake_.screen.substr(from, fake_.screen.find("\r\n", from) - from);
  }
  std::string echo() const {
    size_t end = fake_.screen.find("\r\n");
    return end == std::string::npos ? "" : fake_.screen.substr(0, end);
  }
  std::string resultText() {
    resultFile.showNow();
    return fake_.resultText();
  }
  FakePlatform fake_;
  SymbolLookup symbols_;
  JobRecord job_;  // the fixture is made on the heap
};

TEST_F(ConstraintLines, BlanksAndCommasSeparateConstraints) {
  start("a*b=c b*a=c\na*b=c,b*a=c\na*b=c    b+a=c\n");
  EXPECT_EQ(parseNext(), -1);
  EXPECT_EQ(parseNext(), -1);
  EXPECT_EQ(parseNext(), -1);
  // left, operation, right, result
  EXPECT_EQ(stored(), "1123 2113 1123 2113 1123 2213 ");
  EXPECT_EQ(fake_.screen, "a*b=c b*a=c\r\na*b=c b*a=c\r\na*b=c    b+a=c\r\n");
  EXPECT_EQ(resultText(), fake_.screen);
}

TEST_F(ConstraintLines, RemarksIndentationAndLabelsInTheEcho) {
  start(
      "a*b=c \\w commutes\na*b=c\\w x\n   a*a=a\n(assoc) a*b=c\nx (1) b*b=b\n"
      "a*b=c (1) b*a=c\na*b=c \\w (see below\n");
  for (int i = 0; i < 7; ++i) EXPECT_EQ(parseNext(), -1);
  EXPECT_EQ(fake_.screen,
            "a*b=c ; commutes\r\na*b=c; x\r\n   a*a=a\r\n(assoc) a*b=c\r\nx (1) b*b=b\r\n"
            "a*b=c (1) b*a=c\r\na*b=c ; (see below\r\n");
  // The constraint in front of ")" goes with the label region.
  EXPECT_EQ(stored(), "1123 1123 1111 1123 2122 2113 1123 ");
}

TEST_F(ConstraintLines, OnlyTheFirstRemarkMarkerIsShownAsSemicolon) {
  start("a*b=c \\w one \\w two \\W\n");
  EXPECT_EQ(parseNext(), -1);
  EXPECT_EQ(echo(), "a*b=c ; one \\w two \\W");
}

TEST_F(ConstraintLines, PrintCommandIsRejectedBeforeTheEcho) {
  start("a*b=c \\w \\P\n");
  EXPECT_EQ(parseNext(), 0);
  EXPECT_EQ(message(), "(code9Hj): \"\\P\" command is not allowed in a constraint line");
  EXPECT_EQ(fake_.screen.rfind("\a\r\n", 0), 0u);  // nothing echoed before the stop
  EXPECT_EQ(resultText(), "");
}

struct Fault {
  const char* line;
  const char* message;
  const char* stored;  // what the table holds at the stop
};

TEST_F(ConstraintLines, EveryFaultHasItsMessageAfterTheEcho) {
  const Fault faults[] = {
      {")1( a*b=c", "(code7h2S): \")\" precedes \"(\" in a constraint line", ""},
      {"(1 a*b=c", "(code9hq8S): Only one of \"(\" and \")\" is present in a constraint line", ""},
      {"a*b=c ; )", "", "1123 "},  // the remark is not examined
      {"(1) (2) a*b=c", "(code1h4S): more than one \"(\" or \")\" in a constraint line", ""},
      {"(1) a*b=c)", "(code1h4S): more than one \"(\" or \")\" in a constraint line", ""},
      {"(1) ; note", "(codeTh4s) invalid constraint in ||", ""},
      {"(only)", "(codeTh4s) invalid constraint in ||", ""},
      {"a * b = c", "(codeTh4s) invalid constraint in |a * b = c|", ""},
      {"a*b=c a*b=cc", "(codeTh4s) invalid constraint in |a*b=cc|", "1123 "},
      {"a*d=c",
       "(codeTz7) invalid element(s) or operation or mispositioned/missing \"=\" in constraint "
       "ina*d=c",
       ""},
      {"a-b=c",
       "(codeTz7) invalid element(s) or operation or mispositioned/missing \"=\" in constraint "
       "ina-b=c",
       ""},
      {"a=b=c",
       "(codeTz7) invalid element(s) or operation or mispositioned/missing \"=\" in constraint "
       "ina=b=c",
       ""},
      {"a*bc= b*b=b",
       "(codeTz7) invalid element(s) or operation or mispositioned/missing \"=\" in constraint "
       "ina*bc= b*b=b",
       ""},
      {"b*b=b  a*b+c",
       "(codeTz7) invalid element(s) or operation or mispositioned/missing \"=\" in constraint "
       "ina*b+c",
       "2122 "},
  };
  for (const Fault& f : faults) {
    SCOPED_TRACE(f.line);
    // A remark marker "\w" in the line echoes as ";".
    std::string line = f.line;
    size_t semicolon = line.find(';');
    if (semicolon != std::string::npos) line.replace(semicolon, 1, "\\w");
    start(line + "\n");
    int status = parseNext();
    EXPECT_EQ(status, f.message[0] == '\0' ? -1 : 0);
    EXPECT_EQ(echo(), f.line);
    EXPECT_EQ(message(), f.message);
    EXPECT_EQ(stored(), f.stored);
  }
}

// What a constraint line gives, worked out the plain way from the rules:
// the echo (the screen's first line), the message of the stop ("" when
// none) and what is stored, for
// elements "abc" and `operations`.
struct Outcome {
  std::string echo, message, stored;
};

Outcome byTheRules(std::string line, const std::string& operations) {
  Outcome o;
  line.resize(std::min(line.find('%'), line.size()));
  for (char& c : line)
    if (c == ',') c = ' ';
  while (!line.empty() && line.back() == ' ') line.pop_back();
  const size_t remark = line.find("\\w");
  if (remark != std::string::npos) line.replace(remark, 2, ";");
  if (line.find("\\P") != std::string::npos) {
    o.message = "(code9Hj): \"\\P\" command is not allowed in a constraint line";
    o.echo = "\a";  // the stop's first line: nothing was echoed
    return o;
  }
  o.echo = line;
  if (remark != std::string::npos) line.resize(remark);
  line.erase(0, line.find_first_not_of(' '));
  line.resize(line.find_last_not_of(' ') + 1);
  const size_t open = line.find('('), close = line.find(')'), none = std::string::npos;
  if (open != none && close != none && open > close) {
    o.message = "(code7h2S): \")\" precedes \"(\" in a constraint line";
    return o;
  }
  if ((open == none) != (close == none)) {
    o.message = "(code9hq8S): Only one of \"(\" and \")\" is present in a constraint line";
    return o;
  }
  if (close != none) line.erase(0, close + 1);
  if (line.find_first_of("()") != none) {
    o.message = "(code1h4S): more than one \"(\" or \")\" in a constraint line";
    return o;
  }
  const std::string elements = "abc";
  do {
    line.erase(0, line.find_first_not_of(' '));
    const size_t end = std::min(line.find(' '), line.size());
    if (end != 5) {
      o.message = "(codeTh4s) invalid constraint in |" + line + "|";
      return o;
    }
    const size_t left = elements.find(line[0]), op = operations.find(line[1]),
                 right = elements.find(line[2]), result = elements.find(line[4]);
    if (left == none || op == none || right == none || result == none ||
        line.substr(0, 5).find('=') != 3) {
      o.message =
          "(codeTz7) invalid element(s) or operation or mispositioned/missing \"=\" in "
          "constraint in" +
          line;
      return o;
    }
    o.stored += std::to_string(left + 1) + std::to_string(op + 1) + std::to_string(right + 1) +
                std::to_string(result + 1) + " ";
    line.erase(0, std::min(end + 1, line.size()));
  } while (!line.empty());
  return o;
}

TEST_F(ConstraintLines, RandomLinesComeOutAsTheRulesSay) {
  // Constraints, mostly well formed, with separators, labels, remarks,
  // print commands and comments among them; a blank and "=" may be
  // operations too.
  const std::string operations = "*+= ";
  const std::string odd[] = {" ", " ", ",", "(", ")", "\\w", "\\P", "%", "\\", "W", "d", "="};
  std::mt19937 random(20240611);
  auto pick = [&random](const std::string& from) { return from[random() % from.size()]; };
  int stops = 0;
  for (int i = 0; i < 6000; ++i) {
    std::string line;
    const int count = 1 + static_cast<int>(random() % 10);
    for (int k = 0; k < count; ++k) {
      if (random() % 6 == 0) {
        line += odd[random() % std::size(odd)];
        continue;
      }
      // x*y=z, each character now and then another one
      std::string constraint = {pick("abc"), pick("*+"), pick("abc"), '=', pick("abc")};
      for (char& c : constraint)
        if (random() % 24 == 0) c = pick("abcd*+= ,()=");
      line += constraint + pick("  ,");
    }
    // A line that the reader skips (nothing before its comment) has no outcome.
    const std::string data = line.substr(0, std::min(line.find('%'), line.size()));
    if (data.find_first_not_of(" ,") == std::string::npos) continue;
    SCOPED_TRACE(line);
    const Outcome expected = byTheRules(line, operations);
    start(line + "\n", operations.c_str());
    const int status = parseNext();
    ASSERT_EQ(status, expected.message.empty() ? -1 : 0);
    stops += status == 0;
    ASSERT_EQ(message(), expected.message);
    ASSERT_EQ(echo(), expected.echo);
    ASSERT_EQ(stored(), expected.stored);
  }
  // Both outcomes are common enough to tell.
  EXPECT_GT(stops, 1000);
  EXPECT_LT(stops, 5000);
}

TEST_F(ConstraintLines, MessagesCarryingTheLineAreCutAt255) {
  start(std::string("a*b=c ") + std::string(240, 'x') + "\n");
  EXPECT_EQ(parseNext(), 0);
  std::string m = message();
  EXPECT_EQ(m.size(), 255u);
  EXPECT_EQ(m.rfind("(codeTh4s) invalid constraint in |xxx", 0), 0u);
}

TEST_F(ConstraintLines, AtMost131072ConstraintsPerJob) {
  std::string lines;
  for (int i = 0; i < 131072 / 8; ++i) lines += "a*a=a a*b=c b*a=c b*b=a c*c=c a+b=c b+c=a c+a=b\n";
  start(lines + "b*b=b\n");
  for (int i = 0; i < 131072 / 8; ++i) ASSERT_EQ(parseNext(), -1);
  EXPECT_EQ(job_.constraintCount, 131072);
  EXPECT_EQ(parseNext(), 0);
  EXPECT_EQ(message(), "(code-pZw) too many constraints");
  EXPECT_NE(fake_.screen.find("b*b=b\r\n\a\r\n"), std::string::npos);  // echoed first
}

TEST_F(ConstraintLines, A131073rdConstraintWithBadSyntaxGetsTheSyntaxMessage) {
  start("a*b=cc\n");
  job_.constraintCount = 131072;
  EXPECT_EQ(parseNext(), 0);
  EXPECT_EQ(message(), "(codeTh4s) invalid constraint in |a*b=cc|");
}

}  // namespace
}  // namespace tallyra
