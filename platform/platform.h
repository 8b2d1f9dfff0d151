// The thin layer over the operating system.
//
// The program's logic reaches the console, files, the clock and the end of
// the process only through the Platform interface; it never calls the
// operating system itself. One implementation per operating system lives
// beside this header (platform_posix.cc, platform_win32.cc); tests install
// doubles of their own with setPlatform().
//
// All calls move raw bytes: no text-mode translation of line ends happens on
// any platform. A file name is a NUL-terminated byte string.
#ifndef TALLYRA_PLATFORM_PLATFORM_H_
#define TALLYRA_PLATFORM_PLATFORM_H_

#include <cstddef>
#include <cstdint>

namespace tallyra {

// Local wall-clock time of day.
struct TimeOfDay {
  uint16_t hour = 0;         // 0..23
  uint16_t minute = 0;       // 0..59
  uint16_t second = 0;       // 0..59
  uint16_t millisecond = 0;  // 0..999
};

// An open file. Negative values never name a file.
using FileHandle = int;
constexpr FileHandle kNoFile = -1;

// What readKeyboard() answers when the process has no standard input at all
// (it was started with that channel closed).
constexpr long kKeyboardClosed = -2;

enum class CreateOutcome {
  kCreated,        // a new, empty file now exists and is open for writing
  kAlreadyExists,  // something of that name exists; it was left untouched
  kDenied,         // no permission to create it
  kFailed,         // it could not be created for another reason: see failureCause()
};

class Platform {
 public:
  virtual ~Platform() = default;

  // The first command-line argument as the platform delivers it (quotes
  // grouping a name with blanks already removed), or nullptr when there is
  // none.
  virtual const char* firstArgument() = 0;

  // Writes all `size` bytes to standard output; false when that fails (a
  // closed standard output included).
  virtual bool writeScreen(const char* data, size_t size) = 0;
  // True when standard output is a console or terminal, where someone may
  // watch the run; false for a file, a pipe or a device.
  virtual bool screenIsConsole() = 0;
  // Reads up to `capacity` bytes from standard input. Returns the number
  // read, 0 at the end of the input, kKeyboardClosed when there is no
  // standard input, or -1 when the read fails.
  virtual long readKeyboard(char* buffer, size_t capacity) = 0;

  // Files opened or created below never take the place of standard input,
  // output or error, even when the process was started with those closed.
  //
  // Opens an existing regular file or named pipe for reading; kNoFile when
  // it cannot be opened, for whatever reason. Never stops the run. A named
  // pipe is handed over once a writer has written to it or come and gone,
  // so that a pipe whose writer starts later is not read as an empty file;
  // the wait has no time limit (Ctrl-C ends the process).
  virtual FileHandle openForReading(const char* name) = 0;
  // True when the file system holds anything at all under `name` (a file of
  // any kind, a directory, a dangling link), readable or not.
  virtual bool nameExists(const char* name) = 0;
  // Creates a new file for writing; never empties or replaces an existing one.
  virtual CreateOutcome createNew(const char* name, FileHandle* file) = 0;
  // Reads up to `capacity` bytes: the number read, 0 at the end, -1 on failure.
  virtual long readFile(FileHandle file, char* buffer, size_t capacity) = 0;
  // Writes all `size` bytes; false when that fails.
  virtual bool writeFile(FileHandle file, const char* data, size_t size) = 0;
  // Closes the file; false when that fails (for a written file: when what
  // was written may not have reached the disk).
  virtual bool closeFile(FileHandle file) = 0;

  virtual TimeOfDay localTimeOfDay() = 0;

  // Ends the process with `status`. Test and fuzzing doubles may throw
  // ProcessEnded instead, so that a stop can be observed.
  [[noreturn]] virtual void endProcess(int status) = 0;
};

// What a double's endProcess() throws.
struct ProcessEnded {
  int status;
};

// The platform in use. setPlatform() is called once at start-up (and by
// tests); the caller keeps ownership.
Platform& platform();
void setPlatform(Platform* p);

// The operating system's platform, made once from main()'s arguments;
// defined by the one platform_<system>.cc file that is built.
Platform* systemPlatform(int argc, char** argv);

// Ends the process through the platform in use.
[[noreturn]] void endProcess(int status);

// Why the last openForReading() or createNew() failed, in the system's own
// words on one line ("Too many open files"); empty after a success, and
// after an open that failed for what the name is: nothing there, no
// permission, a directory or a device. Each of those calls sets it.
const char* failureCause();
// For implementations: `text` (its first 119 bytes at most, line ends as
// blanks, without trailing blanks) becomes the cause; nullptr clears it.
void setFailureCause(const char* text);

}  // namespace tallyra

#endif  // TALLYRA_PLATFORM_PLATFORM_H_
