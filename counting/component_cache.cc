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

int64_t ComponentCache::find(uint32_t component, uint32_t inside) const {
  uint64_t key = keyOf(component, inside);
  const Slot* pair = &slots_[firstSlot(key)];
  for (int i = 0; i < 2; ++i)
    if (pair[i].generation == generation_ && pair[i].key == key) return pair[i].count;
  return -1;
}

void ComponentCache::store(uint32_t component, uint32_t inside, int64_t count) {
  uint64_t key = keyOf(component, inside);
  Slot* pair = &slots_[firstSlot(key)];
  if (pair[0].generation == generation_ && pair[0].key != key) pair[1] = pair[0];
  pair[0] = Slot{key, static_cast<uint32_t>(count), generation_};
}

bool ComponentCache::findDependence(uint32_t component, uint32_t& depends, bool& exact) const {
  const DependenceSlot& slot = dependence_[dependenceSlot(component)];
  if (slot.generation != generation_ || slot.component != component) return false;
  depends = slot.depends;
  exact = slot.exact;
  return true;
}

void ComponentCache::storeDependence(uint32_t component, uint32_t depends, bool exact) {
  dependence_[dependenceSlot(component)] = DependenceSlot{component, depends, generation_, exact};
}

}  // namespace tallyra
