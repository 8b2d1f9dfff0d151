#include "counting/residual_cache.h"

#include <gtest/gtest.h>

namespace tallyra {
namespace {

// An arena of 64 sets, so that a few keys make it go round.
using SmallCache = ResidualCache<1, 6>;
SmallCache cache;  // too large for the stack
constexpr int kArenaSets = static_cast<int>(SmallCache::kArenaSets);

// A hash whose high bits pick the pair `pair` of slots and whose low bits
// (the tag among them) are `low`.
uint64_t hashOf(uint32_t pair, uint64_t low) {
  return uint64_t{pair} << (64 - SmallCache::kSlotBits + 1) | low;
}

// Writes a key's needs at the arena's head as the search does: first,
// second, ... for `length` sets.
SmallCache::Key writeKey(uint64_t component, uint64_t hash, int length, uint64_t first) {
  SmallCache::Key key{component, hash, 0, length};
  uint64_t* needs = cache.needsAt(key);
  for (int i = 0; i < length; ++i) needs[i] = first + static_cast<uint64_t>(i);
  return key;
}

// Looks a key up, and takes and stores it under `count` when it misses;
// what the lookup found.
uint64_t lookUpOrStore(uint64_t component, uint64_t hash, int length, uint64_t first,
                       uint64_t count) {
  const SmallCache::Key key = writeKey(component, hash, length, first);
  const uint64_t found = cache.find(key);
  if (found == 0) {
    cache.take(key);
    cache.store(key, count);
  }
  return found;
}

uint64_t lookUp(uint64_t component, uint64_t hash, int length, uint64_t first) {
  return cache.find(writeKey(component, hash, length, first));
}

TEST(ResidualCache, FindsAKeyOnlyWithTheSameComponentAndNeeds) {
  cache.startJob();
  const uint64_t hash = hashOf(5, 0x1234);
  EXPECT_EQ(lookUpOrStore(0b1110, hash, 3, 100, 7), 0u);
  EXPECT_EQ(lookUp(0b1110, hash, 3, 100), 7u);
  EXPECT_EQ(lookUp(0b1111, hash, 3, 100), 0u);  // another component
  EXPECT_EQ(lookUp(0b1110, hash, 3, 101), 0u);  // other needs
  EXPECT_EQ(lookUp(0b1110, hash, 2, 100), 0u);  // fewer needs
  // A lookup that is not taken leaves the arena as it was: the next key's
  // needs take its room, and the stored key is still found.
  EXPECT_EQ(lookUpOrStore(0b0110, hashOf(9, 1), 4, 200, 11), 0u);
  EXPECT_EQ(lookUp(0b0110, hashOf(9, 1), 4, 200), 11u);
  EXPECT_EQ(lookUp(0b1110, hash, 3, 100), 7u);
}

TEST(ResidualCache, TheSecondSlotOfAPairKeepsTheKeyBefore) {
  cache.startJob();
  // Three keys in one pair of slots: the newest two are kept.
  EXPECT_EQ(lookUpOrStore(1, hashOf(3, 1), 1, 10, 21), 0u);
  EXPECT_EQ(lookUpOrStore(2, hashOf(3, 2), 1, 20, 22), 0u);
  EXPECT_EQ(lookUp(1, hashOf(3, 1), 1, 10), 21u);
  EXPECT_EQ(lookUp(2, hashOf(3, 2), 1, 20), 22u);
  EXPECT_EQ(lookUpOrStore(3, hashOf(3, 3), 1, 30, 23), 0u);
  EXPECT_EQ(lookUp(1, hashOf(3, 1), 1, 10), 0u);
  EXPECT_EQ(lookUp(2, hashOf(3, 2), 1, 20), 22u);
  EXPECT_EQ(lookUp(3, hashOf(3, 3), 1, 30), 23u);
  // The neighbouring pair is another pair.
  EXPECT_EQ(lookUpOrStore(4, hashOf(4, 1), 1, 40, 24), 0u);
  EXPECT_EQ(lookUp(3, hashOf(3, 3), 1, 30), 23u);
}

TEST(ResidualCache, AKeyWhoseNeedsTheArenaWentOverIsGone) {
  cache.startJob();
  const uint64_t hash = hashOf(7, 0x77);
  EXPECT_EQ(lookUpOrStore(0b11, hash, 5, 1000, 99), 0u);
  // Other keys, in other pairs, fill the arena once round: the needs
  // 2000, 2001, ... now lie where those of the first key were.
  for (int written = 5, i = 0; written < kArenaSets + 5; written += 5, ++i)
    EXPECT_EQ(lookUpOrStore(0b100, hashOf(100 + static_cast<uint32_t>(i), 1), 5, 2000, 1), 0u);
  // The first key's slot and tag are still there, but its needs are not:
  // neither its own needs nor the ones that overwrote them find its count.
  EXPECT_EQ(lookUp(0b11, hash, 5, 1000), 0u);
  EXPECT_EQ(lookUp(0b11, hash, 5, 2000), 0u);
}

TEST(ResidualCache, ACountIsNotStoredOnceTheArenaWentOverItsNeeds) {
  cache.startJob();
  const SmallCache::Key key = writeKey(0b101, hashOf(11, 5), 4, 500);
  ASSERT_EQ(cache.find(key), 0u);
  cache.take(key);
  // While its count is found, the search takes the keys of the parts
  // inside, more than the arena holds, and stores two in the same pair.
  for (int written = 0; written < kArenaSets; written += 8) {
    const SmallCache::Key inner = writeKey(0b10, hashOf(200, 1), 8, 600);
    cache.take(inner);
  }
  EXPECT_EQ(lookUpOrStore(0b1, hashOf(11, 1), 1, 700, 31), 0u);
  EXPECT_EQ(lookUpOrStore(0b1, hashOf(11, 2), 1, 701, 32), 0u);
  // Its count is dropped: it would push both out of the pair and never be
  // found itself.
  cache.store(key, 3);
  EXPECT_EQ(lookUp(0b1, hashOf(11, 1), 1, 700), 31u);
  EXPECT_EQ(lookUp(0b1, hashOf(11, 2), 1, 701), 32u);
  EXPECT_EQ(lookUp(0b101, hashOf(11, 5), 4, 500), 0u);
}

TEST(ResidualCache, NeedsThatWouldRunOverTheEndStartAtTheBeginning) {
  cache.startJob();
  EXPECT_EQ(lookUpOrStore(1, hashOf(20, 1), 60, 0, 5), 0u);
  // 60 sets written, then a key of 8: it starts at the arena's next round,
  // so that its needs lie in one piece, and overwrites the first key's.
  const SmallCache::Key key = writeKey(2, hashOf(21, 1), 8, 1000);
  EXPECT_EQ(key.position, SmallCache::kArenaSets);
  ASSERT_EQ(cache.find(key), 0u);
  cache.take(key);
  cache.store(key, 6);
  EXPECT_EQ(lookUp(2, hashOf(21, 1), 8, 1000), 6u);
  EXPECT_EQ(lookUp(1, hashOf(20, 1), 60, 0), 0u);
  // A key as long as the arena is stored, but the needs of any later
  // lookup overwrite its needs: even the same needs find nothing.
  EXPECT_EQ(lookUpOrStore(3, hashOf(22, 1), kArenaSets, 3000, 7), 0u);
  EXPECT_EQ(lookUp(3, hashOf(22, 1), kArenaSets, 3000), 0u);
}

TEST(ResidualCache, ANewJobSeesNothingOfTheLastOne) {
  cache.startJob();
  EXPECT_EQ(lookUpOrStore(1, hashOf(30, 1), 2, 10, 4), 0u);
  EXPECT_EQ(lookUpOrStore(2, hashOf(30, 2), 2, 20, 5), 0u);
  EXPECT_EQ(lookUp(1, hashOf(30, 1), 2, 10), 4u);
  cache.startJob();
  // The new job writes its needs from the arena's beginning again, where
  // the same needs lie as in the last job.
  EXPECT_EQ(lookUp(1, hashOf(30, 1), 2, 10), 0u);
  EXPECT_EQ(lookUp(2, hashOf(30, 2), 2, 20), 0u);
  EXPECT_EQ(lookUpOrStore(3, hashOf(30, 3), 2, 30, 6), 0u);
  EXPECT_EQ(lookUp(3, hashOf(30, 3), 2, 30), 6u);
  EXPECT_EQ(lookUp(2, hashOf(30, 2), 2, 20), 0u);
}

}  // namespace
}  // namespace tallyra
