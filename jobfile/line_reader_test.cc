#include "jobfile/line_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "run/channels.h"
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
  EXPECT_EQ(trimBlanks(line), 3);
  EXPECT_EQ(line, "a  b\t");
  TextLine blanks("    ");
  EXPECT_EQ(trimBlanks(blanks), 4);
  EXPECT_TRUE(blanks.empty());
}

TEST(ReadSignificantLine, CleansCommentsCommasAndBlanks) {
  FakePlatform fake;
  fake.openJobFile("\n% only a comment\n , ,, \n  a, b ,c  % elements\n,next\n");
  SignificantLine line = readSignificantLine(PrintLines::kShown);
  EXPECT_EQ(line.text, "a  b  c");
  EXPECT_EQ(line.indentation, 2);
  line = readSignificantLine(PrintLines::kShown);
  EXPECT_EQ(line.text, "next");
  EXPECT_EQ(line.indentation, 1);  // the comma counts, as a blank
}

TEST(ReadSignificantLine, KeepsTabsAndHandlesEveryLineEnd) {
  FakePlatform fake;
  fake.openJobFile("\tx\r\ny\rz\r\r\nlast");
  EXPECT_EQ(readSignificantLine(PrintLines::kShown).text, "\tx");
  EXPECT_EQ(readSignificantLine(PrintLines::kShown).text, "y");
  EXPECT_EQ(readSignificantLine(PrintLines::kShown).text, "z");
  EXPECT_EQ(readSignificantLine(PrintLines::kShown).text, "last");
  EXPECT_TRUE(jobFile.atEnd());
}

TEST(ReadSignificantLine, CutsLongLinesAndSkipsTheirRest) {
  FakePlatform fake;
  fake.openJobFile(std::string(254, 'a') + "bc" + std::string(44, 'd') + "\nnext\n");
  SignificantLine line = readSignificantLine(PrintLines::kShown);
  EXPECT_EQ(line.text.length(), 255);
  EXPECT_EQ(line.text.at(255), 'b');
  EXPECT_TRUE(line.cutLostData);
  line = readSignificantLine(PrintLines::kShown);
  EXPECT_EQ(line.text, "next");
  EXPECT_FALSE(line.cutLostData);
}

TEST(ReadSignificantLine, PrintLinesGoToBothChannelsUnchanged) {
  FakePlatform fake;
  fake.openJobFile("\\P Job 1: the cyclic group, % kept\nx\\Py\ndata\n");
  EXPECT_EQ(readSignificantLine(PrintLines::kShown).text, "data");
  EXPECT_EQ(fake.screen, " Job 1: the cyclic group, % kept\r\nxy\r\n");
  resultFile.showNow();
  EXPECT_EQ(fake.resultText(), " Job 1: the cyclic group, % kept\r\nxy\r\n");
}

TEST(ReadSignificantLine, PrintLinesAreDataWhileEchoIsSuppressed) {
  FakePlatform fake;
  fake.openJobFile("a*b=c \\P note\n");
  SignificantLine line = readSignificantLine(PrintLines::kAreData);
  EXPECT_EQ(line.text, "a*b=c \\P note");
  EXPECT_EQ(fake.screen, "");
}

TEST(ReadSignificantLine, UnexpectedEndAfterCommentsStopsTheRun) {
  FakePlatform fake;
  fake.openJobFile("%comment\n   \n");
  fake.resultText();
  EXPECT_EQ(fake.run([] { readSignificantLine(PrintLines::kShown); }), 0);
  EXPECT_EQ(fake.screen, kUnexpectedEnd);
  EXPECT_EQ(fake.openFiles(), 0);  // both files closed
}

TEST(ReadSignificantLine, CtrlZAtTheStartOfALineEndsTheFile) {
  FakePlatform fake;
  fake.openJobFile(
      "%comment\n\x1a"
      "data\n");
  EXPECT_EQ(fake.run([] { readSignificantLine(PrintLines::kShown); }), 0);
  EXPECT_EQ(fake.screen, kUnexpectedEnd);
}

TEST(ReadSignificantLine, AFailedReadIsARuntimeError) {
  FakePlatform fake;
  fake.openJobFile("data\n");
  fake.failFileReads = true;
  EXPECT_EQ(fake.run([] { readSignificantLine(PrintLines::kShown); }), 217);
  EXPECT_NE(fake.screen.find("Disk read error"), std::string::npos);
}

}  // namespace
}  // namespace tallyra
