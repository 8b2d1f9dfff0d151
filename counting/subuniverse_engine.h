// The engine that counts the subuniverses of a job.
//
// SubuniverseEngine::count() gives the number of subsets of {1..size}
// closed under a table of constraints x*y=z: the same number as
// countByEnumeration() (reference_count.h), found without trying the 2^size
// subsets one by one (the method is described in subuniverse_search.cc).
// A job of up to 64 elements is counted with sets of one 64-bit word, one
// of up to 128 with two, a larger one with four.
//
// An engine holds the whole state of a count: for each width a search with
// the constraints folded into bit masks, its levels and fixed caches of
// component counts (54 MiB in all by sizeof, of which a count touches what
// its job reaches, see subuniverse_search.h: keep engines in static
// storage, or on the heap). Nothing is allocated during a count but the
// room for a job's symmetries, once in a process, when a long search
// first asks for them; the count does not recurse. One engine runs
// one count at a time; separate engines may count side by side. Results of
// earlier counts never leak into later ones.
#ifndef TALLYRA_COUNTING_SUBUNIVERSE_ENGINE_H_
#define TALLYRA_COUNTING_SUBUNIVERSE_ENGINE_H_

#include <cstdint>

#include "counting/component_check.h"
#include "counting/engine_settings.h"
#include "counting/subuniverse_search.h"
#include "run/job_model.h"

namespace tallyra {

class SubuniverseEngine {
 public:
  using Options = EngineOptions;
  using Statistics = EngineStatistics;
  // The most elements of a job it counts.
  static constexpr int kMaxSize = SubuniverseSearch<4>::kMaxSize;

  SubuniverseEngine();
  SubuniverseEngine(const SubuniverseEngine&) = delete;
  SubuniverseEngine& operator=(const SubuniverseEngine&) = delete;

  // For the counts that follow; values out of range are brought into it.
  void setOptions(const Options& options);
  const Options& options() const { return options_; }

  // The number of subsets of {1..size} closed under constraints[0..count-1].
  // size is 1..kMaxSize (any other size gives 0); every position in the
  // constraints is 1..size; the answer is at most 2^size.
  SubsetCount count(int size, const Constraint* constraints, int constraintCount);

  // What the latest count did.
  const Statistics& statistics() const { return statistics_; }

 private:
  Options options_;
  Statistics statistics_;
  ComponentCheck check_;
  JobSymmetry symmetry_;
  // For the components that wide searches count in one-word sets.
  JobSymmetry narrowSymmetry_;
  ComponentCheck narrowCheck_;
  Constraint narrowConstraints_[kMaxConstraints];
  SubuniverseSearch<1> narrow_;
  SubuniverseSearch<2> middle_;
  SubuniverseSearch<4> wide_;
};

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_SUBUNIVERSE_ENGINE_H_
