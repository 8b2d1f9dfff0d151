#include "jobfile/number_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace tallyra {
namespace {

TEST(ReadNumber, DecimalHexadecimalAndBinaryForms) {
  struct {
    const char* text;
    bool binary;
    int32_t value;
  } good[] = {
      {"7", false, 7},
      {" 7", false, 7},
      {"\t+7", false, 7},
      {"-1", false, -1},
      {"$14", false, 20},
      {"-$1f", false, -31},
      {"+$A", false, 10},
      {"%101", true, 5},
      {"-%11", true, -3},
      {"0000000000000000000021", false, 21},
      {"2147483647", false, 2147483647},
      {"-2147483648", false, INT32_MIN},
      {"$7FFFFFFF", false, 2147483647},
  };
  for (auto g : good) {
    int32_t v = 0;
    EXPECT_TRUE(readNumber(g.text, g.binary, &v)) << g.text;
    EXPECT_EQ(v, g.value) << g.text;
  }
}

TEST(ReadNumber, RejectsEverythingElse) {
  struct {
    const char* text;
    bool binary;
  } bad[] = {
      {"", false},
      {"  ", false},
      {"7a", false},
      {"7 ", false},
      {"- 7", false},
      {"+-7", false},
      {"$", false},
      {"$G", false},
      {"%101", false},
      {"%102", true},
      {"$%1", true},
      {"1.5", false},
      {"2147483648", false},
      {"$80000000", false},
      {"-2147483649", false},
      {"99999999999999999999999", false},
  };
  for (auto b : bad) {
    int32_t v = 0;
    EXPECT_FALSE(readNumber(b.text, b.binary, &v)) << b.text;
  }
}

}  // namespace
}  // namespace tallyra
