#include "run/wide_unsigned.h"

#include <gtest/gtest.h>

#include <random>

namespace tallyra {
namespace {

__extension__ typedef unsigned __int128 Wide;

WideUnsigned<2> fromWide(Wide v) {
  WideUnsigned<2> w = static_cast<uint64_t>(v >> 64);
  return (w << 64) + static_cast<uint64_t>(v);
}
// (Multiplied, not shifted: the analyzer takes an unsigned 128-bit shift of
// a high word for an overflow.)
Wide toWide(const WideUnsigned<2>& w) {
  const Wide twoTo64 = Wide{UINT64_MAX} + 1;
  return Wide{w.word(1)} * twoTo64 + w.word(0);
}

TEST(WideUnsigned, TwoWordsAgreeWithTheCompilersInteger) {
  // Every operation, on numbers of every width, against unsigned __int128,
  // which wraps around at 2^128 as WideUnsigned<2> must.
  std::mt19937_64 random(2026);
  auto draw = [&] {
    Wide v = (Wide{random()} << 64) | random();
    return v >> (random() % 128);
  };
  for (int i = 0; i < 20000; ++i) {
    const Wide a = draw(), b = draw();
    const int shift = static_cast<int>(random() % 140);
    const WideUnsigned<2> x = fromWide(a), y = fromWide(b);
    ASSERT_EQ(toWide(x + y), a + b);
    ASSERT_EQ(toWide(x - y), a - b);
    ASSERT_EQ(toWide(x * y), a * b);
    ASSERT_EQ(toWide(x << shift), shift >= 128 ? 0 : a << shift);
    ASSERT_EQ(toWide(x >> shift), shift >= 128 ? 0 : a >> shift);
    ASSERT_EQ(toWide(x & y), a & b);
    ASSERT_EQ(x < y, a < b);
    ASSERT_EQ(x == y, a == b);
    ASSERT_EQ(x.bitWidth(), a == 0
                                ? 0
                                : 128 - (a >> 64 ? __builtin_clzll(a >> 64)
                                                 : 64 + __builtin_clzll(static_cast<uint64_t>(a))));
    const uint64_t divisor = random() >> (random() % 63) | 1;
    WideUnsigned<2> quotient = x;
    ASSERT_EQ(quotient.divideBy(divisor), static_cast<uint64_t>(a % divisor));
    ASSERT_EQ(toWide(quotient), a / divisor);
  }
}

TEST(WideUnsigned, AWiderNumberKeepsTheValueAndZerosTheRest) {
  const WideUnsigned<2> two = fromWide((Wide{0xDEADBEEF} << 64) | 12345);
  const WideUnsigned<4> four = two;
  EXPECT_EQ(four.word(0), 12345u);
  EXPECT_EQ(four.word(1), 0xDEADBEEFu);
  EXPECT_EQ(four.word(2), 0u);
  EXPECT_EQ(four.word(3), 0u);
  // The top of four words: 2^255 carries out of the sum and wraps.
  const WideUnsigned<4> top = WideUnsigned<4>{1} << 255;
  EXPECT_TRUE((top + top).isZero());
  EXPECT_EQ(top.bitWidth(), 256);
}

}  // namespace
}  // namespace tallyra
