// The platform on Windows: kernel32 handles, the local clock, ExitProcess.
//
// Files are Win32 handles kept in a small fixed table; a FileHandle is the
// index of its slot. Names are byte strings in the ANSI code page.
#include "platform/platform.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>

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

namespace {

// Console reads and writes of more than a few tens of kilobytes fail on
// older systems; files and pipes take any size, but one limit for writes
// keeps it simple.
constexpr DWORD kMaxWriteChunk = 16 * 1024;
constexpr DWORD kMaxKeyboardChunk = 16 * 1024;
constexpr DWORD kMaxReadChunk = 1 << 30;

// A pipe that the process which started us left in non-blocking mode
// (PIPE_NOWAIT) answers at once: a write finding no room takes no byte, a
// read finding nothing fails with ERROR_NO_DATA. Such a pipe is not broken:
// it is tried again after a short pause (no call waits until an anonymous
// pipe is ready) until it takes or gives bytes.
bool isNoWaitPipe(HANDLE handle) {
  DWORD state = 0;
  return ::GetFileType(handle) == FILE_TYPE_PIPE &&
         ::GetNamedPipeHandleStateA(handle, &state, nullptr, nullptr, nullptr, nullptr, 0) &&
         (state & PIPE_NOWAIT) != 0;
}
constexpr DWORD kNoWaitPauseMs = 1;

bool writeAll(HANDLE handle, const char* data, size_t size) {
  while (size > 0) {
    DWORD chunk = size > kMaxWriteChunk ? kMaxWriteChunk : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!::WriteFile(handle, data, chunk, &written, nullptr)) return false;
    if (written == 0) {
      if (!isNoWaitPipe(handle)) return false;
      ::Sleep(kNoWaitPauseMs);
      continue;
    }
    data += written;
    size -= written;
  }
  return true;
}

// The end of a pipe whose writer has gone, and the end of a file, are an
// ordinary end of input; anything else is a failed read.
long readSome(HANDLE handle, char* buffer, size_t capacity) {
  DWORD wanted = capacity > kMaxReadChunk ? kMaxReadChunk : static_cast<DWORD>(capacity);
  for (;;) {
    DWORD got = 0;
    if (::ReadFile(handle, buffer, wanted, &got, nullptr)) return static_cast<long>(got);
    DWORD error = ::GetLastError();
    if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) return 0;
    if (error == ERROR_NO_DATA && isNoWaitPipe(handle)) {
      ::Sleep(kNoWaitPauseMs);
      continue;
    }
    ::SetLastError(error);
    return -1;
  }
}

// Only disk files that are not directories, and pipes, hold a job file; a
// console or another device (CON, NUL, COM1 ...) counts as a name that
// cannot be opened.
bool holdsJobData(HANDLE handle) {
  switch (::GetFileType(handle)) {
    case FILE_TYPE_PIPE:
      return true;
    case FILE_TYPE_DISK: {
      BY_HANDLE_FILE_INFORMATION info;
      return ::GetFileInformationByHandle(handle, &info) &&
             (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    }
    default:
      return false;
  }
}

// Whether an open's error says what the name is (nothing there, no
// permission, not a name at all) rather than that the system failed.
bool isAboutTheName(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_ACCESS_DENIED:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_INVALID_DRIVE:
    case ERROR_DIRECTORY:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return true;
    default:
      return false;
  }
}

// The system's description of an error code, in English where the system
// has it, as the program's other messages are.
class ErrorText {
 public:
  explicit ErrorText(DWORD error) {
    constexpr DWORD kFlags =
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK;
    if (::FormatMessageA(kFlags, nullptr, error, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                         buffer_, sizeof buffer_, nullptr) == 0 &&
        ::FormatMessageA(kFlags, nullptr, error, 0, buffer_, sizeof buffer_, nullptr) == 0) {
      std::snprintf(buffer_, sizeof buffer_, "System error %lu", static_cast<unsigned long>(error));
    }
  }
  const char* text() const { return buffer_; }

 private:
  char buffer_[256] = {};
};

}  // namespace

Win32Platform::Win32Platform(int argc, char** argv) : argc_(argc), argv_(argv) {
  // No "program has stopped working" or "insert a disk" boxes: a failing
  // call must come back as a failure the run can report on the console.
  ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
}

FileHandle Win32Platform::keep(void* handle) {
  for (int i = 0; i < kMaxFiles; ++i) {
    if (files_[i] == nullptr) {
      files_[i] = handle;
      return i;
    }
  }
  ::CloseHandle(static_cast<HANDLE>(handle));
  return kNoFile;
}

void* Win32Platform::handleOf(FileHandle file) const {
  if (file < 0 || file >= kMaxFiles) return nullptr;
  return files_[file];
}

// The C runtime has already split the command line: double quotes group a
// name with blanks and are removed, as Explorer passes a dropped file.
const char* Win32Platform::firstArgument() { return argc_ > 1 ? argv_[1] : nullptr; }

bool Win32Platform::writeScreen(const char* data, size_t size) {
  return writeAll(::GetStdHandle(STD_OUTPUT_HANDLE), data, size);
}

bool Win32Platform::screenIsConsole() {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

long Win32Platform::readKeyboard(char* buffer, size_t capacity) {
  if (capacity > kMaxKeyboardChunk) capacity = kMaxKeyboardChunk;
  HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
  if (input == nullptr || input == INVALID_HANDLE_VALUE) return kKeyboardClosed;
  long n = readSome(input, buffer, capacity);
  return n < 0 && ::GetLastError() == ERROR_INVALID_HANDLE ? kKeyboardClosed : n;
}

FileHandle Win32Platform::openForReading(const char* name) {
  setFailureCause(nullptr);
  HANDLE handle =
      ::CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    DWORD error = ::GetLastError();
    if (!isAboutTheName(error)) setFailureCause(ErrorText(error).text());
    return kNoFile;
  }
  if (!holdsJobData(handle)) {
    ::CloseHandle(handle);
    return kNoFile;
  }
  FileHandle file = keep(handle);
  if (file == kNoFile) setFailureCause(ErrorText(ERROR_TOO_MANY_OPEN_FILES).text());
  return file;
}

bool Win32Platform::nameExists(const char* name) {
  if (::GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES) return true;
  switch (::GetLastError()) {
    // Plainly not there, or a name that cannot be looked at at all (the
    // creation that follows then decides).
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_ACCESS_DENIED:
      return false;
    default:
      // Anything else (a file in use by the system, a network failure) is
      // taken to mean that something may be there.
      return true;
  }
}

CreateOutcome Win32Platform::createNew(const char* name, FileHandle* file) {
  setFailureCause(nullptr);
  *file = kNoFile;
  HANDLE handle = ::CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD error = ::GetLastError();
  if (handle != INVALID_HANDLE_VALUE) {
    *file = keep(handle);
    if (*file != kNoFile) return CreateOutcome::kCreated;
    // Created but not kept: the empty file stays, and counts as taken.
    error = ERROR_TOO_MANY_OPEN_FILES;
  }
  if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
    return CreateOutcome::kAlreadyExists;
  if (error == ERROR_ACCESS_DENIED) return CreateOutcome::kDenied;
  setFailureCause(ErrorText(error).text());
  return CreateOutcome::kFailed;
}

long Win32Platform::readFile(FileHandle file, char* buffer, size_t capacity) {
  HANDLE handle = static_cast<HANDLE>(handleOf(file));
  if (handle == nullptr) return -1;
  return readSome(handle, buffer, capacity);
}

bool Win32Platform::writeFile(FileHandle file, const char* data, size_t size) {
  HANDLE handle = static_cast<HANDLE>(handleOf(file));
  if (handle == nullptr) return false;
  return writeAll(handle, data, size);
}

bool Win32Platform::closeFile(FileHandle file) {
  HANDLE handle = static_cast<HANDLE>(handleOf(file));
  if (handle == nullptr) return false;
  files_[file] = nullptr;
  return ::CloseHandle(handle) != 0;
}

TimeOfDay Win32Platform::localTimeOfDay() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  TimeOfDay t;
  t.hour = now.wHour;
  t.minute = now.wMinute;
  t.second = now.wSecond > 59 ? 59 : now.wSecond;
  t.millisecond = now.wMilliseconds > 999 ? 999 : now.wMilliseconds;
  return t;
}

void Win32Platform::endProcess(int status) { ::ExitProcess(static_cast<UINT>(status)); }

Platform* systemPlatform(int argc, char** argv) {
  static Win32Platform win32(argc, argv);
  return &win32;
}

}  // namespace tallyra
