// The engine alone on the jobs of job files, with any engine options: each
// job counted once, its count, time and the engine's statistics printed.
// Run by hand (see bench/README.md); it is no test.
//
//   tallyra_job_bench [--engine OPTIONS] JOBFILE...
//
// The job files are read plainly: the elements line after "\elements" and
// the facts x*y=z (one byte each) of the lines after "\constraints", up to
// "\endofjob"; comments, print lines and the header's rules are not
// looked at. It reads the files that bench/symmetric_jobs.py and
// tallyra_bench --write-jobs write; the program itself reads any job file.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "bench/engine_flag.h"
#include "counting/subuniverse_engine.h"
#include "tests/algebras/count_text.h"
#include "tests/algebras/sample_algebras.h"

namespace tallyra {
namespace {

SampleAlgebra algebra;
SubuniverseEngine engine;

std::string lineWithoutEnd(std::string text) {
  if (!text.empty() && text.back() == '\r') text.pop_back();
  return text;
}

// Reads the jobs of `path` one by one and hands each to `count`.
template <typename Count>
bool readJobs(const char* path, Count&& count) {
  FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  // The whole file (elements may be any byte but CR and LF, NUL among
  // them).
  std::string all;
  char buffer[65536];
  for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) all.append(buffer, got);
  std::fclose(file);
  std::string name;
  std::string next;  // what the next line is
  int position[256];
  for (size_t start = 0; start < all.size();) {
    size_t end = all.find('\n', start);
    if (end == std::string::npos) end = all.size();
    const std::string text = lineWithoutEnd(all.substr(start, end - start));
    start = end + 1;
    if (text == "\\name" || text == "\\elements" || text == "\\constraints") {
      next = text;
      continue;
    }
    if (text == "\\endofjob") {
      count(name.c_str());
      next.clear();
      continue;
    }
    if (next == "\\name") {
      name = text;
      next.clear();
    } else if (next == "\\elements") {
      std::fill(position, position + 256, -1);
      for (size_t i = 0; i < text.size(); ++i)
        position[static_cast<unsigned char>(text[i])] = static_cast<int>(i);
      algebra.reset(static_cast<int>(text.size()));
      next.clear();
    } else if (next == "\\constraints") {
      // Facts of five bytes: x, the operation, y, '=', z.
      for (size_t i = 0; i + 5 <= text.size(); ++i) {
        if (text[i + 3] != '=' || (i > 0 && text[i - 1] != ' ')) continue;
        const int x = position[static_cast<unsigned char>(text[i])];
        const int y = position[static_cast<unsigned char>(text[i + 2])];
        const int z = position[static_cast<unsigned char>(text[i + 4])];
        if (x < 0 || y < 0 || z < 0) continue;
        algebra.add(x, y, z, static_cast<unsigned char>(text[i + 1]));
        i += 4;
      }
    }
  }
  return true;
}

int run(int argc, char** argv) {
  EngineOptions options;
  int first = 1;
  if (argc > 2 && std::strcmp(argv[1], "--engine") == 0) {
    if (!parseEngineFlag(argv[2], options)) return 2;
    first = 3;
  }
  if (first >= argc) {
    std::fprintf(stderr, "usage: %s [--engine OPTIONS] JOBFILE...\n", argv[0]);
    return 2;
  }
  engine.setOptions(options);
  std::printf("engine: ");
  printEngineOptions(stdout, engine.options());
  for (int i = first; i < argc; ++i) {
    const bool read = readJobs(argv[i], [&](const char* name) {
      const auto start = std::chrono::steady_clock::now();
      const SubsetCount n =
          engine.count(algebra.size, algebra.constraints, algebra.constraintCount);
      const double ms =
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count();
      std::printf("%s: %d elements, %d facts, count %s, %.1f ms\n  ", name, algebra.size,
                  algebra.constraintCount, countText(n).digits, ms);
      printEngineStatistics(stdout, engine.statistics());
      std::printf("\n");
      std::fflush(stdout);
    });
    if (!read) {
      std::fprintf(stderr, "cannot read %s\n", argv[i]);
      return 1;
    }
  }
  return 0;
}

}  // namespace
}  // namespace tallyra

int main(int argc, char** argv) { return tallyra::run(argc, argv); }
