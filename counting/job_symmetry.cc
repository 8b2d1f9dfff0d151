#include "counting/job_symmetry.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <numeric>

namespace tallyra {
namespace {

uint64_t hashOf(const uint8_t* image, int size) {
  uint64_t h = 0x9E3779B97F4A7C15u;
  for (int x = 0; x < size; ++x) h = (h ^ image[x]) * 0xBF58476D1CE4E5B9u;
  return h ^ (h >> 31);
}

}  // namespace

JobSymmetry::JobSymmetry() = default;
JobSymmetry::~JobSymmetry() = default;

int JobSymmetry::start(int size, const Constraint* constraints, int count, int64_t budget) {
  assert(size >= 1 && size <= kMaxElements);
  if (!search_) {
    search_ = std::make_unique<AutomorphismSearch>();
    group_ = std::make_unique<AutomorphismGroup>();
    // Written before they are read: left unset, so that a small group
    // touches little of them.
    images_ =
        std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(kMostListed) * kMaxElements);
    preimages_ =
        std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(kMostListed) * kMaxElements);
    table_ = std::make_unique_for_overwrite<uint16_t[]>(kTableSlots);
    shared_ = std::make_unique_for_overwrite<uint8_t[]>(kMostListed);
    next_ = std::make_unique_for_overwrite<uint16_t[]>(static_cast<size_t>(kMostListed) *
                                                       kIndexedPrefix);
  }
  size_ = size;
  search_->find(size, constraints, count, budget, *group_);
  listed_ = list();
  sortAndIndex();
  return listed_;
}

// The group's elements from its generators, breadth first: each listed
// element times each generator, until nothing new comes or the list is
// full.
int JobSymmetry::list() {
  const size_t bytes = static_cast<size_t>(size_);
  std::memset(table_.get(), 0, sizeof(uint16_t) * kTableSlots);
  auto slotOf = [&](const uint8_t* image) {
    uint32_t slot = static_cast<uint32_t>(hashOf(image, size_)) & (kTableSlots - 1);
    while (table_[slot] != 0 && std::memcmp(this->image(table_[slot] - 1), image, bytes) != 0)
      slot = (slot + 1) & (kTableSlots - 1);
    return slot;
  };
  uint8_t* first = &images_[0];
  for (int x = 0; x < size_; ++x) first[x] = static_cast<uint8_t>(x);
  table_[slotOf(first)] = 1;
  int listed = 1;
  for (int i = 0; i < listed && listed < kMostListed; ++i) {
    for (int s = 0; s < group_->generatorCount && listed < kMostListed; ++s) {
      uint8_t* next = &images_[static_cast<size_t>(listed) * kMaxElements];
      const uint8_t* from = image(i);
      for (int x = 0; x < size_; ++x) next[x] = group_->generators[s][from[x]];
      const uint32_t slot = slotOf(next);
      if (table_[slot] != 0) continue;
      table_[slot] = static_cast<uint16_t>(listed + 1);
      ++listed;
    }
  }
  for (int g = 0; g < listed; ++g) {
    const uint8_t* forward = image(g);
    uint8_t* back = &preimages_[static_cast<size_t>(g) * kMaxElements];
    for (int x = 0; x < size_; ++x) back[forward[x]] = static_cast<uint8_t>(x);
  }
  return listed;
}

// Puts the list in the order of the preimages and indexes the prefixes.
void JobSymmetry::sortAndIndex() {
  const size_t bytes = static_cast<size_t>(size_);
  uint16_t* order = table_.get();  // the table of the listing is done with
  std::iota(order, order + listed_, uint16_t{0});
  std::sort(order, order + listed_, [&](uint16_t a, uint16_t b) {
    return std::memcmp(preimage(a), preimage(b), bytes) < 0;
  });
  // Both lists put in that order in place, cycle by cycle: element i
  // becomes element order[i].
  bool placed[kMostListed] = {};
  uint8_t held[kMaxElements];
  for (int start = 0; start < listed_; ++start) {
    if (placed[start]) continue;
    for (uint8_t* list : {images_.get(), preimages_.get()}) {
      auto row = [&](int i) { return &list[static_cast<size_t>(i) * kMaxElements]; };
      std::memcpy(held, row(start), bytes);
      int i = start;
      while (order[i] != start) {
        std::memcpy(row(i), row(order[i]), bytes);
        i = order[i];
      }
      std::memcpy(row(i), held, bytes);
    }
    for (int i = start; !placed[i]; i = order[i]) placed[i] = true;
  }
  // next_[g][p]: the first element after g whose preimages of 0..p differ.
  for (int p = 0; p < kIndexedPrefix; ++p)
    next_[static_cast<size_t>(listed_ - 1) * kIndexedPrefix + p] = static_cast<uint16_t>(listed_);
  shared_[0] = 0;
  for (int g = listed_ - 2; g >= 0; --g) {
    int common = 0;
    while (common < size_ && preimage(g)[common] == preimage(g + 1)[common]) ++common;
    assert(common < size_);  // two elements of a group differ somewhere
    shared_[g + 1] = static_cast<uint8_t>(common);
    for (int p = 0; p < kIndexedPrefix; ++p)
      next_[static_cast<size_t>(g) * kIndexedPrefix + p] =
          common > p ? next_[static_cast<size_t>(g + 1) * kIndexedPrefix + p]
                     : static_cast<uint16_t>(g + 1);
  }
}

}  // namespace tallyra
