#include "tests/algebras/job_file_writing.h"

namespace tallyra {

void writeJobFileStart(FILE* file) {
  std::fprintf(file, "\\verbose=false\n\\subtrahend-in-exponent=0\n\\operationsymbols=*+\n");
  std::fprintf(file, "\\beginjob\n");
}

void writeJob(FILE* file, const char* name, const SampleAlgebra& algebra) {
  // 0-9 and A-T name the first 30 elements, as they always have; then U-Z,
  // a-z, ! and #: 64 distinct printable characters, none of them reserved.
  static const char kSymbols[] =
      "0123456789ABCDEFGHIJKLMNOPQRST"
      "UVWXYZabcdefghijklmnopqrstuvwxyz!#";
  static_assert(sizeof kSymbols - 1 == kMaxSampleElements);
  std::fprintf(file, "\\name\n%s\n\\size\n%d\n\\elements\n%.*s\n\\constraints\n", name,
               algebra.size, algebra.size, kSymbols);
  // 40 constraints of five characters and a blank stay within a line's
  // 255 characters.
  for (int i = 0; i < algebra.constraintCount; ++i) {
    const Constraint& c = algebra.constraints[i];
    std::fprintf(file, "%c%c%c=%c%c", kSymbols[c.left - 1], "*+"[c.operation - 1],
                 kSymbols[c.right - 1], kSymbols[c.result - 1],
                 (i + 1) % 40 == 0 || i + 1 == algebra.constraintCount ? '\n' : ' ');
  }
  std::fprintf(file, "\\endofjob\n");
}

void writeJobFileEnd(FILE* file) { std::fprintf(file, "\\enddata\n"); }

bool writeSingleJobFile(const char* path, const char* name, const SampleAlgebra& algebra) {
  FILE* file = std::fopen(path, "w");
  if (file == nullptr) return false;
  writeJobFileStart(file);
  writeJob(file, name, algebra);
  writeJobFileEnd(file);
  return std::fclose(file) == 0;
}

}  // namespace tallyra
