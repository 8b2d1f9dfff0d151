#include "frontend/startup.h"

#include <gtest/gtest.h>

#include <string>

#include "run/channels.h"
#include "tests/fake_platform.h"

namespace tallyra {
namespace {

const char kBanner[] =
    "Tallyra, ver. June 30, 2019, to compute |Sub(A)|; by the Tallyra developers.\r\n"
    "Thanks to everyone who sent job files and reported faults.\r\n"
    "\r\n";
const char kPrompt[] = "Enter the name of input file or enter \"help\" (without quotion marks): ";

// Runs the dialogue with `argument` (none when null) and answers its status
// (-1 when it returned with both files open).
int startWith(FakePlatform& fake, const char* argument) {
  if (argument != nullptr) {
    fake.hasArgument = true;
    fake.argument = argument;
  }
  return fake.run([] { openJobAndResultFiles(); });
}

TEST(FileExtension, LastFullStopUnlessAPathSeparatorFollows) {
  struct {
    const char* name;
    const char* ext;
  } cases[] = {
      {"data.txt", ".txt"},
      {"data", ""},
      {"archive.tar.gz", ".gz"},
      {"jobs.old\\data", ""},
      {"jobs.old/data", ""},
      {"C:data", ""},
      {"data.", "."},
      {".txt", ".txt"},
      {"old.txt\\data.txt", ".txt"},
      {"C:\\jobs\\data.txt", ".txt"},
  };
  for (auto c : cases) EXPECT_EQ(fileExtension(TextLine(c.name)), c.ext) << c.name;
}

TEST(ResultName, MarkGoesInFrontOfTheLastExtension) {
  struct {
    const char* job;
    const char* result;
  } cases[] = {
      {"data.txt", "data_r0.txt"},
      {"data", "data_r0"},
      {"archive.tar.gz", "archive.tar_r0.gz"},
      {"jobs.old\\data", "jobs.old\\data_r0"},
      {"jobs.old/data", "jobs.old/data_r0"},
      {"old.txt\\data.txt", "old.txt\\data_r0.txt"},
      {"notes.txt.bak.txt", "notes.txt.bak_r0.txt"},
      {"data.", "data_r0."},
      {".txt", "_r0.txt"},
      {"C:\\jobs\\data.txt", "C:\\jobs\\data_r0.txt"},
  };
  for (auto c : cases) {
    FakePlatform fake;
    fake.files[c.job] = "";
    EXPECT_EQ(startWith(fake, c.job), -1);
    EXPECT_EQ(resultFileName, c.result) << c.job;
    EXPECT_TRUE(fake.files.count(c.result));
    EXPECT_EQ(fake.screen, std::string(kBanner) + c.job + " has been opened.\r\n");
  }
}

TEST(Banner, EveryLineFitsAnEightyColumnConsole) {
  FakePlatform fake;
  fake.files["data.txt"] = "";
  startWith(fake, "data.txt");
  // Wider lines wrap where the console is 80 columns wide.
  for (size_t from = 0, end; (end = fake.screen.find("\r\n", from)) != std::string::npos;
       from = end + 2)
    EXPECT_LE(end - from, 79u) << fake.screen.substr(from, end - from);
}

TEST(ResultName, FirstFreeMarkSkippingLAndW) {
  struct {
    std::string present;
    const char* result;
  } cases[] = {
      {"0123456789", "data_ra.txt"},
      {"0123456789abcdefghijk", "data_rm.txt"},
      {"0123456789abcdefghijkmnopqrstuv", "data_rx.txt"},
      {"0123456789abcdefghijkmnopqrstuvxy", "data_rz.txt"},
      {"02", "data_r1.txt"},
  };
  for (const auto& c : cases) {
    FakePlatform fake;
    fake.files["data.txt"] = "";
    for (char m : c.present) fake.files[std::string("data_r") + m + ".txt"] = "old";
    EXPECT_EQ(startWith(fake, "data.txt"), -1);
    EXPECT_EQ(resultFileName, c.result);
    for (char m : c.present) EXPECT_EQ(fake.files[std::string("data_r") + m + ".txt"], "old");
  }
}

TEST(ResultName, AllMarksTakenIsADataError) {
  FakePlatform fake;
  fake.files["data.txt"] = "";
  for (char m : std::string(kResultFileMarks)) fake.files[std::string("data_r") + m + ".txt"] = "";
  size_t before = fake.files.size();
  EXPECT_EQ(startWith(fake, "data.txt"), 0);
  EXPECT_EQ(fake.screen, std::string(kBanner) +
                             "data.txt has been opened.\r\n\a\r\n"
                             "Error in data; possibly/appeared at: \r\n"
                             "Error: delete some of the data.txt_r? files!\r\n"
                             "  Press <enter> to quit\r\n");
  EXPECT_EQ(fake.files.size(), before);
  EXPECT_EQ(fake.openFiles(), 0);
}

TEST(ResultName, AnythingUnderTheNameIsTakenAndLeftAlone) {
  FakePlatform fake;
  fake.files["data.txt"] = "";
  fake.files["data_r0.txt"] = "private";
  fake.unreadable.insert("data_r0.txt");  // cannot be opened, still taken
  fake.otherNames.insert("data_r1.txt");  // a directory
  EXPECT_EQ(startWith(fake, "data.txt"), -1);
  EXPECT_EQ(resultFileName, "data_r2.txt");
  EXPECT_EQ(fake.files["data_r0.txt"], "private");
}

TEST(ResultName, ResultFileThatCannotBeCreatedIsAccessDenied) {
  FakePlatform fake;
  fake.files["data.txt"] = "";
  fake.uncreatable.insert("data_r0.txt");
  EXPECT_EQ(startWith(fake, "data.txt"), 217);
  EXPECT_NE(fake.screen.find("data.txt has been opened.\r\nAn unhandled exception occurred at "
                             "0x00000005 :\r\nAccess denied\r\n"),
            std::string::npos);
}

TEST(ResultName, ResultFileThatCannotBeCreatedOtherwiseNamesTheSystemsReason) {
  FakePlatform fake;
  fake.files["data.txt"] = "";
  // As a system may word it: with a line end, which must not break the line.
  fake.systemFailures["data_r0.txt"] = "The system cannot open the file.\r\n";
  EXPECT_EQ(startWith(fake, "data.txt"), 217);
  EXPECT_EQ(fake.screen, std::string(kBanner) +
                             "data.txt has been opened.\r\n"
                             "An unhandled exception occurred at 0x00000069 :\r\n"
                             "The system cannot open the file.\r\n  0x00000069\r\n\r\n");
  EXPECT_EQ(fake.files.count("data_r0.txt"), 0u);
}

TEST(ResultName, LongCandidatesAreCutAt255) {
  FakePlatform fake;
  std::string name = std::string(250, 'n') + ".txt";  // 254 characters
  fake.files[name] = "";
  EXPECT_EQ(startWith(fake, name.c_str()), -1);
  EXPECT_EQ(resultFileName, std::string(250, 'n') + "_r0.t");
}

TEST(Prompt, ArgumentThatCannotBeOpenedLeadsSilentlyToThePrompt) {
  FakePlatform fake;
  fake.files["data.txt"] = "";
  fake.keyboardInput = "\nHelp\nhelp \nmissing.txt\ndata.txt\n";
  EXPECT_EQ(startWith(fake, "help"), -1);
  std::string p = kPrompt;
  std::string missing = "This file does not exist!\a\r\n";
  EXPECT_EQ(fake.screen, kBanner + p + p + missing + p + missing + p + missing + p +
                             "data.txt has been opened.\r\n");
  EXPECT_EQ(inputFileName, "data.txt");
}

TEST(Prompt, AnswersAreCutAt255Characters) {
  FakePlatform fake;
  std::string name(255, 'q');
  fake.files[name] = "";
  fake.keyboardInput = name + "tail beyond the cut\n";
  // Opened under the cut name. Every result candidate, cut to 255 as well,
  // is then the job file's own name, which is taken: no result file.
  EXPECT_EQ(startWith(fake, nullptr), 0);
  EXPECT_EQ(inputFileName, name);
  EXPECT_NE(fake.screen.find(name + " has been opened.\r\n"), std::string::npos);
  EXPECT_NE(fake.screen.find("Error: delete some of the qqq"), std::string::npos);
  EXPECT_EQ(fake.files.size(), 1u);
}

TEST(Prompt, EndOfKeyboardInputIsARuntimeErrorWithoutAResultFile) {
  FakePlatform fake;
  fake.keyboardInput = "\nmissing.txt\n";
  EXPECT_EQ(startWith(fake, ""), 217);
  std::string p = kPrompt;
  EXPECT_EQ(fake.screen, kBanner + p + p + "This file does not exist!\a\r\n" + p +
                             "An unhandled exception occurred at 0x00000064 :\r\n"
                             "Read past end of file\r\n  0x00000064\r\n\r\n");
  EXPECT_TRUE(fake.files.empty());
}

TEST(Prompt, EndOfKeyboardInputNamesWhyTheLastNameFailedWhenTheSystemSaysSo) {
  const std::string report =
      "An unhandled exception occurred at 0x0000006B :\r\n"
      "Too many open files\r\n  0x0000006B\r\n\r\n";
  {
    FakePlatform fake;
    fake.systemFailures["data.txt"] = "Too many open files";
    EXPECT_EQ(startWith(fake, "data.txt"), 217);
    EXPECT_EQ(fake.screen, kBanner + std::string(kPrompt) + report);
  }
  {
    // Only the last name tried counts: one that is merely missing is not a
    // failure of the system's.
    FakePlatform fake;
    fake.systemFailures["data.txt"] = "Too many open files";
    fake.keyboardInput = "\nmissing.txt\n";
    EXPECT_EQ(startWith(fake, "data.txt"), 217);
    EXPECT_NE(fake.screen.find("Read past end of file\r\n"), std::string::npos);
  }
  {
    FakePlatform fake;
    fake.keyboardInput = "missing.txt\ndata.txt\n";
    fake.systemFailures["data.txt"] = "Too many open files";
    EXPECT_EQ(startWith(fake, nullptr), 217);
    std::string p = kPrompt;
    EXPECT_EQ(fake.screen, kBanner + p + "This file does not exist!\a\r\n" + p +
                               "This file does not exist!\a\r\n" + p + report);
  }
}

}  // namespace
}  // namespace tallyra
