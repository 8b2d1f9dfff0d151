#include "frontend/program_run.h"

#include <gtest/gtest.h>

#include "tests/fake_platform.h"

namespace tallyra {
namespace {

TimeOfDay at(int h, int m, int s, int ms) {
  return TimeOfDay{static_cast<uint16_t>(h), static_cast<uint16_t>(m), static_cast<uint16_t>(s),
                   static_cast<uint16_t>(ms)};
}

TEST(ElapsedMilliseconds, FieldByFieldDifference) {
  EXPECT_EQ(elapsedMilliseconds(at(14, 2, 58, 980), at(14, 3, 7, 45)), 8065);
  EXPECT_EQ(elapsedMilliseconds(at(9, 5, 3, 7), at(9, 5, 3, 7)), 0);
  EXPECT_EQ(elapsedMilliseconds(at(9, 59, 59, 999), at(10, 0, 2, 499)), 2500);
  EXPECT_EQ(elapsedMilliseconds(at(0, 0, 0, 0), at(23, 59, 59, 999)), 86399999);
}

TEST(ElapsedMilliseconds, ARunPastMidnightIsMeasuredRight) {
  EXPECT_EQ(elapsedMilliseconds(at(23, 59, 59, 900), at(0, 0, 0, 100)), 200);
  EXPECT_EQ(elapsedMilliseconds(at(12, 0, 0, 0), at(11, 0, 0, 0)), 23 * 3600000);
}

const char kJob[] =
    "\\verbose=false\r\n\\subtrahend-in-exponent=0\r\n\\operationsymbols=*\r\n\\beginjob\r\n"
    "\\name\r\nU\r\n\\size\r\n1\r\n\\elements\r\nu\r\n\\constraints\r\nu*u=u\r\n\\endofjob\r\n"
    "\\enddata\r\n";

TEST(RunProgram, ClosingLinesWaitTwiceAndCloseBothFiles) {
  FakePlatform fake;
  fake.files["data.txt"] = kJob;
  fake.hasArgument = true;
  fake.argument = "data.txt";
  fake.clockReadings = {at(14, 2, 58, 980), at(14, 3, 7, 45)};
  fake.keyboardInput = "one\ntwo\nthree\n";
  EXPECT_EQ(fake.run([] { runProgram(); }), 0);
  EXPECT_EQ(fake.keyboardReads, 2);
  EXPECT_EQ(fake.openFiles(), 0);
  const std::string tail =
      "Result: |Sub(U)| = 2 =             1.00000000*2^{|A|-0}\r\n"
      "\r\n"
      "The computation terminated at 14:3:7.45; it took 8065/1000 seconds.\r\n"
      "Thank you for using this program.   Hit <enter> twice to abandon!\r\n";
  ASSERT_GE(fake.screen.size(), tail.size());
  EXPECT_EQ(fake.screen.substr(fake.screen.size() - tail.size()), tail);
  EXPECT_NE(fake.screen.find("(running from 14:2:58.980, verbose=FALSE) reports:"),
            std::string::npos);
  const std::string& result = fake.files["data_r0.txt"];
  EXPECT_EQ(result.rfind("TALLYRA version June 30, 2019 (started at 14:2:58) reports:\r\n", 0), 0u);
  const std::string resultTail =
      "sigma(A) = |Sub(A)|*2^(0-|A|) =    1.0000000000000000 .\r\n"
      "\r\n"
      "The computation took 8065/1000 seconds.\r\n";
  EXPECT_EQ(result.substr(result.size() - resultTail.size()), resultTail);
}

}  // namespace
}  // namespace tallyra
