#include "counting/component_cache.h"

#include <gtest/gtest.h>

namespace tallyra {
namespace {

ComponentCache<1> cache;  // too large for the stack

TEST(ComponentCache, FindsWhatWasStoredUnderBothMasks) {
  cache.startJob(30);
  EXPECT_EQ(cache.find(0b110, 0b1), ComponentCache<1>::kNotFound);
  cache.store(0b110, 0b1, 3);
  cache.store(0b110, 0b0, 4);
  cache.store(0x3FFFFFFF, 0, uint64_t{1} << 30);
  // 64 elements: keys and counts use every bit.
  cache.store(~uint64_t{0}, ~uint64_t{0} >> 1, ~uint64_t{0});
  cache.store(~uint64_t{0}, ~uint64_t{0} >> 2, 5);
  EXPECT_EQ(cache.find(0b110, 0b1), 3);
  EXPECT_EQ(cache.find(0b110, 0b0), 4);
  EXPECT_EQ(cache.find(0b011, 0b1), ComponentCache<1>::kNotFound);
  EXPECT_EQ(cache.find(0x3FFFFFFF, 0), uint64_t{1} << 30);
  EXPECT_EQ(cache.find(~uint64_t{0}, ~uint64_t{0} >> 1), ~uint64_t{0});
  EXPECT_EQ(cache.find(~uint64_t{0}, ~uint64_t{0} >> 2), 5u);
  EXPECT_EQ(cache.find(~uint64_t{0} >> 1, ~uint64_t{0} >> 1), ComponentCache<1>::kNotFound);
}

TEST(ComponentCache, ANewJobSeesNothingOfTheLastOne) {
  cache.startJob(30);
  cache.store(0b110, 0b1, 3);
  cache.startJob(30);
  EXPECT_EQ(cache.find(0b110, 0b1), ComponentCache<1>::kNotFound);
}

TEST(ComponentCache, KeepsTheNewestEntriesWhenFull) {
  // Far more keys than slots: every stored key that is still found must
  // carry its own count, and the latest one is always found.
  cache.startJob(30);
  const uint32_t keys = 4 * ComponentCache<1>::kSlots;
  int found = 0;
  for (uint32_t k = 1; k <= keys; ++k) {
    cache.store(k, k >> 3, k % 1000 + 1);
    ASSERT_EQ(cache.find(k, k >> 3), k % 1000 + 1);
  }
  for (uint32_t k = 1; k <= keys; ++k) {
    uint64_t count = cache.find(k, k >> 3);
    if (count != ComponentCache<1>::kNotFound) {
      ASSERT_EQ(count, k % 1000 + 1);
      ++found;
    }
  }
  EXPECT_GT(found, static_cast<int>(ComponentCache<1>::kSlots) / 2);
  EXPECT_LE(found, static_cast<int>(ComponentCache<1>::kSlots));
}

}  // namespace
}  // namespace tallyra
