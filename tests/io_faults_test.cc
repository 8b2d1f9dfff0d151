// A whole run whose screen or result file stops taking writes at any one
// point must end through the runtime error stop with "Disk Full" and exit
// status 217, never as a success, and must keep every result line written
// before the failure: with the screen on a console (written out line by
// line) and on a file or pipe (written out in blocks). A close that fails
// ends the run in the same way, after all of it was written.
#include <gtest/gtest.h>

#include <string>

#include "frontend/program_run.h"
#include "tests/fake_platform.h"

namespace tallyra {
namespace {

const char kJobFile[] =
    "\\P A print line before the header\n"
    "\\verbose=true\n\\subtrahend-in-exponent=2\n\\operationsymbols=*\n\\beginjob\n"
    "\\name\nC2\n\\size\n2\n\\elements\nab\n\\constraints\na*a=a a*b=b b*a=b b*b=a\n\\endofjob\n"
    "\\P Between the jobs\n"
    "\\name\nV4\n\\size\n4\n\\elements\neabc\n\\constraints\n"
    "e*e=e e*a=a e*b=b e*c=c a*e=a a*a=e a*b=c a*c=b\n"
    "b*e=b b*a=c b*b=e b*c=a c*e=c c*a=b c*b=a c*c=e\n\\endofjob\n\\enddata\n";

struct Outcome {
  int status;
  int writes;
  bool screenFailed;
  std::string screen;
  std::string result;
};

Outcome runWithFaults(int failWriteNumber, bool console, const char* failingClose = nullptr) {
  FakePlatform fake;
  fake.screenConsole = console;
  fake.files["data.txt"] = kJobFile;
  fake.hasArgument = true;
  fake.argument = "data.txt";
  fake.failWriteNumber = failWriteNumber;
  if (failingClose != nullptr) fake.failingCloses.insert(failingClose);
  int status = fake.run([] { runProgram(); });
  return {status, fake.writes(), fake.screenFailed(), fake.screen, fake.files["data_r0.txt"]};
}

bool isPrefix(const std::string& part, const std::string& whole) {
  return whole.compare(0, part.size(), part) == 0;
}

class IoFaults : public ::testing::TestWithParam<bool> {};

TEST_P(IoFaults, EveryFailedWriteEndsTheRunAsDiskFullAndKeepsWhatWasWritten) {
  const bool console = GetParam();
  Outcome good = runWithFaults(0, console);
  ASSERT_EQ(good.status, 0);
  ASSERT_GT(good.writes, 20);
  // On a console every screen line is a write of its own; elsewhere the
  // screen goes out in a few blocks, and the bytes are the same.
  Outcome other = runWithFaults(0, !console);
  EXPECT_EQ(good.screen, other.screen);
  EXPECT_EQ(good.result, other.result);
  EXPECT_GT(console ? good.writes - other.writes : other.writes - good.writes, 15);
  const std::string diskFull =
      "An unhandled exception occurred at 0x00000065 :\r\nDisk Full\r\n  0x00000065\r\n\r\n";
  for (int n = 1; n <= good.writes; ++n) {
    SCOPED_TRACE("write " + std::to_string(n) + " fails");
    Outcome bad = runWithFaults(n, console);
    EXPECT_EQ(bad.status, 217);
    EXPECT_TRUE(isPrefix(bad.result, good.result));
    if (bad.screenFailed) {
      // The report itself cannot reach the screen; what did is unchanged.
      EXPECT_TRUE(isPrefix(bad.screen, good.screen));
    } else {
      ASSERT_GE(bad.screen.size(), diskFull.size());
      EXPECT_EQ(bad.screen.substr(bad.screen.size() - diskFull.size()), diskFull);
      EXPECT_TRUE(isPrefix(bad.screen.substr(0, bad.screen.size() - diskFull.size()), good.screen));
    }
  }
}

TEST_P(IoFaults, AFailedCloseEndsTheCompleteRunAsARuntimeError) {
  const bool console = GetParam();
  Outcome good = runWithFaults(0, console);
  ASSERT_EQ(good.status, 0);
  // The job file is closed first: its failure is the one reported.
  struct Case {
    const char* file;
    std::string report;
  } cases[] = {
      {"data.txt",
       "An unhandled exception occurred at 0x00000067 :\r\nFile close failed\r\n  "
       "0x00000067\r\n\r\n"},
      {"data_r0.txt",
       "An unhandled exception occurred at 0x00000065 :\r\nDisk Full\r\n  0x00000065\r\n\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    Outcome bad = runWithFaults(0, console, c.file);
    EXPECT_EQ(bad.status, 217);
    EXPECT_EQ(bad.result, good.result);
    EXPECT_EQ(bad.screen, good.screen + c.report);
  }
}

INSTANTIATE_TEST_SUITE_P(Screen, IoFaults, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "OnAConsole" : "OnAFileOrPipe";
                         });

}  // namespace
}  // namespace tallyra
