#include "jobfile/line_reader.h"

#include <cstring>

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

// The 1-based positions of the first "\P" and the first "\w" in a line, 0
// where there is none: one search, from backslash to backslash.
struct BackslashCommands {
  int print = 0;
  int remark = 0;
  explicit BackslashCommands(const TextLine& line) {
    const char* text = line.data();
    const char* end = text + line.length();
    const char* at = text;
    while (print == 0 || remark == 0) {
      at = static_cast<const char*>(std::memchr(at, '\\', static_cast<size_t>(end - at)));
      if (at == nullptr || at + 1 == end) return;
      ++at;
      if (*at == 'P' && print == 0) print = static_cast<int>(at - text);
      if (*at == 'w' && remark == 0) remark = static_cast<int>(at - text);
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
    const BackslashCommands commands(line);
    if (commands.print != 0 && printLines == PrintLines::kShown) {
      line.erase(commands.print, 2);
      echoPrintLine(line.view());
      line.clear();
      continue;
    }
    int comment = line.position('%');
    if (comment != 0) line.truncate(comment - 1);
    found.cutLostData = cut.heldData && comment == 0;
    commasToBlanks(line);
    found.indentation = trimBlanks(line);
    // A command counts when it stands before the comment, so within the
    // text: it is no blank, so trimming left it where it was.
    auto beforeComment = [comment](int at) { return at != 0 && (comment == 0 || at < comment); };
    found.holdsPrintCommand = beforeComment(commands.print);
    found.remark = beforeComment(commands.remark) ? commands.remark - 1 - found.indentation : -1;
  }
  return found;
}

void commasToBlanks(TextLine& line) {
  // Every character written back, a comma as a blank: a loop that the
  // compiler does many characters at a time, with or without commas.
  char* text = line.mutableData();
  const int length = line.length();
  for (int i = 0; i < length; ++i) text[i] = text[i] == ',' ? ' ' : text[i];
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
