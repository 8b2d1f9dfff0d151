// The benchmark's family mode (see bench/README.md): every job of every
// family of tests/algebras/algebra_families.h, in its given element order
// and in random ones, timed on the engine alone.
#ifndef TALLYRA_BENCH_FAMILY_BENCH_H_
#define TALLYRA_BENCH_FAMILY_BENCH_H_

#include "counting/engine_settings.h"

namespace tallyra {

struct FamilyBenchOptions {
  int shuffles = 0;                    // random element orders besides the given one
  unsigned long long seed = 1;         // of the random orders
  const char* family = nullptr;        // only this family (by name)
  const char* job = nullptr;           // only this job (by name)
  bool everyJob = false;               // a row per job, not only per family
  bool once = false;                   // count each job in each order once, untimed
  const char* jobDirectory = nullptr;  // write the jobs as job files instead
  EngineOptions engine;                // the engine's options
};

// Runs the families and prints a Markdown table; returns the exit status.
int runFamilyBench(const FamilyBenchOptions& options);

}  // namespace tallyra

#endif  // TALLYRA_BENCH_FAMILY_BENCH_H_
