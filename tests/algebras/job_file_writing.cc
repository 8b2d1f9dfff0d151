#include "tests/algebras/job_file_writing.h"

namespace tallyra {

void writeJobFileStart(FILE* file) {
  std::fprintf(file, "\\verbose=false\n\\subtrahend-in-exponent=0\n\\operationsymbols=*+\n");
  std::fprintf(file, "\\beginjob\n");
}

namespace {

// The element symbols: 0-9 and A-T name the first 30 elements, as they
// always have; then U-Z, a-z, ! and # (64 in all), the other printable
// characters that are not reserved (78), the bytes 128..255, and the
// control characters but CR and LF, Ctrl-Z (26) last: 237 bytes.
struct ElementSymbolList {
  char symbols[kMaxSampleElements];
  ElementSymbolList() {
    static const char kPrintable[] =
        "0123456789ABCDEFGHIJKLMNOPQRST"
        "UVWXYZabcdefghijklmnopqrstuvwxyz!#"
        "\"$&/:;<>@^_`|~";
    int n = 0;
    for (const char* c = kPrintable; *c != '\0'; ++c) symbols[n++] = *c;
    for (int byte = 128; byte < 256; ++byte) symbols[n++] = static_cast<char>(byte);
    for (int byte = 0; byte < 32; ++byte)
      if (byte != '\n' && byte != '\r' && byte != 26) symbols[n++] = static_cast<char>(byte);
    symbols[n++] = 127;
    symbols[n++] = 26;
  }
};

}  // namespace

void writeJob(FILE* file, const char* name, const SampleAlgebra& algebra) {
  static const ElementSymbolList list;
  const char* symbols = list.symbols;
  std::fprintf(file, "\\name\n%s\n\\size\n%d\n\\elements\n", name, algebra.size);
  std::fwrite(symbols, 1, static_cast<size_t>(algebra.size), file);
  std::fprintf(file, "\n\\constraints\n");
  // 40 constraints of five characters and a blank stay within a line's
  // 255 characters. A line that would begin with Ctrl-Z, which ends a job
  // file at the start of a line, begins with a blank.
  for (int i = 0; i < algebra.constraintCount; ++i) {
    const Constraint& c = algebra.constraints[i];
    if (i % 40 == 0 && symbols[c.left - 1] == 26) std::fputc(' ', file);
    char constraint[6] = {
        symbols[c.left - 1],   "*+"[c.operation - 1],
        symbols[c.right - 1],  '=',
        symbols[c.result - 1], (i + 1) % 40 == 0 || i + 1 == algebra.constraintCount ? '\n' : ' '};
    std::fwrite(constraint, 1, sizeof constraint, file);
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
