#include "frontend/help.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/startup.h"
#include "tests/fake_platform.h"

namespace tallyra {
namespace {

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  size_t from = 0;
  for (size_t end; (end = text.find("\r\n", from)) != std::string::npos; from = end + 2)
    lines.push_back(text.substr(from, end - from));
  EXPECT_EQ(from, text.size()) << "text after the last line end";
  return lines;
}

TEST(Help, NineteenLinesOfTheStatedLengthsThenTwoWaits) {
  FakePlatform fake;
  fake.keyboardInput = "help\nfirst\nsecond\nthird\n";
  EXPECT_EQ(fake.run([] { openJobAndResultFiles(); }), 0);
  std::string prompt = "(without quotion marks): ";
  std::string help = fake.screen.substr(fake.screen.find(prompt) + prompt.size());
  std::vector<std::string> lines = linesOf(help);
  ASSERT_EQ(lines.size(), 19u);
  const size_t lengths[] = {0, 76, 75, 79, 0, 77, 75, 73, 73, 75, 75, 78, 71, 54, 75, 65};
  for (size_t i = 0; i < 16; ++i) EXPECT_EQ(lines[i].size(), lengths[i]) << "line " << i + 1;
  EXPECT_EQ(lines[1],
            "This is Tallyra, a program for computing the number |Sub(A)| of subuniverses");
  EXPECT_EQ(lines[7], "The input file must be an UNFORMATTED text file, so a *.txt file without ");
  EXPECT_EQ(lines[15], "runtime errors or other malfunctions. This program \"is as it is\" ");
  EXPECT_EQ(lines[16].rfind("This program \"is as it is\", without any warranty!   ", 0), 0u);
  EXPECT_GT(lines[16].size(), 52u);  // the authorship note follows
  EXPECT_EQ(lines[17], "");
  EXPECT_EQ(lines[18], std::string(37, ' ') + "Press <enter> twice to quit.");
  EXPECT_EQ(fake.keyboardReads, 3);  // the answer, then exactly two waits
  EXPECT_TRUE(fake.files.empty());
}

TEST(Help, EndsAtOnceWhenTheKeyboardInputEnds) {
  FakePlatform fake;
  fake.keyboardInput = "help";
  EXPECT_EQ(fake.run([] { openJobAndResultFiles(); }), 0);
  EXPECT_NE(fake.screen.find("Press <enter> twice to quit.\r\n"), std::string::npos);
  EXPECT_TRUE(fake.files.empty());
}

}  // namespace
}  // namespace tallyra
