// Writes large job files for the whole-run throughput benchmark: many small
// jobs, the way people who study small algebras generate them.
//
//   tallyra_jobgen partial JOBS SEED    random partial algebras: 6 to 14
//                                       elements, 10 to 40 facts each over
//                                       two operations, 8 facts a line
//   tallyra_jobgen tables JOBS SEED     full random operation tables on 8
//                                       elements, one row of 8 facts a line
//
// The job file goes to standard output, in verbose=false mode, with LF line
// ends. The same seed gives the same bytes on every platform.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/algebras/sample_algebras.h"

namespace tallyra {
namespace {

constexpr char kSymbols[] = "abcdefghijkmnopqrstuvxyzABCDEFG";

// A buffered writer onto standard output, so that generating a 100 MB file
// takes a moment, not minutes.
class Out {
 public:
  ~Out() { flush(); }
  void put(char c) {
    if (used_ == sizeof buffer_) flush();
    buffer_[used_++] = c;
  }
  void put(const char* text) {
    while (*text != '\0') put(*text++);
  }
  void number(long n) {
    char digits[24];
    int len = std::snprintf(digits, sizeof digits, "%ld", n);
    for (int i = 0; i < len; ++i) put(digits[i]);
  }
  void flush() {
    if (used_ > 0 && std::fwrite(buffer_, 1, used_, stdout) != used_) std::exit(1);
    used_ = 0;
  }

 private:
  char buffer_[1 << 16];
  size_t used_ = 0;
};

void header(Out& out) {
  out.put("\\verbose=false\n\\subtrahend-in-exponent=0\n\\operationsymbols=*+\n\\beginjob\n");
}

void jobStart(Out& out, char kind, long index, int size) {
  out.put("\\name\n");
  out.put(kind);
  out.number(index);
  out.put("\n\\size\n");
  out.number(size);
  out.put("\n\\elements\n");
  for (int i = 0; i < size; ++i) out.put(kSymbols[i]);
  out.put("\n\\constraints\n");
}

void fact(Out& out, int left, char operation, int right, int result) {
  out.put(kSymbols[left]);
  out.put(operation);
  out.put(kSymbols[right]);
  out.put('=');
  out.put(kSymbols[result]);
}

void partialAlgebras(Out& out, long jobs, SampleRandom& random) {
  for (long j = 0; j < jobs; ++j) {
    int size = 6 + random.below(9);
    int facts = 10 + random.below(31);
    jobStart(out, 'P', j, size);
    for (int f = 0; f < facts; ++f) {
      fact(out, random.below(size), "*+"[random.below(2)], random.below(size), random.below(size));
      out.put((f + 1) % 8 == 0 || f + 1 == facts ? '\n' : ' ');
    }
    out.put("\\endofjob\n");
  }
}

void operationTables(Out& out, long jobs, SampleRandom& random) {
  constexpr int kSize = 8;
  for (long j = 0; j < jobs; ++j) {
    jobStart(out, 'T', j, kSize);
    for (int x = 0; x < kSize; ++x) {
      for (int y = 0; y < kSize; ++y) {
        fact(out, x, '*', y, random.below(kSize));
        out.put(y + 1 == kSize ? '\n' : ' ');
      }
    }
    out.put("\\endofjob\n");
  }
}

int run(int argc, char** argv) {
  if (argc != 4 || (std::strcmp(argv[1], "partial") != 0 && std::strcmp(argv[1], "tables") != 0)) {
    std::fprintf(stderr, "usage: %s partial|tables JOBS SEED\n", argv[0]);
    return 2;
  }
  long jobs = std::atol(argv[2]);
  SampleRandom random(std::strtoull(argv[3], nullptr, 10));
  Out out;
  header(out);
  if (argv[1][0] == 'p')
    partialAlgebras(out, jobs, random);
  else
    operationTables(out, jobs, random);
  out.put("\\enddata\n");
  out.flush();
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace
}  // namespace tallyra

int main(int argc, char** argv) { return tallyra::run(argc, argv); }
