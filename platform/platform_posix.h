// The platform on POSIX systems: file descriptors, the local clock, _exit.
#ifndef TALLYRA_PLATFORM_PLATFORM_POSIX_H_
#define TALLYRA_PLATFORM_PLATFORM_POSIX_H_

#include "platform/platform.h"

namespace tallyra {

class PosixPlatform : public Platform {
 public:
  PosixPlatform(int argc, char** argv);

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
  int argc_;
  char** argv_;
};

}  // namespace tallyra

#endif  // TALLYRA_PLATFORM_PLATFORM_POSIX_H_
