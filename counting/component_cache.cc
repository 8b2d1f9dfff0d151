#include "counting/component_cache.h"

#include <algorithm>

namespace tallyra {

template <int Words>
void ComponentCache<Words>::clearSlots(uint32_t from, uint32_t to) {
  for (uint32_t i = from; i < to; ++i) {
    slots_[i].generation = 0;
    tags_[i] = 0;
  }
}

template <int Words>
void ComponentCache<Words>::startJob(int elements) {
  ++generation_;
  if (generation_ == 0) {  // wrapped: old generation numbers come back
    clearSlots(0, reach_.cleared);
    for (uint32_t i = 0; i < clearedDependence_; ++i) dependence_[i].generation = 0;
    generation_ = 1;
  }
  // Every job starts with 2^10 slots, which stay in the processor's caches
  // from job to job, and reaches further as it stores more.
  reach_.start(0, [this](uint32_t from, uint32_t to) { clearSlots(from, to); });
  dependenceBits_ = std::clamp(elements - 3, kDependenceBits - 4, kDependenceBits);
  for (; clearedDependence_ < uint32_t{1} << dependenceBits_; ++clearedDependence_)
    dependence_[clearedDependence_].generation = 0;
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
