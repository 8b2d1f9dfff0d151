#include "frontend/report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "run/channels.h"
#include "run/run_state.h"
#include "tests/fake_platform.h"

namespace tallyra {
namespace {

// Runs writeResultLines for a job and answers (screen, result file).
std::pair<std::string, std::string> resultLines(const char* name, int size, int k, int32_t count) {
  FakePlatform fake;
  FileHandle h;
  fake.createNew("r.txt", &h);
  resultFile.attach(h);
  job.name.assign(name);
  job.size = size;
  runOptions.subtrahend = k;
  writeResultLines(count);
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
  // glibc's printf expands a double exactly and rounds half to even; every
  // x here is exactly representable, so the two must agree digit for digit.
  std::mt19937 random(12345);
  char ours[128];
  char theirs[128];
  for (int size = 1; size <= 30; ++size) {
    for (int k = 0; k <= 20; ++k) {
      for (int trial = 0; trial < 40; ++trial) {
        int32_t count;
        if (trial == 0)
          count = 0;
        else if (trial == 1)
          count = 1;
        else if (trial == 2)
          count = 1 << size;
        else if (trial < 8)
          count = static_cast<int32_t>((2 * (random() % 1000) + 1) << 13);  // ties
        else
          count = static_cast<int32_t>(random() % ((1u << size) + 1));
        double x = std::ldexp(static_cast<double>(count), k - size);
        for (auto [decimals, width] : {std::pair{8, 22}, std::pair{16, 21}}) {
          formatScaledCount(count, size, k, decimals, width, ours, sizeof ours);
          std::snprintf(theirs, sizeof theirs, "%*.*f", width, decimals, x);
          ASSERT_STREQ(ours, theirs) << "count " << count << " size " << size << " k " << k;
        }
      }
    }
  }
}

}  // namespace
}  // namespace tallyra
