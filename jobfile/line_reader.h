// Reading the job file's significant lines.
//
// readSignificantLine() hides comments ("%" to the end of the line), blank
// lines and print lines ("\P") from the parsers: it returns the next line
// that carries data, with commas turned into blanks and outer blanks
// removed. A print line is echoed (job_echo.h), without its "\P", to Screen
// and then to ResultFile, except inside a job's constraints, where the
// caller asks for it to be returned like any other line. Only the blank
// (code 32) counts as a blank; a tab is an ordinary character.
#ifndef TALLYRA_JOBFILE_LINE_READER_H_
#define TALLYRA_JOBFILE_LINE_READER_H_

#include <cstdint>

#include "run/text_line.h"

namespace tallyra {

// What becomes of a print line ("\P"): shown on both channels and skipped,
// or, while a job's constraint lines are read, handed on like a data line
// (and rejected there).
enum class PrintLines { kShown, kAreData };

// A significant line as the reader found it.
struct SignificantLine {
  // Without its comment, commas as blanks, outer blanks removed; never empty.
  TextLine text;
  // The blanks removed from its front (after the commas became blanks);
  // with the text, at most 255 characters.
  int32_t indentation = 0;
  // Whether the physical line was cut at 255 characters and lost data by
  // the cut: its first 255 characters hold no comment, and the part cut off
  // holds, before any "%", a character other than blank or comma. A cut that
  // drops only blanks, commas or comment text loses nothing.
  bool cutLostData = false;
  // The backslash commands of the text, found in the reader's one search
  // for backslashes, so that a constraint line is not searched again:
  // whether it holds "\P" (which a constraint line must not), and where its
  // first "\w" (a constraint line's remark marker) starts, as a 0-based
  // offset into the text, or -1.
  bool holdsPrintCommand = false;
  int32_t remark = -1;
};

// Returns the next significant line, or ends the run with "(CodezTvQ2b):
// unexpected end of input file" when the job file ends first.
SignificantLine readSignificantLine(PrintLines printLines);

// Replaces every comma by a blank.
void commasToBlanks(TextLine& line);

// Removes leading and trailing blanks; returns the number removed from the
// front.
int32_t trimBlanks(TextLine& line);

}  // namespace tallyra

#endif  // TALLYRA_JOBFILE_LINE_READER_H_
