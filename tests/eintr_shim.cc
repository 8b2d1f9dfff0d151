// A library for LD_PRELOAD, built for the tests only: it makes open() and
// close() fail with EINTR, as when a signal interrupts them, so that the
// real program can be run through whole end-to-end cases that way.
//
//   LD_PRELOAD=.../libtallyra_eintr_shim.so TALLYRA_EINTR_SHIM=open,close PROGRAM ...
//
// "open": every other call of open() fails with EINTR before it does
// anything, beginning with the first, so that each open the program makes
// is interrupted once and goes through when tried again. "close": every
// close() that succeeded answers EINTR, with the descriptor released, as
// Linux does; closing it again fails with EBADF.
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>

namespace {

using OpenFunction = int (*)(const char*, int, ...);
using CloseFunction = int (*)(int);

bool wanted(const char* call) {
  const char* setting = getenv("TALLYRA_EINTR_SHIM");
  return setting != nullptr && strstr(setting, call) != nullptr;
}

bool interruptNextOpen = true;

int interruptedOpen(const char* path, int flags, mode_t mode) {
  static OpenFunction realOpen = nullptr;
  if (realOpen == nullptr) realOpen = reinterpret_cast<OpenFunction>(dlsym(RTLD_NEXT, "open"));
  if (wanted("open")) {
    interruptNextOpen = !interruptNextOpen;
    if (!interruptNextOpen) {
      errno = EINTR;
      return -1;
    }
  }
  return realOpen(path, flags, mode);
}

// Whether open() was given a mode, its third argument.
bool hasMode(int flags) { return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE; }

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
  mode_t mode = 0;
  if (hasMode(flags)) {
    va_list arguments;
    va_start(arguments, flags);
    // (The analyzer does not see the va_start above in a function named open.)
    mode =
        static_cast<mode_t>(va_arg(arguments, int));  // NOLINT(clang-analyzer-valist.Uninitialized)
    va_end(arguments);
  }
  return interruptedOpen(path, flags, mode);
}

int close(int fd) {
  static CloseFunction realClose = nullptr;
  if (realClose == nullptr) realClose = reinterpret_cast<CloseFunction>(dlsym(RTLD_NEXT, "close"));
  int result = realClose(fd);
  if (result == 0 && wanted("close")) {
    errno = EINTR;
    return -1;
  }
  return result;
}

}  // extern "C"
