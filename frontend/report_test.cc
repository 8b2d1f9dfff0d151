#include "frontend/report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "run/channels.h"
#include "run/run_state.h"
#include "tests/fake_platform.h"

namespace tallyra {
namespace {

// Runs writeResultLines for a job and answers (screen, result file).
std::pair<std::string, std::string> resultLines(const char* name, int size, int k,
                                                SubsetCount count) {
  FakePlatform fake;
  FileHandle h;
  fake.createNew("r.txt", &h);
  resultFile.attach(h);
  static JobRecord job;
  job.name.assign(name);
  job.size = size;
  runOptions.subtrahend = k;
  writeResultLines(job, count);
  resultFile.close();
  return {fake.screen, fake.files["r.txt"]};
}

TEST(ResultLines, ModularLatticeExample) {
  auto [screenText, fileText] = resultLines("M3", 5, 3, 5);
  EXPECT_EQ(screenText,
            "Result: |Sub(M3)| = 5 =" + std::string(13, ' ') + "1.25000000*2^{|A|-3}\r\n");
  EXPECT_EQ(fileText,
            "Result for A=M3:  |Sub(A)| = 5, whence\r\n"
            "sigma(A) = |Sub(A)|*2^(3-|A|) =    1.2500000000000000 .\r\n");
}

TEST(ResultLines, SizeEqualToSubtrahendShowsTheCountItself) {
  auto [screenText, fileText] = resultLines("C7", 7, 7, 7);
  EXPECT_EQ(screenText,
            "Result: |Sub(C7)| = 7 =" + std::string(13, ' ') + "7.00000000*2^{|A|-7}\r\n");
}

TEST(ResultLines, ZeroSubtrahend) {
  auto [screenText, fileText] = resultLines("B", 3, 0, 8);
  EXPECT_EQ(fileText,
            "Result for A=B:  |Sub(A)| = 8, whence\r\n"
            "sigma(A) = |Sub(A)|*2^(0-|A|) =    1.0000000000000000 .\r\n");
}

TEST(ResultLines, WideNumbersWidenTheField) {
  // x = 2 * 2^(20-1) = 1048576: 24 characters with 16 decimals, more than
  // the field's 21; with 8 decimals it still fits in 22.
  auto [screenText, fileText] = resultLines("big", 1, 20, 2);
  EXPECT_EQ(screenText,
            "Result: |Sub(big)| = 2 = " + std::string(6, ' ') + "1048576.00000000*2^{|A|-20}\r\n");
  EXPECT_EQ(fileText,
            "Result for A=big:  |Sub(A)| = 2, whence\r\n"
            "sigma(A) = |Sub(A)|*2^(20-|A|) = 1048576.0000000000000000 .\r\n");
}

TEST(FormatScaledCount, AgreesWithExactPrintfOnEveryShape) {
  // glibc's printf expands a double exactly and rounds half to even, and
  // the compiler converts a 64-bit count to the nearest double, ties to
  // even: the two must agree digit for digit with ours, also for counts of
  // more than 53 bits, whose double is not the count itself. (Counts of
  // every size up to 2^237 are checked against the independent
  // computation in tests/data/result_lines.txt, below.)
  __extension__ typedef unsigned __int128 Wide;
  std::mt19937_64 random(12345);
  char ours[128];
  char theirs[128];
  for (int size = 1; size <= 64; ++size) {
    const Wide most = Wide{1} << size;
    for (int k = 0; k <= 20; ++k) {
      for (int trial = 0; trial < 40; ++trial) {
        Wide count;
        if (trial == 0)
          count = 0;
        else if (trial == 1)
          count = 1;
        else if (trial == 2)
          count = most;
        else if (trial == 3)
          count = most - 1;
        else if (trial < 8)
          count = Wide{(2 * (random() % 1000) + 1)} << 13;  // ties
        else if (trial < 12 && size > 54)
          // Ties and near ties where the double must round: an odd
          // 53-bit mantissa, then half a unit of the last place, give or
          // take one.
          count = ((Wide{(random() >> 11) | 1} << (size - 53)) + (Wide{1} << (size - 54)) +
                   (trial % 3) - 1);
        else
          count = Wide{random()} % (most + 1);
        if (count > most) count = most;
        double asDouble = count == (Wide{1} << 64)
                              ? std::ldexp(1.0, 64)
                              : static_cast<double>(static_cast<uint64_t>(count));
        double x = std::ldexp(asDouble, k - size);
        const SubsetCount wide =
            (SubsetCount{static_cast<uint64_t>(count >> 64)} << 64) + static_cast<uint64_t>(count);
        for (auto [decimals, width] : {std::pair{8, 22}, std::pair{16, 21}}) {
          formatScaledCount(wide, size, k, decimals, width, ours, sizeof ours);
          std::snprintf(theirs, sizeof theirs, "%*.*f", width, decimals, x);
          ASSERT_STREQ(ours, theirs) << "count " << static_cast<double>(count) << " size " << size
                                     << " k " << k << " trial " << trial;
        }
      }
    }
  }
}

// A field of `width` characters, the text right-aligned in it.
std::string rightAligned(const std::string& text, size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

TEST(ResultLines, AgreeWithBigIntegerArithmeticAtEverySize) {
  // Each line of the data file: size, k, N, and x = N * 2^(k - size) with 8
  // and 16 decimals, from Python's integers and exact decimals (see
  // tests/data/make_result_lines.py).
  std::ifstream data(TALLYRA_TEST_DATA "/result_lines.txt");
  ASSERT_TRUE(data) << "cannot read " << TALLYRA_TEST_DATA "/result_lines.txt";
  std::string line;
  int checked = 0;
  bool sizeSeen[kMaxElements + 1] = {};
  while (std::getline(data, line)) {
    std::istringstream fields(line);
    int size, k;
    std::string n, x8, x16;
    ASSERT_TRUE(fields >> size >> k >> n >> x8 >> x16) << line;
    SubsetCount count = 0;
    for (char digit : n) count = count * 10 + static_cast<uint64_t>(digit - '0');
    auto [screenText, fileText] = resultLines("A", size, k, count);
    const std::string ks = std::to_string(k);
    std::string screenLine = "Result: |Sub(A)| = ";
    screenLine.append(n).append(" = ").append(rightAligned(x8, 22));
    screenLine.append("*2^{|A|-").append(ks).append("}\r\n");
    ASSERT_EQ(screenText, screenLine) << line;
    std::string fileLines = "Result for A=A:  |Sub(A)| = ";
    fileLines.append(n).append(", whence\r\nsigma(A) = |Sub(A)|*2^(").append(ks);
    fileLines.append("-|A|) = ").append(rightAligned(x16, 21)).append(" .\r\n");
    ASSERT_EQ(fileText, fileLines) << line;
    sizeSeen[size] = true;
    ++checked;
  }
  EXPECT_GT(checked, 10000);
  for (int size = 1; size <= kMaxElements; ++size) EXPECT_TRUE(sizeSeen[size]) << size;
}

TEST(FormatCount, WritesEveryCountUpTo2To64InDecimal) {
  char text[SubsetCount::kDecimalCapacity];
  formatCount(0, text);
  EXPECT_STREQ(text, "0");
  formatCount(SubsetCount{1} << 64, text);
  EXPECT_STREQ(text, "18446744073709551616");
  formatCount((SubsetCount{1} << 64) - 1, text);
  EXPECT_STREQ(text, "18446744073709551615");
  std::mt19937_64 random(7);
  for (int i = 0; i < 1000; ++i) {
    uint64_t n = random() >> (random() % 64);
    formatCount(n, text);
    EXPECT_EQ(std::string(text), std::to_string(n));
  }
}

}  // namespace
}  // namespace tallyra
