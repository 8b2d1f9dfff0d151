#include "run/data_error_stop.h"

#include <gtest/gtest.h>

#include <string>

#include "run/channels.h"
#include "tests/fake_platform.h"

namespace tallyra {
namespace {

TEST(DataErrorStop, ShowsFourLinesWaitsOnceAndEndsWithZero) {
  FakePlatform fake;
  fake.openJobFile("x\n");
  fake.keyboardInput = "first\nsecond\n";
  resultFile.writeLine("kept");
  int status = fake.run([] { dataErrorStop("(codeG5i) 0 <= subtrahend <= 20 fails"); });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(fake.screen,
            "\a\r\n"
            "Error in data; possibly/appeared at: \r\n"
            "(codeG5i) 0 <= subtrahend <= 20 fails\r\n"
            "  Press <enter> to quit\r\n");
  // One Enter read: the second line is left unread.
  TextLine rest;
  keyboard.readLine(rest);
  EXPECT_EQ(rest, "second");
  // The result file keeps what was written and gets no trace of the error.
  EXPECT_EQ(fake.resultText(), "kept\r\n");
  EXPECT_EQ(fake.openFiles(), 0);
}

TEST(DataErrorStop, WorksBeforeTheResultFileExistsAndWithoutKeyboardInput) {
  FakePlatform fake;
  fake.files["data.txt"] = "";
  jobFile.attach(fake.openForReading("data.txt"));
  int status = fake.run([] { dataErrorStop("Error: delete some of the data.txt_r? files!"); });
  EXPECT_EQ(status, 0);
  EXPECT_NE(fake.screen.find("\r\nError: delete some of the data.txt_r? files!\r\n"),
            std::string::npos);
  EXPECT_EQ(fake.openFiles(), 0);
}

TEST(DataErrorStop, ResultFileThatCannotBeWrittenOutIsARuntimeError) {
  FakePlatform fake;
  fake.openJobFile("x\n");
  resultFile.writeLine("pending");
  fake.failWriteNumber = 5;  // four screen lines, then the result file
  EXPECT_EQ(fake.run([] { dataErrorStop("message"); }), 217);
  EXPECT_NE(fake.screen.find("Disk Full"), std::string::npos);
}

}  // namespace
}  // namespace tallyra
