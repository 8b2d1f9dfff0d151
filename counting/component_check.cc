#include "counting/component_check.h"

#include <cassert>

namespace tallyra {

void ComponentCheck::startJob(int size, const Constraint* constraints, int constraintCount) {
  constraints_ = constraints;
  size_ = size;
  for (int x = 0; x <= size; ++x) first_[x] = 0;
  // Counted into first_[x + 1], summed, then filled from the front.
  for (int i = 0; i < constraintCount; ++i) {
    const Constraint& c = constraints[i];
    ++first_[c.left];
    if (c.right != c.left) ++first_[c.right];
  }
  for (int x = 1; x <= size; ++x) first_[x] += first_[x - 1];
  int next[kMaxSetElements];
  for (int x = 0; x < size; ++x) next[x] = first_[x];
  for (int i = 0; i < constraintCount; ++i) {
    const Constraint& c = constraints[i];
    byOperand_[next[c.left - 1]++] = i;
    if (c.right != c.left) byOperand_[next[c.right - 1]++] = i;
  }
}

template <typename Set>
uint64_t ComponentCheck::count(const Set& part, const Set& included) const {
  // Bit t of word w stands for the subset 64w + t of the members (bit i of
  // the number: members[i]); broken marks the subsets that break a
  // constraint.
  static constexpr uint64_t kHolding[6] = {0xAAAAAAAAAAAAAAAAu, 0xCCCCCCCCCCCCCCCCu,
                                           0xF0F0F0F0F0F0F0F0u, 0xFF00FF00FF00FF00u,
                                           0xFFFF0000FFFF0000u, 0xFFFFFFFF00000000u};
  int members[kMostElements];
  int slot[kMaxSetElements];  // slot[members[i]] = i; -1 outside the part
  for (int x = 0; x < size_; ++x) slot[x] = -1;
  int k = 0;
  forEach(part, [&](int x) {
    assert(k < kMostElements && !has(included, x));
    slot[x] = k;
    members[k++] = x;
  });
  const int words = k <= 6 ? 1 : 1 << (k - 6);
  const uint64_t valid = k >= 6 ? ~uint64_t{0} : (uint64_t{1} << (1 << k)) - 1;
  auto holding = [&](int i, int w) -> uint64_t {
    return i < 6 ? kHolding[i] : (w >> (i - 6) & 1) != 0 ? ~uint64_t{0} : 0;
  };
  uint64_t broken[1 << (kMostElements - 6)] = {};
  for (int i = 0; i < k; ++i) {
    const int x = members[i];
    for (int j = first_[x]; j < first_[x + 1]; ++j) {
      const Constraint& c = constraints_[byOperand_[j]];
      const int l = c.left - 1, r = c.right - 1, z = c.result - 1;
      // Each constraint once: from its left operand when that is in the
      // part, else from its right.
      if (x != l && slot[l] >= 0) continue;
      if ((slot[l] < 0 && !has(included, l)) || (slot[r] < 0 && !has(included, r))) continue;
      if (has(included, z)) continue;
      for (int w = 0; w < words; ++w) {
        const uint64_t both = (slot[l] >= 0 ? holding(slot[l], w) : ~uint64_t{0}) &
                              (slot[r] >= 0 ? holding(slot[r], w) : ~uint64_t{0});
        broken[w] |= both & ~(slot[z] >= 0 ? holding(slot[z], w) : 0);
      }
    }
  }
  uint64_t closed = 0;
  for (int w = 0; w < words; ++w) closed += static_cast<uint64_t>(elementCount(~broken[w] & valid));
  return closed;
}

template uint64_t ComponentCheck::count<ElementSetOf<1>>(const ElementSetOf<1>&,
                                                         const ElementSetOf<1>&) const;
template uint64_t ComponentCheck::count<ElementSetOf<2>>(const ElementSetOf<2>&,
                                                         const ElementSetOf<2>&) const;
template uint64_t ComponentCheck::count<ElementSetOf<4>>(const ElementSetOf<4>&,
                                                         const ElementSetOf<4>&) const;

}  // namespace tallyra
