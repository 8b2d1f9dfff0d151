// The platform on Windows: kernel32 handles, the local clock, ExitProcess.
//
// Files are Win32 handles kept in a small fixed table; a FileHandle is the
// index of its slot. Names are byte strings in the ANSI code page.
#ifndef TALLYRA_PLATFORM_PLATFORM_WIN32_H_
#define TALLYRA_PLATFORM_PLATFORM_WIN32_H_

#include "platform/platform.h"

namespace tallyra {

class Win32Platform : public Platform {
 public:
  Win32Platform(int argc, char** argv);

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
  // A run holds the job file and the result file, and briefly one more.
  static constexpr int kMaxFiles = 8;

  FileHandle keep(void* handle);
  void* handleOf(FileHandle file) const;

  int argc_;
  char** argv_;
  void* files_[kMaxFiles] = {};
};

}  // namespace tallyra

#endif  // TALLYRA_PLATFORM_PLATFORM_WIN32_H_
