// A whole run whose screen or result file stops taking writes at any one
// point, or whose job file fails a read at any one point, must end through
// the runtime error stop ("Disk Full" or "Disk read error", exit status
// 217), never as a success, and must keep every result line written before
// the failure: with the screen on a console (written out line by line) and
// on a file or pipe (written out in blocks), on small jobs and on jobs of
// 129 and 237 elements. The job file and an earlier result file are never
// touched. A close that fails ends the run in the same way, after all of it
// was written.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "frontend/program_run.h"
#include "tests/fake_platform.h"

namespace tallyra {
namespace {

const std::string kSmallJobs =
    "\\P A print line before the header\n"
    "\\verbose=true\n\\subtrahend-in-exponent=2\n\\operationsymbols=*\n\\beginjob\n"
    "\\name\nC2\n\\size\n2\n\\elements\nab\n\\constraints\na*a=a a*b=b b*a=b b*b=a\n\\endofjob\n"
    "\\P Between the jobs\n"
    "\\name\nV4\n\\size\n4\n\\elements\neabc\n\\constraints\n"
    "e*e=e e*a=a e*b=b e*c=c a*e=a a*a=e a*b=c a*c=b\n"
    "b*e=b b*a=c b*b=e b*c=a c*e=c c*a=b c*b=a c*c=e\n\\endofjob\n\\enddata\n";

// A job of `size` elements whose facts x*(x+j) = x (mod size), for
// j = 0..width-1, hold in every subset, so that it counts at once: 2^size
// subuniverses; with `chain`, x*x = x+1 instead for every x but the last,
// which leaves the empty set and the size final segments of the chain.
// Its elements are the bytes an element may be, NUL first; 40 facts a
// line, a line that would begin with Ctrl-Z (which ends the file there)
// begun with a blank.
std::string bigJob(const char* name, int size, int width, bool chain) {
  std::string elements;
  const std::string reserved = "%\\-*+=()[]'{}?., \r\n";
  for (int b = 0; b < 256 && static_cast<int>(elements.size()) < size; ++b)
    if (reserved.find(static_cast<char>(b)) == std::string::npos) elements += static_cast<char>(b);
  std::string text = std::string("\\name\n") + name + "\n\\size\n" + std::to_string(size) +
                     "\n\\elements\n" + elements + "\n\\constraints\n";
  int onLine = 0;
  for (int x = 0; x < size; ++x) {
    for (int j = 0; j < width; ++j) {
      const int result = chain && j == 0 && x + 1 < size ? x + 1 : x;
      if (onLine == 0 && elements[x] == '\x1a') text += ' ';
      text += {elements[x], '*', elements[(x + j) % size], '=', elements[result]};
      text += ++onLine == 40 ? '\n' : ' ';
      if (onLine == 40) onLine = 0;
    }
  }
  return text + "\n\\endofjob\n";
}

// Jobs of 129 and 237 elements, 6804 facts, and comment lines between
// them, so that the second job's constraints run past the first 64 KiB
// of the file, which the program reads in two parts. Not verbose: the
// listing shows every constraint at once, a write each, which the small
// jobs sweep.
const std::string& bigJobs() {
  static const std::string text = [] {
    std::string comments;
    for (int i = 0; i < 120; ++i) comments += "%" + std::string(250, '-') + "\n";
    return "\\verbose=false\n\\subtrahend-in-exponent=20\n\\operationsymbols=*\n\\beginjob\n" +
           bigJob("Free129", 129, 16, false) + "\\P Between the jobs\n" + comments +
           bigJob("Chain237", 237, 20, true) + "\\enddata\n";
  }();
  return text;
}
const char* const kBigCounts[] = {"Free129:  |Sub(A)| = 680564733841876926926749214863536422912,",
                                  "Chain237:  |Sub(A)| = 238,"};

struct Setting {
  const char* name;
  bool big;
  bool console;
};

// Names the setting in test listings, instead of its bytes.
void PrintTo(const Setting& s, std::ostream* out) { *out << s.name; }

const std::string& jobFileOf(const Setting& s) { return s.big ? bigJobs() : kSmallJobs; }

// An earlier result file, which the run must leave as it is.
const char kEarlierResult[] = "The result of an earlier run\r\n";

struct Faults {
  int failWriteNumber = 0;
  int failReadNumber = 0;
  const char* failingClose = nullptr;
};

struct Outcome {
  int status;
  int writes;
  int reads;
  bool screenFailed;
  bool othersIntact;  // the job file and the earlier result unchanged, no other file
  std::string screen;
  std::string result;
};

Outcome runWithFaults(const Setting& setting, const Faults& faults) {
  FakePlatform fake;
  fake.screenConsole = setting.console;
  fake.files["data.txt"] = jobFileOf(setting);
  fake.files["data_r0.txt"] = kEarlierResult;
  fake.hasArgument = true;
  fake.argument = "data.txt";
  fake.failWriteNumber = faults.failWriteNumber;
  fake.failReadNumber = faults.failReadNumber;
  if (faults.failingClose != nullptr) fake.failingCloses.insert(faults.failingClose);
  int status = fake.run([] { runProgram(); });
  bool intact =
      fake.files["data.txt"] == jobFileOf(setting) && fake.files["data_r0.txt"] == kEarlierResult;
  for (const auto& [name, text] : fake.files)
    intact = intact && (name == "data.txt" || name == "data_r0.txt" || name == "data_r1.txt");
  return {status, fake.writes(), fake.fileReads(),         fake.screenFailed(),
          intact, fake.screen,   fake.files["data_r1.txt"]};
}

bool isPrefix(const std::string& part, const std::string& whole) {
  return whole.compare(0, part.size(), part) == 0;
}

std::string runtimeErrorReport(const char* code, const char* message) {
  return std::string("An unhandled exception occurred at 0x") + code + " :\r\n" + message +
         "\r\n  0x" + code + "\r\n\r\n";
}

// A run stopped by a fault: exit status 217, the report at the end of
// the screen unless the screen itself failed, and before it, and in the
// result file, a beginning of what the clean run wrote.
void expectStoppedAfterAPrefix(const Outcome& bad, const Outcome& good, const std::string& report) {
  EXPECT_EQ(bad.status, 217);
  EXPECT_TRUE(bad.othersIntact);
  EXPECT_TRUE(isPrefix(bad.result, good.result));
  if (bad.screenFailed) {
    // The report itself cannot reach the screen; what did is unchanged.
    EXPECT_TRUE(isPrefix(bad.screen, good.screen));
  } else {
    ASSERT_GE(bad.screen.size(), report.size());
    EXPECT_EQ(bad.screen.substr(bad.screen.size() - report.size()), report);
    EXPECT_TRUE(isPrefix(bad.screen.substr(0, bad.screen.size() - report.size()), good.screen));
  }
}

class IoFaults : public ::testing::TestWithParam<Setting> {
 protected:
  // The clean run, checked: a complete run that counted the big jobs right.
  static Outcome cleanRun(const Setting& setting) {
    Outcome good = runWithFaults(setting, {});
    EXPECT_EQ(good.status, 0);
    EXPECT_TRUE(good.othersIntact);
    if (setting.big) {
      for (const char* count : kBigCounts)
        EXPECT_NE(good.result.find(count), std::string::npos) << count;
    }
    return good;
  }
};

TEST_P(IoFaults, EveryFailedWriteEndsTheRunAsDiskFullAndKeepsWhatWasWritten) {
  const Setting setting = GetParam();
  Outcome good = cleanRun(setting);
  ASSERT_EQ(good.status, 0);
  ASSERT_GT(good.writes, 4);
  // On a console every screen line is a write of its own; elsewhere the
  // screen goes out in a few blocks, and the bytes are the same.
  Setting otherScreen = setting;
  otherScreen.console = !setting.console;
  Outcome other = runWithFaults(otherScreen, {});
  EXPECT_EQ(good.screen, other.screen);
  EXPECT_EQ(good.result, other.result);
  EXPECT_GT(setting.console ? good.writes - other.writes : other.writes - good.writes, 15);
  const std::string diskFull = runtimeErrorReport("00000065", "Disk Full");
  for (int n = 1; n <= good.writes; ++n) {
    SCOPED_TRACE("write " + std::to_string(n) + " fails");
    Faults faults;
    faults.failWriteNumber = n;
    expectStoppedAfterAPrefix(runWithFaults(setting, faults), good, diskFull);
  }
}

TEST_P(IoFaults, EveryFailedReadEndsTheRunAsADiskReadErrorAndKeepsWhatWasWritten) {
  const Setting setting = GetParam();
  Outcome good = cleanRun(setting);
  ASSERT_EQ(good.status, 0);
  // The big job file takes more than one read.
  ASSERT_GE(good.reads, setting.big ? 2 : 1);
  const std::string readError = runtimeErrorReport("00000066", "Disk read error");
  for (int n = 1; n <= good.reads; ++n) {
    SCOPED_TRACE("read " + std::to_string(n) + " fails");
    Faults faults;
    faults.failReadNumber = n;
    Outcome bad = runWithFaults(setting, faults);
    EXPECT_FALSE(bad.screenFailed);
    expectStoppedAfterAPrefix(bad, good, readError);
  }
}

TEST_P(IoFaults, AFailedCloseEndsTheCompleteRunAsARuntimeError) {
  const Setting setting = GetParam();
  Outcome good = cleanRun(setting);
  ASSERT_EQ(good.status, 0);
  // The job file is closed first: its failure is the one reported.
  struct Case {
    const char* file;
    std::string report;
  } cases[] = {
      {"data.txt", runtimeErrorReport("00000067", "File close failed")},
      {"data_r1.txt", runtimeErrorReport("00000065", "Disk Full")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    Faults faults;
    faults.failingClose = c.file;
    Outcome bad = runWithFaults(setting, faults);
    EXPECT_EQ(bad.status, 217);
    EXPECT_TRUE(bad.othersIntact);
    EXPECT_EQ(bad.result, good.result);
    EXPECT_EQ(bad.screen, good.screen + c.report);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, IoFaults,
    ::testing::Values(Setting{"SmallOnAConsole", false, true},
                      Setting{"SmallOnAFileOrPipe", false, false},
                      Setting{"Of129And237ElementsOnAConsole", true, true},
                      Setting{"Of129And237ElementsOnAFileOrPipe", true, false}),
    [](const ::testing::TestParamInfo<Setting>& info) { return info.param.name; });

}  // namespace
}  // namespace tallyra
