#include "counting/component_cache.h"

#include <gtest/gtest.h>

namespace tallyra {
namespace {

ComponentCache cache;  // too large for the stack

TEST(ComponentCache, FindsWhatWasStoredUnderBothMasks) {
  cache.startJob(30);
  EXPECT_EQ(cache.find(0b110, 0b1), -1);
  cache.store(0b110, 0b1, 3);
  cache.store(0b110, 0b0, 4);
  cache.store(0x3FFFFFFF, 0, int64_t{1} << 30);
  EXPECT_EQ(cache.find(0b110, 0b1), 3);
  EXPECT_EQ(cache.find(0b110, 0b0), 4);
  EXPECT_EQ(cache.find(0b011, 0b1), -1);
  EXPECT_EQ(cache.find(0x3FFFFFFF, 0), int64_t{1} << 30);
}

TEST(ComponentCache, ANewJobSeesNothingOfTheLastOne) {
  cache.startJob(30);
  cache.store(0b110, 0b1, 3);
  cache.startJob(30);
  EXPECT_EQ(cache.find(0b110, 0b1), -1);
}

TEST(ComponentCache, KeepsTheNewestEntriesWhenFull) {
  // Far more keys than slots: every stored key that is still found must
  // carry its own count, and the latest one is always found.
  cache.startJob(30);
  const uint32_t keys = 4 * ComponentCache::kSlots;
  int found = 0;
  for (uint32_t k = 1; k <= keys; ++k) {
    cache.store(k, k >> 3, k % 1000);
    ASSERT_EQ(cache.find(k, k >> 3), k % 1000);
  }
  for (uint32_t k = 1; k <= keys; ++k) {
    int64_t count = cache.find(k, k >> 3);
    if (count >= 0) {
      ASSERT_EQ(count, k % 1000);
      ++found;
    }
  }
  EXPECT_GT(found, static_cast<int>(ComponentCache::kSlots) / 2);
  EXPECT_LE(found, static_cast<int>(ComponentCache::kSlots));
}

}  // namespace
}  // namespace tallyra
