// A second count of the parts the engine counts, for its checkComponents
// option (engine_settings.h): the number of subsets T of a part for which
// the closed set I and T together are closed under the job's constraints as
// they were given, found by trying every T. It shares nothing with the
// engine but the job's constraint list, so a fault in the engine's folded
// rules, its reductions or its cache keys shows as a difference at the
// first part it miscounts.
#ifndef TALLYRA_COUNTING_COMPONENT_CHECK_H_
#define TALLYRA_COUNTING_COMPONENT_CHECK_H_

#include <cstdint>

#include "counting/element_set.h"
#include "run/job_model.h"

namespace tallyra {

class ComponentCheck {
 public:
  // The most elements of a part that count() takes.
  static constexpr int kMostElements = 16;

  ComponentCheck() = default;
  ComponentCheck(const ComponentCheck&) = delete;
  ComponentCheck& operator=(const ComponentCheck&) = delete;

  // For the parts of the job of `size` elements with these constraints
  // (positions 1..size), which must stay where they are while it is used.
  void startJob(int size, const Constraint* constraints, int constraintCount);

  // The subsets T of `part` (at most kMostElements elements, none of them
  // in `included`) with included and T together closed.
  template <typename Set>
  uint64_t count(const Set& part, const Set& included) const;

 private:
  const Constraint* constraints_ = nullptr;
  int size_ = 0;
  // The constraints with x as an operand: byOperand_[first_[x]] up to
  // byOperand_[first_[x + 1]] (one entry for x*x=z).
  int first_[kMaxSetElements + 1] = {};
  int byOperand_[2 * kMaxConstraints];
};

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_COMPONENT_CHECK_H_
