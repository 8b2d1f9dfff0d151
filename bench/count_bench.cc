// The counting benchmark: the fast counter against the plain enumeration on
// a fixed list of algebras, or (--families) the counter alone on families
// of algebras in several element orders (family_bench.cc). Run by hand (see
// bench/README.md); it is no test.
//
//   tallyra_bench [--plain-limit SECONDS] [--only NAME] [--write-jobs DIR]
//   tallyra_bench --families [--shuffle N] [--seed S] [--family NAME] ...
//
// Every job runs in a child process of its own, so that the peak resident
// set reported for it is that job's alone. The fast counter's time is the
// median of several runs (wall clock). The plain enumeration's time is
// processor time, so that other load on the machine does not inflate it;
// the enumeration (countByEnumeration) runs in
// full when it is expected to take at most the limit (10 s unless given),
// and its count is compared; beyond the limit its time is extrapolated from
// blocks of consecutive subsets spread evenly over the whole range and
// marked with "~". --write-jobs writes every job as a job file for the
// program itself and counts nothing. POSIX only (fork, wait4).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "bench/engine_flag.h"
#include "bench/family_bench.h"
#include "counting/reference_count.h"
#include "counting/subuniverse_engine.h"
#include "tests/algebras/algebra_families.h"
#include "tests/algebras/job_file_writing.h"
#include "tests/algebras/sample_algebras.h"

namespace tallyra {
namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double processorSecondsSince(std::clock_t start) {
  return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

SampleAlgebra algebra;
SubuniverseEngine countingEngine;

// The fixed list of jobs that this benchmark times.
const AlgebraFamily& fixedList() { return *findFamily(kFixedListFamily); }

bool writeJobFile(const char* directory, const char* name) {
  char path[512];
  std::snprintf(path, sizeof path, "%s/%s.txt", directory, name);
  return writeSingleJobFile(path, name, algebra);
}

// --- timing

double medianEngineMilliseconds(int64_t& count) {
  constexpr int kRuns = 11;
  double times[kRuns];
  for (double& time : times) {
    auto start = Clock::now();
    count = static_cast<int64_t>(
        countingEngine.count(algebra.size, algebra.constraints, algebra.constraintCount).word(0));
    time = secondsSince(start) * 1000;
  }
  std::sort(times, times + kRuns);
  return times[kRuns / 2];
}

// Tests the subsets whose numbers, read as the enumeration's binary counter,
// lie in [first, first + blockSize), as the enumeration does.
int32_t enumerateBlock(uint64_t first, uint64_t blockSize) {
  MembershipVector vector;
  for (int p = 1; p <= algebra.size; ++p)
    vector.membership[p] = (first >> (algebra.size - p) & 1) != 0;
  int32_t closed = 0;
  for (uint64_t i = 0; i < blockSize; ++i) {
    if (isClosed(vector, algebra.constraints, algebra.constraintCount)) ++closed;
    bool carry = true;
    for (int p = algebra.size; carry && p >= 1; --p) {
      vector.membership[p] = !vector.membership[p];
      carry = !vector.membership[p];
    }
  }
  return closed;
}

// The plain enumeration's time in milliseconds: measured when it fits the
// limit (then `estimated` is false and `count` its count), extrapolated from
// a sample otherwise.
double plainMilliseconds(double limitSeconds, bool& estimated, int64_t& count) {
  constexpr int kBlockBits = 12;
  const uint64_t subsets = uint64_t{1} << algebra.size;
  const uint64_t blockSize = std::min<uint64_t>(subsets, uint64_t{1} << kBlockBits);
  const uint64_t blocks = subsets / blockSize;
  // Sample for a tenth of the limit (at most a second); blocks are visited
  // in a scattered order so that the sample spreads over all subsets.
  const double sampleSeconds = std::min(1.0, limitSeconds / 10);
  std::clock_t start = std::clock();
  uint64_t visited = 0;
  while (visited < blocks && (visited < 4 || processorSecondsSince(start) < sampleSeconds)) {
    uint64_t block = (visited * 0x9E3779B97F4A7C15u + 1) & (blocks - 1);
    enumerateBlock(block * blockSize, blockSize);
    ++visited;
  }
  double expected =
      processorSecondsSince(start) * static_cast<double>(blocks) / static_cast<double>(visited);
  estimated = expected > limitSeconds;
  if (estimated) return expected * 1000;
  start = std::clock();
  count = countByEnumeration(algebra.size, algebra.constraints, algebra.constraintCount);
  return processorSecondsSince(start) * 1000;
}

// Prints the job's row but for the last column and returns the counter's
// median time in milliseconds.
double runJob(int index, double limitSeconds) {
  char name[kJobNameSize];
  fixedList().make(index, name, algebra);
  int64_t count = 0;
  double engine = medianEngineMilliseconds(count);
  bool estimated = false;
  int64_t plainCount = count;
  double plain = plainMilliseconds(limitSeconds, estimated, plainCount);
  char plainText[32];
  std::snprintf(plainText, sizeof plainText, "%s%.1f", estimated ? "~" : "", plain);
  const EngineStatistics& statistics = countingEngine.statistics();
  std::printf("| %-13s | %2d | %4d | %10lld | %6lld | %6lld | %8.3f | %12s | %9.0f |", name,
              algebra.size, algebra.constraintCount, static_cast<long long>(count),
              static_cast<long long>(statistics.nodes),
              static_cast<long long>(statistics.cacheHits), engine, plainText, plain / engine);
  if (plainCount != count)
    std::printf(" MISMATCH: the enumeration counts %lld |", static_cast<long long>(plainCount));
  std::fflush(stdout);
  return engine;
}

const char kUsage[] =
    "usage: %s [--plain-limit SECONDS] [--only NAME] [--write-jobs DIR] [--engine OPTIONS]\n"
    "       %s --families [--shuffle N] [--seed S] [--family NAME] [--only NAME] [--every-job]\n"
    "                     [--once] [--engine OPTIONS]\n"
    "       %s --list | --options\n"
    "OPTIONS: name=value,... of the engine's options (see bench/README.md)\n"
    "                     [--write-jobs DIR]\n";

int run(int argc, char** argv) {
  double limitSeconds = 10;
  const char* only = nullptr;
  const char* jobDirectory = nullptr;
  bool families = false;
  FamilyBenchOptions familyOptions;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--plain-limit") == 0 && i + 1 < argc) {
      limitSeconds = std::atof(argv[++i]);
    } else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc) {
      only = argv[++i];
    } else if (std::strcmp(argv[i], "--write-jobs") == 0 && i + 1 < argc) {
      jobDirectory = argv[++i];
    } else if (std::strcmp(argv[i], "--families") == 0) {
      families = true;
    } else if (std::strcmp(argv[i], "--shuffle") == 0 && i + 1 < argc) {
      familyOptions.shuffles = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
      familyOptions.seed = std::strtoull(argv[++i], nullptr, 10);
    } else if (std::strcmp(argv[i], "--family") == 0 && i + 1 < argc) {
      familyOptions.family = argv[++i];
    } else if (std::strcmp(argv[i], "--engine") == 0 && i + 1 < argc) {
      if (!parseEngineFlag(argv[++i], familyOptions.engine)) return 2;
    } else if (std::strcmp(argv[i], "--list") == 0) {
      // The families a run over every family counts: not those counted only
      // by name.
      for (const AlgebraFamily& family : algebraFamilies())
        if (!family.onlyByName) std::printf("%s\n", family.name);
      return 0;
    } else if (std::strcmp(argv[i], "--options") == 0) {
      printEngineTables(stdout);
      return 0;
    } else if (std::strcmp(argv[i], "--once") == 0) {
      familyOptions.once = true;
    } else if (std::strcmp(argv[i], "--every-job") == 0) {
      familyOptions.everyJob = true;
    } else {
      std::fprintf(stderr, kUsage, argv[0], argv[0], argv[0]);
      return 2;
    }
  }
  if (families) {
    familyOptions.job = only;
    familyOptions.jobDirectory = jobDirectory;
    return runFamilyBench(familyOptions);
  }
  countingEngine.setOptions(familyOptions.engine);
  const int jobCount = fixedList().jobCount;
  if (jobDirectory) {
    for (int index = 0; index < jobCount; ++index) {
      char name[kJobNameSize];
      fixedList().make(index, name, algebra);
      if (!writeJobFile(jobDirectory, name)) {
        std::fprintf(stderr, "cannot write %s/%s.txt\n", jobDirectory, name);
        return 1;
      }
    }
    return 0;
  }
  std::printf("engine: ");
  printEngineOptions(stdout, countingEngine.options());
  std::printf(
      "\n| job           | \\|A\\| | constraints | N | nodes | cache hits | engine ms | plain ms "
      "| ratio | peak RSS KiB |\n");
  std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
  std::fflush(stdout);
  double totalEngine = 0;
  for (int index = 0; index < jobCount; ++index) {
    if (only) {
      static SampleAlgebra scratch;
      char name[kJobNameSize];
      fixedList().make(index, name, scratch);
      if (std::strcmp(only, name) != 0) continue;
    }
    int timePipe[2];
    if (pipe(timePipe) != 0) return 1;
    pid_t child = fork();
    if (child < 0) return 1;
    if (child == 0) {
      double engine = runJob(index, limitSeconds);
      bool sent = write(timePipe[1], &engine, sizeof engine) == sizeof engine;
      _exit(sent ? 0 : 1);
    }
    close(timePipe[1]);
    double engine = 0;
    bool received = read(timePipe[0], &engine, sizeof engine) == sizeof engine;
    close(timePipe[0]);
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        !received) {
      std::printf(" failed |\n");
      return 1;
    }
    totalEngine += engine;
    std::printf(" %12ld |\n", usage.ru_maxrss);
    std::fflush(stdout);
  }
  std::printf("\nAll jobs, counter: %.3f ms\n", totalEngine);
  return 0;
}

}  // namespace
}  // namespace tallyra

int main(int argc, char** argv) { return tallyra::run(argc, argv); }
