#include "counting/subuniverse_engine.h"

#include <cstdio>
#include <cstdlib>

#include "counting/small_job_count.h"

namespace tallyra {

SubuniverseEngine::SubuniverseEngine() {
  const NarrowCounting narrow{&narrow_, &narrowSymmetry_, &narrowCheck_, narrowConstraints_};
  middle_.setNarrow(narrow);
  wide_.setNarrow(narrow);
}

void SubuniverseEngine::setOptions(const Options& options) { options_ = optionsInRange(options); }

SubsetCount SubuniverseEngine::count(int size, const Constraint* constraints, int constraintCount) {
  if (size < 1 || size > kMaxSize) {
    statistics_ = Statistics{};
    return 0;
  }
  if (options_.checkComponents) check_.startJob(size, constraints, constraintCount);
  // A small job is counted at once when that is cheap: every subset tried.
  if (size <= kMaxSmallJobElements && options_.triedJobWork > 0 &&
      smallJobIsCheaper(size, constraints, constraintCount, options_.triedJobWork)) {
    statistics_ = Statistics{};
    statistics_.jobsTried = 1;
    const uint64_t counted = countSmallJob(size, constraints, constraintCount);
    if (options_.checkComponents) {
      statistics_.componentsChecked = 1;
      const uint64_t again = check_.count(firstElements<ElementSet>(size), ElementSet{0});
      if (again != counted) {
        std::fprintf(stderr,
                     "tallyra: trying every subset of a job of %d elements gives %llu closed "
                     "sets, trying them again %llu\n",
                     size, static_cast<unsigned long long>(counted),
                     static_cast<unsigned long long>(again));
        std::abort();
      }
    }
    return counted;
  }
  if (size <= SubuniverseSearch<1>::kMaxSize)
    return narrow_.count(size, constraints, constraintCount, options_, statistics_, check_,
                         symmetry_);
  if (size <= SubuniverseSearch<2>::kMaxSize)
    return middle_.count(size, constraints, constraintCount, options_, statistics_, check_,
                         symmetry_);
  return wide_.count(size, constraints, constraintCount, options_, statistics_, check_, symmetry_);
}

}  // namespace tallyra
