#include "counting/subuniverse_engine.h"

#include <algorithm>

namespace tallyra {

void SubuniverseEngine::setOptions(const Options& options) {
  options_ = options;
  options_.triedElements = std::clamp(options_.triedElements, 0, kMaxTriedElements);
  options_.exactKeysAfter = std::max<int64_t>(options_.exactKeysAfter, 0);
  options_.pairsRuleAbove = std::clamp(options_.pairsRuleAbove, 0, kMaxSize);
}

SubsetCount SubuniverseEngine::count(int size, const Constraint* constraints, int constraintCount) {
  statistics_ = Statistics{};
  if (size < 1 || size > kMaxSize) return 0;
  if (options_.checkComponents) check_.startJob(size, constraints, constraintCount);
  if (size <= SubuniverseSearch<1>::kMaxSize)
    return narrow_.count(size, constraints, constraintCount, options_, statistics_, check_);
  if (size <= SubuniverseSearch<2>::kMaxSize)
    return middle_.count(size, constraints, constraintCount, options_, statistics_, check_);
  return wide_.count(size, constraints, constraintCount, options_, statistics_, check_);
}

}  // namespace tallyra
