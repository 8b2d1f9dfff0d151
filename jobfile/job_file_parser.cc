#include "jobfile/job_file_parser.h"

#include "jobfile/constraint_parser.h"
#include "jobfile/job_echo.h"
#include "jobfile/line_reader.h"
#include "jobfile/number_reader.h"
#include "run/channels.h"
#include "run/data_error_stop.h"
#include "run/run_state.h"
#include "run/runtime_error_stop.h"

namespace tallyra {
namespace {

constexpr std::string_view kSubtrahendKeyword = "\\subtrahend-in-exponent=";
constexpr std::string_view kOperationsKeyword = "\\operationsymbols=";
// Characters that cannot be element symbols.
constexpr std::string_view kReservedCharacters = "%\\-*+=()[]'{}?., ";

// The size is read straight from the job file: blanks, tabs and line ends
// skipped, one token, the rest of its line skipped. The token ends at a
// blank, a tab, a line end or the end of the file, which a Ctrl-Z also
// marks. A token that is no number is a runtime error, not a data error.
int32_t readSize() {
  int c = jobFile.peek();
  while (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
    jobFile.get();
    c = jobFile.peek();
  }
  NumberReader number(true);
  while (c >= 0 && c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != 26) {
    number.take(static_cast<char>(jobFile.get()));
    c = jobFile.peek();
  }
  if (!jobFile.atEnd()) jobFile.skipRestOfLine();
  int32_t size;
  if (!number.finish(&size)) runtimeErrorStop(RuntimeError::kInvalidInput);
  return size;
}

}  // namespace

// Tests the current line first. A keyword line that is the file's last is
// reported missing.
void JobFileParser::searchFor(std::string_view keyword, std::string_view missingMessage) {
  while (!jobFile.atEnd() && !current_.text.contains(keyword))
    current_ = readSignificantLine(PrintLines::kShown);
  if (jobFile.atEnd()) dataErrorStop(missingMessage);
}

void JobFileParser::checkAndStoreElements(const TextLine& line, JobRecord& job) {
  if (line.length() != job.size)
    dataErrorStop("(codeHL1sW) a different number of elements were expected");
  job.elementSymbols.assign(line.view());
  const ElementSymbols& symbols = job.elementSymbols;
  int n = symbols.length();
  for (int i = 1; i <= n; ++i) {
    for (int j = i + 1; j <= n; ++j) {
      if (symbols.at(i) == symbols.at(j)) {
        dataErrorStop("(codeZLqHx) repeated symbols in {", symbols.view(), "}.");
      }
    }
  }
  for (int i = 1; i <= n; ++i) {
    if (kReservedCharacters.find(symbols.at(i)) != std::string_view::npos) {
      dataErrorStop("(codeZLqkRtM) Illegal character in ", symbols.view(), "");
    }
  }
  symbols_ = SymbolLookup(symbols, runOptions.operationSymbols);
}

void JobFileParser::readHeader() {
  searchFor("\\verbose=", "(codet7v) the \"\\verbose=\" command is missing!");
  runOptions.verbose = current_.text.contains("true");

  searchFor(kSubtrahendKeyword, "(codeH2v) the \"\\subtrahend-in-exponent=\" command is missing!");
  current_.text.erase(1, static_cast<int>(kSubtrahendKeyword.size()));
  int32_t k;
  if (!readNumber(current_.text.view(), false, &k))
    dataErrorStop("(codeS3x) the \"\\subtrahend-in-exponent=\" does not give a natural number!");
  if (k < 0 || k > 20) dataErrorStop("(codeG5i) 0 <= subtrahend <= 20 fails");
  runOptions.subtrahend = k;

  searchFor(kOperationsKeyword, "(codePx6) the \"\\operationsymbols=\" command is missing!");
  current_.text.erase(
      1, current_.text.find(kOperationsKeyword) - 1 + static_cast<int>(kOperationsKeyword.size()));
  runOptions.operationSymbols = current_.text;
}

void JobFileParser::findFirstJob() {
  while (!jobFile.atEnd() && !current_.text.contains("\\beginjob") &&
         !current_.text.contains("\\enddata"))
    current_ = readSignificantLine(PrintLines::kShown);
  if (!current_.text.contains("\\beginjob"))
    dataErrorStop("(code7zf) no \"\\beginjob\" command was found");
}

void JobFileParser::readJob(JobRecord& job) {
  // For the first job the current line is the "\beginjob" line; for a later
  // one it is known not to hold "\enddata", so only the end can stop here.
  if (jobFile.atEnd() || current_.text.contains("\\enddata"))
    dataErrorStop("No more jobs, the program terminates.");
  searchFor("\\name", "(code4idG) \"\\name\" is missing from input file");
  current_ = readSignificantLine(PrintLines::kShown);
  echoJobName(current_.text.view());
  job.name = current_.text;

  if (jobFile.atEnd()) dataErrorStop("(codeshR) \"\\size\" is missing from input file");
  current_ = readSignificantLine(PrintLines::kShown);
  if (!current_.text.contains("\\size"))
    dataErrorStop("(code4Pqs) \"\\size\" is missing from input file");

  if (jobFile.atEnd())
    dataErrorStop("(codesh8H) the size of the algebra is missing from input file");
  job.size = readSize();
  echoJobSize(job.size);

  if (jobFile.atEnd()) dataErrorStop("(codeZuBv) \"\\elements\" is missing from input file");
  current_ = readSignificantLine(PrintLines::kShown);
  if (!current_.text.contains("elements"))
    dataErrorStop("(codeJjw) \"\\elements\" is missing from input file");

  if (jobFile.atEnd()) dataErrorStop("(codekKw) the elements are missing from input file");
  current_ = readSignificantLine(PrintLines::kShown);
  echoJobElements(current_.text.view());
  checkAndStoreElements(current_.text, job);

  // Kept as it is: this message shares its code with the one for a missing
  // "\elements"; users' files and scripts see these bytes.
  if (jobFile.atEnd()) dataErrorStop("(codeZuBv) \"\\constraints\" is missing from input file");
  current_ = readSignificantLine(PrintLines::kShown);
  if (!current_.text.contains("\\constraints"))
    dataErrorStop("(codeRtPx) \"\\constraints\" is missing from input file");

  job.constraintCount = 0;
  for (;;) {
    current_ = readSignificantLine(PrintLines::kAreData);
    if (jobFile.atEnd())
      dataErrorStop("(codezBnY) \"\\constraints\" or \"\\endofjob\" was expected");
    if (current_.text.contains("\\endofjob")) break;
    parseConstraintLine(current_, symbols_, job);
  }
}

bool JobFileParser::readEndOfJobs() {
  current_ = readSignificantLine(PrintLines::kShown);
  return current_.text.contains("\\enddata");
}

}  // namespace tallyra
