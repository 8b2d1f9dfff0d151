#include "tests/algebras/count_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "tests/algebras/sample_algebras.h"

namespace tallyra {
namespace {

TEST(CountText, AgreesWithPrintfBelow2To64) {
  SampleRandom random(7);
  for (int i = 0; i < 2000; ++i) {
    // Numbers of every length: a random number cut to a random bit width.
    uint64_t value = random.next() >> random.below(64);
    char expected[24];
    std::snprintf(expected, sizeof expected, "%llu", static_cast<unsigned long long>(value));
    ASSERT_STREQ(countText(value).digits, expected);
  }
  EXPECT_STREQ(countText(0).digits, "0");
  EXPECT_STREQ(countText(~uint64_t{0}).digits, "18446744073709551615");
}

TEST(CountText, WritesCountsFrom2To64On) {
  SubsetCount twoTo64 = SubsetCount{1} << 64;
  EXPECT_STREQ(countText(twoTo64).digits, "18446744073709551616");
  EXPECT_STREQ(countText(twoTo64 * 10 + 3).digits, "184467440737095516163");
  EXPECT_STREQ(countText((SubsetCount{1} << 128) - 1).digits,
               "340282366920938463463374607431768211455");  // 2^128 - 1
}

}  // namespace
}  // namespace tallyra
