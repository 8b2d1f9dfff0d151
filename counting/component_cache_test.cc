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

TEST(ComponentCache, AKeyIsKeptUntilTwoMoreComeToItsPair) {
  // A new entry pushes the one in its pair's first slot to the second, so
  // every key is still found after the next key is stored, whatever pair
  // that takes, and with a small job's part of the table too.
  for (int elements : {10, 30}) {
    cache.startJob(elements);
    for (uint64_t k = 1; k <= 20000; ++k) {
      cache.store(k * 0x9E37, k & 0xFF, k);
      ASSERT_EQ(cache.find(k * 0x9E37, k & 0xFF), k);
      if (k == 1) continue;
      ASSERT_EQ(cache.find((k - 1) * 0x9E37, (k - 1) & 0xFF), k - 1) << k;
    }
  }
}

TEST(ComponentCache, AJobReachesFurtherSlotsAsItStoresMore) {
  // A job starts with 2^10 slots and doubles them as they fill: of 300 keys
  // (too few for a doubling) nearly all are found, of many keys more than
  // 2^10, and never a wrong count.
  for (uint32_t keys : {300u, 4 * ComponentCache<1>::kSlots}) {
    cache.startJob(10);
    int found = 0;
    for (uint32_t k = 1; k <= keys; ++k) cache.store(k, 0, k);
    for (uint32_t k = 1; k <= keys; ++k) {
      const uint64_t count = cache.find(k, 0);
      if (count == ComponentCache<1>::kNotFound) continue;
      ASSERT_EQ(count, k);
      ++found;
    }
    const int least = keys == 300 ? 250 : static_cast<int>(ComponentCache<1>::kSlots) / 2;
    EXPECT_GT(found, least);
  }
}

TEST(ComponentCache, KeepsTheDependenceOfTheLatestComponentOfEachSlot) {
  cache.startJob(30);
  uint64_t depends = 0;
  bool exact = true;
  EXPECT_FALSE(cache.findDependence(0b1100, depends, exact));
  cache.storeDependence(0b1100, 0b10, true);
  cache.storeDependence(0b0110, 0b1001, false);
  cache.storeDependence(~uint64_t{0}, ~uint64_t{0} >> 1, true);
  ASSERT_TRUE(cache.findDependence(0b1100, depends, exact));
  EXPECT_EQ(depends, 0b10u);
  EXPECT_TRUE(exact);
  ASSERT_TRUE(cache.findDependence(0b0110, depends, exact));
  EXPECT_EQ(depends, 0b1001u);
  EXPECT_FALSE(exact);
  ASSERT_TRUE(cache.findDependence(~uint64_t{0}, depends, exact));
  EXPECT_EQ(depends, ~uint64_t{0} >> 1);
  EXPECT_FALSE(cache.findDependence(0b1110, depends, exact));
  // Storing again replaces.
  cache.storeDependence(0b1100, 0b1, false);
  ASSERT_TRUE(cache.findDependence(0b1100, depends, exact));
  EXPECT_EQ(depends, 0b1u);
  EXPECT_FALSE(exact);

  // One component to a slot: of far more components than slots, every one
  // found carries its own dependence, the latest is always found, and a
  // job of 10 elements uses 2^8 slots of the 2^12.
  for (int elements : {30, 10}) {
    cache.startJob(elements);
    const uint64_t components = 20000;
    for (uint64_t k = 1; k <= components; ++k) {
      cache.storeDependence(k << 3, k, k % 3 == 0);
      ASSERT_TRUE(cache.findDependence(k << 3, depends, exact));
      ASSERT_EQ(depends, k);
    }
    int found = 0;
    for (uint64_t k = 1; k <= components; ++k) {
      if (!cache.findDependence(k << 3, depends, exact)) continue;
      ASSERT_EQ(depends, k);
      ASSERT_EQ(exact, k % 3 == 0);
      ++found;
    }
    const int slots = elements == 30 ? 1 << 12 : 1 << 8;
    EXPECT_GT(found, slots / 2) << elements;
    EXPECT_LE(found, slots) << elements;
  }
  // A new job sees none of them.
  cache.startJob(30);
  EXPECT_FALSE(cache.findDependence(uint64_t{20000} << 3, depends, exact));
}

TEST(ComponentCache, WideKeysDifferInEveryWord) {
  static ComponentCache<4> wide;  // too large for the stack
  using Set = ElementSetOf<4>;
  wide.startJob(237);
  Set component{};
  component.word[0] = 0b111;
  component.word[3] = uint64_t{1} << 44;
  Set otherWord = component;
  otherWord.word[3] = uint64_t{1} << 45;
  Set inside{};
  inside.word[2] = 1;
  const Set none{};
  wide.store(component, inside, PartCountOf<4>{5});
  wide.store(otherWord, inside, PartCountOf<4>{6});
  wide.store(component, none, PartCountOf<4>{7});
  EXPECT_TRUE(wide.find(component, inside) == PartCountOf<4>{5});
  EXPECT_TRUE(wide.find(otherWord, inside) == PartCountOf<4>{6});
  EXPECT_TRUE(wide.find(component, none) == PartCountOf<4>{7});
  EXPECT_TRUE(wide.find(otherWord, none) == PartCountOf<4>{ComponentCache<4>::kNotFound});

  Set depends{};
  bool exact = false;
  wide.storeDependence(component, inside, true);
  EXPECT_FALSE(wide.findDependence(otherWord, depends, exact));
  ASSERT_TRUE(wide.findDependence(component, depends, exact));
  EXPECT_TRUE(depends == inside);
  EXPECT_TRUE(exact);
}

}  // namespace
}  // namespace tallyra
