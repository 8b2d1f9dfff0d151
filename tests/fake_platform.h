// An in-memory platform for tests: files in a map, the screen in a string,
// the keyboard from a string, a clock that gives set readings, and an end of
// the process that throws ProcessEnded. Writes can be made to fail.
#ifndef TALLYRA_TESTS_FAKE_PLATFORM_H_
#define TALLYRA_TESTS_FAKE_PLATFORM_H_

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace tallyra {

class FakePlatform : public Platform {
 public:
  // Installs itself and puts the run state and the channels back to their
  // state at process start. The destructor uninstalls it.
  FakePlatform();
  ~FakePlatform() override;

  // --- set up by the test
  std::map<std::string, std::string> files;  // regular files by name
  std::set<std::string> otherNames;          // exist, but cannot be opened (directories)
  std::set<std::string> unreadable;          // files that exist but cannot be opened
  std::set<std::string> uncreatable;         // names under which nothing can be created
  // Names whose open or creation fails for a reason of the system's, with
  // the words the system gives for it.
  std::map<std::string, std::string> systemFailures;
  std::string keyboardInput;
  bool keyboardClosed = false;  // the process has no standard input
  bool screenConsole = true;    // standard output is a console
  bool hasArgument = false;
  std::string argument;
  std::vector<TimeOfDay> clockReadings;  // given in turn; the last repeats
  // The n-th write (1-based, to screen and files together) fails, and every
  // later one to the same target; 0 = never.
  int failWriteNumber = 0;
  // A file read fails (the next read of any job file); false = never.
  bool failFileReads = false;
  // The n-th file read (1-based) fails; 0 = never.
  int failReadNumber = 0;
  // Files whose close fails (what was written may not have reached the
  // disk); the handle is released all the same.
  std::set<std::string> failingCloses;

  // Puts `content` into a job file and attaches it as JobFile, and creates
  // and attaches an empty ResultFile "result.txt", as the start-up dialogue
  // leaves them.
  void openJobFile(const std::string& content);
  const std::string& resultText() { return files["result.txt"]; }

  // --- observed
  std::string screen;
  int keyboardReads = 0;                        // reads that asked for more input
  int writes() const { return writes_; }        // writes tried, screen and files
  int fileReads() const { return fileReads_; }  // file reads tried
  bool screenFailed() const { return screenFailing_; }
  int openFiles() const { return static_cast<int>(open_.size()); }

  // Runs `body`; answers the exit status it ended with (ProcessEnded), or -1
  // when it returned without ending the process.
  template <typename Body>
  int run(Body body) {
    try {
      body();
    } catch (const ProcessEnded& e) {
      return e.status;
    }
    return -1;
  }

  const char* firstArgument() override;
  bool writeScreen(const char* data, size_t size) override;
  bool screenIsConsole() override;
  long readKeyboard(char* buffer, size_t capacity) override;
  FileHandle openForReading(const char* name) override;
  bool nameExists(const char* name) override;
  CreateOutcome createNew(const char* name, FileHandle* file) override;
  long readFile(FileHandle file, char* buffer, size_t capacity) override;
  bool writeFile(FileHandle file, const char* data, size_t size) override;
  bool closeFile(FileHandle file) override;
  TimeOfDay localTimeOfDay() override;
  [[noreturn]] void endProcess(int status) override;

 private:
  struct OpenFile {
    std::string name;
    bool writing;
    size_t position;
    bool failing;
  };
  bool nextWriteFails();

  std::map<int, OpenFile> open_;
  int nextHandle_ = 3;
  size_t keyboardPos_ = 0;
  size_t clockIndex_ = 0;
  int writes_ = 0;
  int fileReads_ = 0;
  bool screenFailing_ = false;
};

}  // namespace tallyra

#endif  // TALLYRA_TESTS_FAKE_PLATFORM_H_
