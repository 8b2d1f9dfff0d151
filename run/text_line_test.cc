#include "run/text_line.h"

#include <gtest/gtest.h>

#include <string>

namespace tallyra {
namespace {

TEST(TextLine, AssignAndAppendCutAtCapacity) {
  std::string longText(300, 'x');
  longText[254] = 'y';
  TextLine line(longText);
  EXPECT_EQ(line.length(), 255);
  EXPECT_EQ(line.at(255), 'y');
  line.append('z');
  line.append("more");
  EXPECT_EQ(line.length(), 255);
  EXPECT_EQ(line.at(255), 'y');

  FixedText<30> symbols(std::string(31, 'a'));
  EXPECT_EQ(symbols.length(), 30);
}

TEST(TextLine, PositionsAreOneBasedAndZeroMeansAbsent) {
  TextLine line("a*b=c b*a=c");
  EXPECT_EQ(line.position('a'), 1);
  EXPECT_EQ(line.position('='), 4);
  EXPECT_EQ(line.position('q'), 0);
  EXPECT_EQ(line.find("b*a"), 7);
  EXPECT_EQ(line.find("B*a"), 0);  // case-sensitive
  EXPECT_TRUE(line.contains("=c b"));
  EXPECT_FALSE(line.contains("c  b"));
}

TEST(TextLine, EraseTruncateAndPrepend) {
  TextLine line("(lab) a*b=c");
  line.erase(1, line.position(')'));
  EXPECT_EQ(line, " a*b=c");
  line.erase(5, 100);
  EXPECT_EQ(line, " a*b");
  line.truncate(2);
  EXPECT_EQ(line, " a");
  line.prepend(3, ' ');
  EXPECT_EQ(line, "    a");

  TextLine full(std::string(254, 'q') + "E");
  full.prepend(2, ' ');
  EXPECT_EQ(full.length(), 255);
  EXPECT_EQ(full.at(1), ' ');
  EXPECT_EQ(full.at(255), 'q');  // the end is cut, not the blanks
}

TEST(TextLine, BytesAboveAsciiAndNulAreOrdinaryCharacters) {
  TextLine line(std::string("a\0\xff", 3));
  EXPECT_EQ(line.length(), 3);
  EXPECT_EQ(line.position('\xff'), 3);
  EXPECT_EQ(line.position('\0'), 2);
}

}  // namespace
}  // namespace tallyra
