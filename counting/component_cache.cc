#include "counting/component_cache.h"

#include <algorithm>

namespace tallyra {

template <int Words>
void ComponentCache<Words>::startJob(int elements) {
  slotBits_ = std::clamp(elements, kSlotBits - 5, kSlotBits);
  dependenceBits_ = std::clamp(elements - 3, kDependenceBits - 4, kDependenceBits);
  for (; clearedSlots_ < uint32_t{1} << slotBits_; ++clearedSlots_) {
    slots_[clearedSlots_].generation = 0;
    tags_[clearedSlots_] = 0;
  }
  for (; clearedDependence_ < uint32_t{1} << dependenceBits_; ++clearedDependence_)
    dependence_[clearedDependence_].generation = 0;
  ++generation_;
  if (generation_ == 0) {  // wrapped: old generation numbers come back
    for (uint32_t i = 0; i < clearedSlots_; ++i) slots_[i].generation = 0;
    for (uint32_t i = 0; i < clearedDependence_; ++i) dependence_[i].generation = 0;
    generation_ = 1;
  }
}

template <int Words>
bool ComponentCache<Words>::findDependence(const Set& component, Set& depends, bool& exact) const {
  const DependenceSlot& slot = dependence_[dependenceSlot(component)];
  if (slot.generation != generation_ || slot.component != component) return false;
  depends = slot.depends;
  exact = slot.exact;
  return true;
}

template <int Words>
void ComponentCache<Words>::storeDependence(const Set& component, const Set& depends, bool exact) {
  dependence_[dependenceSlot(component)] = DependenceSlot{component, depends, generation_, exact};
}

template class ComponentCache<1>;
template class ComponentCache<2>;
template class ComponentCache<4>;

}  // namespace tallyra
