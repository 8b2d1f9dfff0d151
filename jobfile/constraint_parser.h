// Constraint lines: a job's operation table.
//
// A constraint line holds, in this order, an optional label "(...)", then
// constraints of exactly five characters "x*y=z" separated by blanks (a
// comma has already become a blank), then an optional remark from the first
// "\w" on. Every line is echoed to Screen and ResultFile (with its
// indentation restored and its first "\w" shown as ";"); its constraints
// are appended to the job's constraint table as positions. Any fault ends the
// run through the data error stop with a message naming it.
#ifndef TALLYRA_JOBFILE_CONSTRAINT_PARSER_H_
#define TALLYRA_JOBFILE_CONSTRAINT_PARSER_H_

#include <cstdint>

#include "jobfile/line_reader.h"
#include "run/job_model.h"
#include "run/text_line.h"

namespace tallyra {

// The 1-based position of every byte's first occurrence in a job's element
// symbols and in the run's operation symbols, 0 where it does not occur:
// made once per job, when its elements have been read. The blank and "="
// are never elements (the elements line is checked for them), and the
// parser counts on their element positions being 0.
class SymbolLookup {
 public:
  SymbolLookup() = default;
  SymbolLookup(const ElementSymbols& elements, const TextLine& operations) {
    fill(element_, elements);
    element_[static_cast<unsigned char>(' ')] = 0;
    element_[static_cast<unsigned char>('=')] = 0;
    fill(operation_, operations);
  }
  int element(char c) const { return element_[static_cast<unsigned char>(c)]; }
  int operation(char c) const { return operation_[static_cast<unsigned char>(c)]; }

 private:
  template <int Capacity>
  static void fill(uint8_t (&positions)[256], const FixedText<Capacity>& symbols) {
    for (int i = symbols.length(); i >= 1; --i)
      positions[static_cast<unsigned char>(symbols.at(i))] = static_cast<uint8_t>(i);
  }

  uint8_t element_[256] = {};
  uint8_t operation_[256] = {};
};

// Echoes and parses one significant line of a constraint section, as
// readSignificantLine() found it, with `symbols` made from the job's
// elements and the run's operations, and appends its constraints to `job`.
// Returns only when the line was valid and at least one constraint was
// appended.
void parseConstraintLine(const SignificantLine& line, const SymbolLookup& symbols, JobRecord& job);

}  // namespace tallyra

#endif  // TALLYRA_JOBFILE_CONSTRAINT_PARSER_H_
