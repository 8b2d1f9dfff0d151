#include "bench/family_bench.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "bench/engine_flag.h"
#include "counting/subuniverse_engine.h"
#include "tests/algebras/algebra_families.h"
#include "tests/algebras/count_text.h"
#include "tests/algebras/job_file_writing.h"
#include "tests/algebras/sample_algebras.h"

namespace tallyra {
namespace {

using Clock = std::chrono::steady_clock;

SampleAlgebra given;
SampleAlgebra ordered;
SubuniverseEngine engine;

// The random element order number `order` (1..) of a job: the same for the
// same seed, family, job and number.
void shuffleInto(const FamilyBenchOptions& options, int family, int index, int order) {
  ordered = given;
  if (order == 0) return;
  SampleRandom random(options.seed * 0x100000001B3u + static_cast<uint64_t>(family) * 1000003u +
                      static_cast<uint64_t>(index) * 7919u + static_cast<uint64_t>(order));
  shuffleElements(random, ordered);
}

struct Timing {
  SubsetCount count = 0;
  EngineStatistics statistics;
  double milliseconds = 0;
};

// The fastest of a few counts (noise only ever adds time); at least three,
// more for jobs that take microseconds.
Timing timeCount(const SampleAlgebra& algebra) {
  Timing best;
  double spent = 0;
  for (int run = 0; run < 3 || (run < 50 && spent < 2); ++run) {
    auto start = Clock::now();
    SubsetCount count = engine.count(algebra.size, algebra.constraints, algebra.constraintCount);
    double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    spent += ms;
    if (run == 0 || ms < best.milliseconds) best.milliseconds = ms;
    best.count = count;
    best.statistics = engine.statistics();
  }
  return best;
}

struct Worst {
  char job[kJobNameSize] = "";
  int order = 0;
  Timing timing;
};

int writeFamily(const FamilyBenchOptions& options, int family) {
  const AlgebraFamily& f = algebraFamilies()[family];
  char path[512];
  std::snprintf(path, sizeof path, "%s/%s.txt", options.jobDirectory, f.name);
  FILE* file = std::fopen(path, "w");
  if (!file) {
    std::fprintf(stderr, "cannot write %s\n", path);
    return 1;
  }
  writeJobFileStart(file);
  for (int index = 0; index < f.jobCount; ++index) {
    char name[kJobNameSize];
    f.make(index, name, given);
    if (options.job && std::strcmp(options.job, name) != 0) continue;
    for (int order = 0; order <= options.shuffles; ++order) {
      shuffleInto(options, family, index, order);
      char ordered_name[kJobNameSize + 16];
      std::snprintf(ordered_name, sizeof ordered_name, "%s/%d", name, order);
      writeJob(file, ordered_name, ordered);
    }
  }
  writeJobFileEnd(file);
  return std::fclose(file) == 0 ? 0 : 1;
}

}  // namespace

int runFamilyBench(const FamilyBenchOptions& options) {
  engine.setOptions(options.engine);
  if (!options.jobDirectory && !options.once) {
    std::printf("engine: ");
    printEngineOptions(stdout, engine.options());
    std::printf(
        "\n| family | jobs | orders | all jobs ms | slowest job | N | worst order | nodes | cache "
        "hits | ms |\n");
    std::printf("|---|---:|---:|---:|---|---:|---:|---:|---:|---:|\n");
  }
  int status = 0;
  const std::span<const AlgebraFamily> families = algebraFamilies();
  for (int family = 0; family < static_cast<int>(families.size()); ++family) {
    const AlgebraFamily& f = families[family];
    if (options.family ? std::strcmp(options.family, f.name) != 0 : f.onlyByName) continue;
    if (options.jobDirectory) {
      status |= writeFamily(options, family);
      continue;
    }
    if (options.once) {
      // A warm-up, printed as such: a job of each width of the engine's
      // sets, so that the one-time work of a new engine (clearing the
      // cache slots a job first reaches) does not fall to the family's first
      // job.
      static SampleAlgebra warmUp;
      for (int size : {64, 128, 237}) {
        warmUp.reset(size);
        warmUp.add(0, 0, 1);
        engine.count(warmUp.size, warmUp.constraints, warmUp.constraintCount);
        std::printf("warm-up %d 0 -\n", size);
      }
    }
    Worst worst;
    int jobs = 0;
    double total = 0;
    for (int index = 0; index < f.jobCount; ++index) {
      char name[kJobNameSize];
      f.make(index, name, given);
      if (options.job && std::strcmp(options.job, name) != 0) continue;
      ++jobs;
      Worst job;
      SubsetCount givenCount = 0;
      SubsetCount known = f.known ? f.known(index) : 0;
      for (int order = 0; order <= options.shuffles; ++order) {
        shuffleInto(options, family, index, order);
        if (options.once) {
          // For instruction counts (bench/README.md): one count, no timing.
          const SubsetCount once =
              engine.count(ordered.size, ordered.constraints, ordered.constraintCount);
          std::printf("%s %s %d %s\n", f.name, name, order, countText(once).digits);
          continue;
        }
        Timing t = timeCount(ordered);
        if (order == 0) givenCount = t.count;
        if (t.count != givenCount) {
          std::printf("MISMATCH: %s counts %s in order %d, %s in the given order\n", name,
                      countText(t.count).digits, order, countText(givenCount).digits);
          status = 1;
        }
        if (order == 0 && known != 0 && t.count != known) {
          std::printf("MISMATCH: %s counts %s, known to have %s\n", name, countText(t.count).digits,
                      countText(known).digits);
          status = 1;
        }
        if (order == 0 || t.milliseconds > job.timing.milliseconds) {
          job.order = order;
          job.timing = t;
        }
      }
      total += job.timing.milliseconds;
      if (options.everyJob) {
        std::printf("|   | | | | %s | %s | %d | %lld | %lld | %.3f | ", name,
                    countText(job.timing.count).digits, job.order,
                    static_cast<long long>(job.timing.statistics.nodes),
                    static_cast<long long>(job.timing.statistics.cacheHits),
                    job.timing.milliseconds);
        printEngineStatistics(stdout, job.timing.statistics);
        std::printf(" |\n");
      }
      if (jobs == 1 || job.timing.milliseconds > worst.timing.milliseconds) {
        worst = job;
        std::snprintf(worst.job, sizeof worst.job, "%s", name);
      }
    }
    if (jobs == 0 || options.once) continue;
    char order[24] = "given";
    if (worst.order > 0) std::snprintf(order, sizeof order, "shuffle %d", worst.order);
    std::printf("| %s | %d | %d | %.1f | %s | %s | %s | %lld | %lld | %.3f |\n", f.name, jobs,
                options.shuffles + 1, total, worst.job, countText(worst.timing.count).digits, order,
                static_cast<long long>(worst.timing.statistics.nodes),
                static_cast<long long>(worst.timing.statistics.cacheHits),
                worst.timing.milliseconds);
    std::fflush(stdout);
  }
  return status;
}

}  // namespace tallyra
