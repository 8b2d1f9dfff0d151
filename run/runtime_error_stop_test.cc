#include "run/runtime_error_stop.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "run/channels.h"
#include "tests/fake_platform.h"

namespace tallyra {
namespace {

TEST(RuntimeErrorStop, WritesTheReportAndEndsWith217) {
  FakePlatform fake;
  int status = fake.run([] { runtimeErrorStop(RuntimeError::kArithmeticOverflow); });
  EXPECT_EQ(status, 217);
  EXPECT_EQ(fake.screen,
            "An unhandled exception occurred at 0x000000D7 :\r\n"
            "Arithmetic overflow\r\n"
            "  0x000000D7\r\n"
            "\r\n");
}

TEST(RuntimeErrorStop, NamesEachError) {
  EXPECT_STREQ(runtimeErrorMessage(RuntimeError::kInvalidInput), "Invalid input");
  EXPECT_STREQ(runtimeErrorMessage(RuntimeError::kAccessDenied), "Access denied");
  EXPECT_STREQ(runtimeErrorMessage(RuntimeError::kDiskFull), "Disk Full");
}

TEST(RuntimeErrorStop, KeepsWhatWasWrittenToTheResultFile) {
  FakePlatform fake;
  FileHandle h;
  fake.createNew("data_r0.txt", &h);
  resultFile.attach(h);
  int status = fake.run([] {
    resultFile.writeLine("Result for A=C2:  |Sub(A)| = 3, whence");
    screen.write("A: partial piece");
    runtimeErrorStop(RuntimeError::kInvalidInput);
  });
  EXPECT_EQ(status, 217);
  EXPECT_EQ(fake.files["data_r0.txt"], "Result for A=C2:  |Sub(A)| = 3, whence\r\n");
  EXPECT_EQ(fake.screen.rfind("A: partial pieceAn unhandled exception occurred at 0x0000006A :\r\n"
                              "Invalid input\r\n",
                              0),
            0u);
}

TEST(RuntimeErrorStop, FailedWritesEndWithDiskFull) {
  FakePlatform fake;
  FileHandle h;
  fake.createNew("out.txt", &h);
  resultFile.attach(h);
  fake.failWriteNumber = 1;  // the first write to the file fails
  int status = fake.run([] {
    resultFile.writeLine("line");
    resultFile.close();
  });
  EXPECT_EQ(status, 217);
  EXPECT_NE(fake.screen.find("Disk Full\r\n"), std::string::npos);
}

TEST(CheckedArithmetic, StopsOnOverflowOnly) {
  FakePlatform fake;
  EXPECT_EQ(checkedAdd(2147483646, 1), 2147483647);
  EXPECT_EQ(checkedSubtract(-2147483647, 1), INT32_MIN);
  EXPECT_EQ(checkedMultiply(-23, 3600000), -82800000);
  EXPECT_EQ(fake.run([] { checkedAdd(INT32_MAX, 1); }), 217);
  EXPECT_EQ(fake.run([] { checkedSubtract(INT32_MIN, 1); }), 217);
  EXPECT_EQ(fake.run([] { checkedMultiply(65536, 65536); }), 217);
  EXPECT_NE(fake.screen.find("Arithmetic overflow"), std::string::npos);
}

}  // namespace
}  // namespace tallyra
