// Small-job throughput of the counting engine alone: many small random
// partial algebras (6 to 14 elements, 10 to 40 constraints, two
// operations), made once and then counted in a loop. Run by hand (see
// bench/README.md); it is no test.
//
//   tallyra_small_jobs [--jobs N] [--rounds R] [--seed S]
//
// Prints the time of the fastest round, in jobs per second and nanoseconds
// per job, and a checksum of the counts so that two builds can be seen to
// agree.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "counting/subuniverse_engine.h"
#include "tests/algebras/sample_algebras.h"

namespace tallyra {
namespace {

// The jobs, packed: sizes, constraint counts and all constraints in a row.
struct SmallJobs {
  static constexpr int kMaxJobs = 1000000;
  static constexpr int kMaxFacts = 40;
  uint8_t size[kMaxJobs];
  uint8_t facts[kMaxJobs];
  Constraint constraints[kMaxJobs][kMaxFacts];
};

void makeJobs(SmallJobs& jobs, int count, uint64_t seed) {
  SampleRandom random(seed);
  for (int j = 0; j < count; ++j) {
    int n = 6 + random.below(9);
    int facts = 10 + random.below(31);
    jobs.size[j] = static_cast<uint8_t>(n);
    jobs.facts[j] = static_cast<uint8_t>(facts);
    for (int i = 0; i < facts; ++i) {
      jobs.constraints[j][i] = Constraint{
          static_cast<uint8_t>(1 + random.below(n)), static_cast<uint8_t>(1 + random.below(n)),
          static_cast<uint8_t>(1 + random.below(n)), static_cast<uint8_t>(1 + random.below(2))};
    }
  }
}

int run(int argc, char** argv) {
  int count = 100000;
  int rounds = 5;
  uint64_t seed = 12;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--jobs") == 0 && i + 1 < argc) {
      count = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
      rounds = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
      seed = std::strtoull(argv[++i], nullptr, 10);
    } else {
      std::fprintf(stderr, "usage: %s [--jobs N] [--rounds R] [--seed S]\n", argv[0]);
      return 2;
    }
  }
  if (count < 1 || count > SmallJobs::kMaxJobs || rounds < 1) {
    std::fprintf(stderr, "--jobs must be 1..%d and --rounds at least 1\n", SmallJobs::kMaxJobs);
    return 2;
  }
  auto jobs = std::make_unique<SmallJobs>();
  auto engine = std::make_unique<SubuniverseEngine>();
  makeJobs(*jobs, count, seed);
  double best = 0;
  uint64_t checksum = 0;
  for (int round = 0; round < rounds; ++round) {
    checksum = 0;
    auto start = std::chrono::steady_clock::now();
    for (int j = 0; j < count; ++j)
      checksum = checksum * 31 +
                 engine->count(jobs->size[j], jobs->constraints[j], jobs->facts[j]).word(0);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (round == 0 || seconds < best) best = seconds;
  }
  std::printf(
      "%d jobs, fastest of %d rounds: %.3f s, %.0f jobs/s, %.0f ns a job (checksum %016llx)\n",
      count, rounds, best, count / best, best * 1e9 / count,
      static_cast<unsigned long long>(checksum));
  return 0;
}

}  // namespace
}  // namespace tallyra

int main(int argc, char** argv) { return tallyra::run(argc, argv); }
