// The cost of finding a job's symmetries (counting/automorphisms.h) on the
// families of tests/algebras and on the semigroup of the 232 maps of four
// points that are not one to one: per job the group order found, the
// generators, the work and the microseconds (the fastest of a few runs).
//
//   tallyra_automorphism_bench [--family NAME] [--budget WORK] [--every-job]
//
// Without --family, every family that the other benchmarks run and then
// cube7-meet and the 232 maps; without --every-job, one row per family
// with its slowest job.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "counting/automorphisms.h"
#include "tests/algebras/algebra_families.h"
#include "tests/algebras/sample_algebras.h"

namespace tallyra {
namespace {

using Clock = std::chrono::steady_clock;

SampleAlgebra algebra;

struct Row {
  char job[kJobNameSize] = "";
  int size = 0;
  double log2Order = 0;
  int generators = 0;
  bool complete = false;
  long long work = 0;
  double microseconds = 0;
};

Row measure(AutomorphismSearch& search, AutomorphismGroup& group, int64_t budget) {
  Row row;
  double spent = 0;
  for (int run = 0; run < 3 || (run < 20 && spent < 20000); ++run) {
    const auto start = Clock::now();
    search.find(algebra.size, algebra.constraints, algebra.constraintCount, budget, group);
    const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    spent += us;
    if (run == 0 || us < row.microseconds) row.microseconds = us;
  }
  row.size = algebra.size;
  row.log2Order = group.log2Order;
  row.generators = group.generatorCount;
  row.complete = group.complete;
  row.work = static_cast<long long>(group.work);
  return row;
}

void printRow(const char* family, const Row& row) {
  char order[32];
  if (row.log2Order < 40) {
    std::snprintf(order, sizeof order, "%.0f", std::exp2(row.log2Order));
  } else {
    std::snprintf(order, sizeof order, "2^%.1f", row.log2Order);
  }
  std::printf("| %s | %s | %d | %s%s | %d | %lld | %.1f |\n", family, row.job, row.size, order,
              row.complete ? "" : " (incomplete)", row.generators, row.work, row.microseconds);
  std::fflush(stdout);
}

// The maps of {0,1,2,3} to itself that are not one to one, under
// composition (f*g: first g, then f), map m sending i to digit i of m in
// base 4.
void makeSingularMaps4(SampleAlgebra& out) {
  int maps[256];
  int index[256];
  int count = 0;
  for (int m = 0; m < 256; ++m) {
    int hit = 0;
    for (int i = 0; i < 4; ++i) hit |= 1 << (m >> (2 * i) & 3);
    index[m] = -1;
    if (hit != 15) index[m] = count, maps[count++] = m;
  }
  out.reset(count);
  for (int a = 0; a < count; ++a) {
    for (int b = 0; b < count; ++b) {
      int product = 0;
      for (int i = 0; i < 4; ++i) {
        const int through = maps[a] >> (2 * (maps[b] >> (2 * i) & 3)) & 3;
        product |= through << (2 * i);
      }
      out.add(a, b, index[product]);
    }
  }
}

void runFamily(const AlgebraFamily& family, bool everyJob, AutomorphismSearch& search,
               AutomorphismGroup& group, int64_t budget) {
  Row slowest;
  for (int index = 0; index < family.jobCount; ++index) {
    char name[kJobNameSize];
    family.make(index, name, algebra);
    Row row = measure(search, group, budget);
    std::snprintf(row.job, sizeof row.job, "%s", name);
    if (everyJob) printRow(family.name, row);
    if (index == 0 || row.microseconds > slowest.microseconds) slowest = row;
  }
  if (!everyJob) printRow(family.name, slowest);
}

int run(int argc, char** argv) {
  const char* only = nullptr;
  int64_t budget = kUnlimitedSymmetryWork;
  bool everyJob = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--family") == 0 && i + 1 < argc) {
      only = argv[++i];
    } else if (std::strcmp(argv[i], "--budget") == 0 && i + 1 < argc) {
      budget = std::strtoll(argv[++i], nullptr, 10);
    } else if (std::strcmp(argv[i], "--every-job") == 0) {
      everyJob = true;
    } else {
      std::fprintf(stderr, "usage: %s [--family NAME] [--budget WORK] [--every-job]\n", argv[0]);
      return 2;
    }
  }
  auto search = std::make_unique<AutomorphismSearch>();
  auto group = std::make_unique<AutomorphismGroup>();
  std::printf("| family | job (%s) | elements | order | generators | work | us |\n",
              everyJob ? "each" : "slowest");
  std::printf("|---|---|---:|---:|---:|---:|---:|\n");
  for (const AlgebraFamily& family : algebraFamilies()) {
    const bool named = only != nullptr && std::strcmp(only, family.name) == 0;
    if (named || (only == nullptr && (!family.onlyByName || family.jobCount == 1))) {
      runFamily(family, everyJob, *search, *group, budget);
    }
  }
  if (only == nullptr || std::strcmp(only, "singular-maps4") == 0) {
    makeSingularMaps4(algebra);
    Row row = measure(*search, *group, budget);
    std::snprintf(row.job, sizeof row.job, "Sing4");
    printRow("singular-maps4", row);
  }
  return 0;
}

}  // namespace
}  // namespace tallyra

int main(int argc, char** argv) { return tallyra::run(argc, argv); }
