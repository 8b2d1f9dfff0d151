#include "jobfile/line_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "run/channels.h"
#include "run/run_state.h"
#include "tests/fake_platform.h"

namespace tallyra {
namespace {

const char kUnexpectedEnd[] =
    "\a\r\n"
    "Error in data; possibly/appeared at: \r\n"
    "(CodezTvQ2b): unexpected end of input file\r\n"
    "  Press <enter> to quit\r\n";

TEST(TrimBlanks, RemovesOuterBlanksOnlyAndCountsTheLeadingOnes) {
  TextLine line("   a  b\t ");
  trimBlanks(line);
  EXPECT_EQ(line, "a  b\t");
  EXPECT_EQ(leadingBlanksRemoved, 3);
  TextLine blanks("    ");
  trimBlanks(blanks);
  EXPECT_TRUE(blanks.empty());
  EXPECT_EQ(leadingBlanksRemoved, 4);
}

TEST(ReadSignificantLine, CleansCommentsCommasAndBlanks) {
  FakePlatform fake;
  fake.openJobFile("\n% only a comment\n , ,, \n  a, b ,c  % elements\nnext\n");
  TextLine line;
  readSignificantLine(line);
  EXPECT_EQ(line, "a  b  c");
  EXPECT_EQ(leadingBlanksRemoved, 2);
  readSignificantLine(line);
  EXPECT_EQ(line, "next");
}

TEST(ReadSignificantLine, KeepsTabsAndHandlesEveryLineEnd) {
  FakePlatform fake;
  fake.openJobFile("\tx\r\ny\rz\r\r\nlast");
  TextLine line;
  readSignificantLine(line);
  EXPECT_EQ(line, "\tx");
  readSignificantLine(line);
  EXPECT_EQ(line, "y");
  readSignificantLine(line);
  EXPECT_EQ(line, "z");
  readSignificantLine(line);
  EXPECT_EQ(line, "last");
  EXPECT_TRUE(jobFile.atEnd());
}

TEST(ReadSignificantLine, CutsLongLinesAndSkipsTheirRest) {
  FakePlatform fake;
  fake.openJobFile(std::string(254, 'a') + "bc" + std::string(44, 'd') + "\nnext\n");
  TextLine line;
  readSignificantLine(line);
  EXPECT_EQ(line.length(), 255);
  EXPECT_EQ(line.at(255), 'b');
  readSignificantLine(line);
  EXPECT_EQ(line, "next");
}

TEST(ReadSignificantLine, PrintLinesGoToBothChannelsUnchanged) {
  FakePlatform fake;
  fake.openJobFile("\\P Job 1: the cyclic group, % kept\nx\\Py\ndata\n");
  TextLine line;
  readSignificantLine(line);
  EXPECT_EQ(line, "data");
  EXPECT_EQ(fake.screen, " Job 1: the cyclic group, % kept\r\nxy\r\n");
  resultFile.showNow();
  EXPECT_EQ(fake.resultText(), " Job 1: the cyclic group, % kept\r\nxy\r\n");
}

TEST(ReadSignificantLine, PrintLinesAreDataWhileEchoIsSuppressed) {
  FakePlatform fake;
  fake.openJobFile("a*b=c \\P note\n");
  printLinesAreData = true;
  TextLine line;
  readSignificantLine(line);
  EXPECT_EQ(line, "a*b=c \\P note");
  EXPECT_EQ(fake.screen, "");
}

TEST(ReadSignificantLine, UnexpectedEndAfterCommentsStopsTheRun) {
  FakePlatform fake;
  fake.openJobFile("%comment\n   \n");
  fake.resultText();
  TextLine line;
  EXPECT_EQ(fake.run([&] { readSignificantLine(line); }), 0);
  EXPECT_EQ(fake.screen, kUnexpectedEnd);
  EXPECT_EQ(fake.openFiles(), 0);  // both files closed
}

TEST(ReadSignificantLine, CtrlZAtTheStartOfALineEndsTheFile) {
  FakePlatform fake;
  fake.openJobFile(
      "%comment\n\x1a"
      "data\n");
  TextLine line;
  EXPECT_EQ(fake.run([&] { readSignificantLine(line); }), 0);
  EXPECT_EQ(fake.screen, kUnexpectedEnd);
}

TEST(ReadSignificantLine, AFailedReadIsARuntimeError) {
  FakePlatform fake;
  fake.openJobFile("data\n");
  fake.failFileReads = true;
  TextLine line;
  EXPECT_EQ(fake.run([&] { readSignificantLine(line); }), 217);
  EXPECT_NE(fake.screen.find("Disk read error"), std::string::npos);
}

}  // namespace
}  // namespace tallyra
