#include "counting/component_cache.h"

#include <algorithm>

namespace tallyra {

void ComponentCache::startJob(int elements) {
  slotBits_ = std::clamp(elements, kSlotBits - 5, kSlotBits);
  dependenceBits_ = std::clamp(elements - 3, kDependenceBits - 4, kDependenceBits);
  ++generation_;
  if (generation_ == 0) {  // wrapped: old generation numbers come back
    for (Slot& slot : slots_) slot = Slot{};
    for (DependenceSlot& slot : dependence_) slot = DependenceSlot{};
    generation_ = 1;
  }
}

uint64_t ComponentCache::find(ElementSet component, ElementSet inside) const {
  const Slot* pair = &slots_[firstSlot(component, inside)];
  for (int i = 0; i < 2; ++i)
    if (pair[i].generation == generation_ && pair[i].component == component &&
        pair[i].inside == inside)
      return pair[i].count;
  return kNotFound;
}

void ComponentCache::store(ElementSet component, ElementSet inside, uint64_t count) {
  Slot* pair = &slots_[firstSlot(component, inside)];
  if (pair[0].generation == generation_ &&
      (pair[0].component != component || pair[0].inside != inside))
    pair[1] = pair[0];
  pair[0] = Slot{component, inside, count, generation_};
}

bool ComponentCache::findDependence(ElementSet component, ElementSet& depends, bool& exact) const {
  const DependenceSlot& slot = dependence_[dependenceSlot(component)];
  if (slot.generation != generation_ || slot.component != component) return false;
  depends = slot.depends;
  exact = slot.exact;
  return true;
}

void ComponentCache::storeDependence(ElementSet component, ElementSet depends, bool exact) {
  dependence_[dependenceSlot(component)] = DependenceSlot{component, depends, generation_, exact};
}

}  // namespace tallyra
