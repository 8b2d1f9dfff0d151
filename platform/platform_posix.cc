// The platform on POSIX systems: file descriptors, the local clock, _exit.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

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

namespace {

// Whether a failed call is worth trying again: it was interrupted, or `fd`
// is non-blocking and was not ready (a process that started us may have
// left a pipe or terminal so), in which case this waits until it is. Only
// what then fails is a failure.
bool tryAgain(int fd, short events) {
  if (errno == EINTR) return true;
  if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
  struct pollfd ready = {fd, events, 0};
  // Ready or not, the next call says what the channel is up to.
  while (::poll(&ready, 1, -1) < 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

bool writeAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (tryAgain(fd, POLLOUT)) continue;
      return false;
    }
    if (n == 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// open() tried again for as long as a signal interrupts it.
int openUninterrupted(const char* name, int flags, mode_t mode = 0) {
  for (;;) {
    int fd = ::open(name, flags, mode);
    if (fd >= 0 || errno != EINTR) return fd;
  }
}

long readSome(int fd, char* buffer, size_t capacity) {
  for (;;) {
    ssize_t n = ::read(fd, buffer, capacity);
    if (n < 0 && tryAgain(fd, POLLIN)) continue;
    return n < 0 ? -1 : static_cast<long>(n);
  }
}

// Moves a newly opened file above the three standard descriptors: started
// with standard input closed, the job file would otherwise be read as the
// keyboard, and with standard output closed the screen would be written
// into the result file.
int aboveStandardChannels(int fd) {
  if (fd < 0 || fd > STDERR_FILENO) return fd;
  int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  int error = errno;
  ::close(fd);
  errno = error;
  return moved;
}

// A named pipe opened without blocking reads as empty, at its end, until a
// writer comes. Waits until a writer has written or has come and gone (poll
// reports neither before), so that a writer that starts after us is read
// whole. There is no time limit: Ctrl-C ends the process during the wait,
// before anything has been shown as opened or any result file made.
bool awaitWriter(int fd) {
  struct pollfd ready = {fd, POLLIN, 0};
  while (::poll(&ready, 1, -1) < 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

// Whether an open's error says what the name is (nothing there, no
// permission, nothing that can be read) rather than that the system failed.
bool isAboutTheName(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case EACCES:
    case EPERM:
    case ELOOP:
    case ENAMETOOLONG:
    case EISDIR:
    case ENXIO:
    case ENODEV:
      return true;
    default:
      return false;
  }
}

// The system's description of an error number (either form of strerror_r).
class ErrorText {
 public:
  explicit ErrorText(int error) : text_(pick(::strerror_r(error, buffer_, sizeof buffer_))) {}
  const char* text() const { return text_; }

 private:
  const char* pick(int result) const { return result == 0 ? buffer_ : "Unknown error"; }
  static const char* pick(const char* result) { return result; }

  char buffer_[128] = {};
  const char* text_;
};

}  // namespace

PosixPlatform::PosixPlatform(int argc, char** argv) : argc_(argc), argv_(argv) {
  // A closed pipe on standard output, and a file-size limit on the result
  // file, must show up as a failed write, not kill the process silently.
  ::signal(SIGPIPE, SIG_IGN);
  ::signal(SIGXFSZ, SIG_IGN);
}

const char* PosixPlatform::firstArgument() { return argc_ > 1 ? argv_[1] : nullptr; }

bool PosixPlatform::writeScreen(const char* data, size_t size) {
  return writeAll(STDOUT_FILENO, data, size);
}

bool PosixPlatform::screenIsConsole() { return ::isatty(STDOUT_FILENO) == 1; }

long PosixPlatform::readKeyboard(char* buffer, size_t capacity) {
  long n = readSome(STDIN_FILENO, buffer, capacity);
  return n < 0 && errno == EBADF ? kKeyboardClosed : n;
}

FileHandle PosixPlatform::openForReading(const char* name) {
  setFailureCause(nullptr);
  int fd = aboveStandardChannels(openUninterrupted(name, O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  auto fail = [&fd](int error) {
    if (fd >= 0) ::close(fd);
    if (error != 0 && !isAboutTheName(error)) setFailureCause(ErrorText(error).text());
    return kNoFile;
  };
  if (fd < 0) return fail(errno);
  struct stat st;
  if (::fstat(fd, &st) != 0) return fail(errno);
  // Only regular files and pipes hold a job file; a directory or a device
  // (whose reads may fail or never end) counts as a name that cannot be
  // opened.
  if (!(S_ISREG(st.st_mode) || S_ISFIFO(st.st_mode))) return fail(0);
  if (S_ISFIFO(st.st_mode) && !awaitWriter(fd)) return fail(errno);
  // Opened without blocking so that neither a device nor a pipe's wait for
  // its writer can hang the open itself; reads block as usual.
  int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) return fail(errno);
  return fd;
}

bool PosixPlatform::nameExists(const char* name) {
  struct stat st;
  if (::lstat(name, &st) == 0) return true;
  // Anything but a plain "not there" (or a name that cannot be looked at
  // at all) is taken to mean that something may be there.
  return !(errno == ENOENT || errno == ENOTDIR || errno == EACCES || errno == ENAMETOOLONG);
}

CreateOutcome PosixPlatform::createNew(const char* name, FileHandle* file) {
  setFailureCause(nullptr);
  int fd = openUninterrupted(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0 && errno == EEXIST) {
    *file = kNoFile;
    return CreateOutcome::kAlreadyExists;
  }
  // Created but not kept open above the standard channels, the empty file
  // stays, and counts as taken by anyone who looks later; this run cannot
  // write its results.
  *file = aboveStandardChannels(fd);
  if (*file != kNoFile) return CreateOutcome::kCreated;
  if (errno == EACCES || errno == EPERM) return CreateOutcome::kDenied;
  setFailureCause(ErrorText(errno).text());
  return CreateOutcome::kFailed;
}

long PosixPlatform::readFile(FileHandle file, char* buffer, size_t capacity) {
  return readSome(file, buffer, capacity);
}

bool PosixPlatform::writeFile(FileHandle file, const char* data, size_t size) {
  return writeAll(file, data, size);
}

bool PosixPlatform::closeFile(FileHandle file) {
  if (::close(file) == 0) return true;
  // Interrupted by a signal, a close has still released the descriptor
  // (Linux always does so; POSIX allows it), so it is not closed again,
  // which could close a file opened since; one still in progress finishes
  // by itself. Neither is a failure of the file.
  return errno == EINTR || errno == EINPROGRESS;
}

TimeOfDay PosixPlatform::localTimeOfDay() {
  struct timespec now;
  ::clock_gettime(CLOCK_REALTIME, &now);
  struct tm local;
  time_t seconds = now.tv_sec;
  ::localtime_r(&seconds, &local);
  TimeOfDay t;
  t.hour = static_cast<uint16_t>(local.tm_hour);
  t.minute = static_cast<uint16_t>(local.tm_min);
  t.second = static_cast<uint16_t>(local.tm_sec > 59 ? 59 : local.tm_sec);
  t.millisecond = static_cast<uint16_t>(now.tv_nsec / 1000000);
  return t;
}

void PosixPlatform::endProcess(int status) { ::_exit(status); }

Platform* systemPlatform(int argc, char** argv) {
  static PosixPlatform posix(argc, argv);
  return &posix;
}

}  // namespace tallyra
