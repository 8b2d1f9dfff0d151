#include "run/runtime_error.h"

#include <cstdio>

#include "platform/platform.h"

namespace tallyra {

const char* runtimeErrorMessage(RuntimeError error) {
  switch (error) {
    case RuntimeError::kAccessDenied:
      return "Access denied";
    case RuntimeError::kReadPastEnd:
      return "Read past end of file";
    case RuntimeError::kDiskFull:
      return "Disk Full";
    case RuntimeError::kDiskReadError:
      return "Disk read error";
    case RuntimeError::kCloseFailed:
      return "File close failed";
    case RuntimeError::kNotOpenForInput:
      return "File not open for input";
    case RuntimeError::kCreateFailed:
      return "File not created";
    case RuntimeError::kOpenFailed:
      return "File not opened";
    case RuntimeError::kInvalidInput:
      return "Invalid input";
    case RuntimeError::kArithmeticOverflow:
      return "Arithmetic overflow";
  }
  return "Runtime error";
}

void reportRuntimeErrorAndEnd(RuntimeError error, const char* cause) {
  unsigned address = static_cast<unsigned>(error);
  const char* message = cause != nullptr && *cause != '\0' ? cause : runtimeErrorMessage(error);
  // A message is one line of at most 127 bytes here; the rest is cut.
  char text[256];
  int n = std::snprintf(text, sizeof text,
                        "An unhandled exception occurred at 0x%08X :\r\n"
                        "%.127s\r\n"
                        "  0x%08X\r\n"
                        "\r\n",
                        address, message, address);
  platform().writeScreen(text, static_cast<size_t>(n));
  endProcess(kRuntimeErrorExitStatus);
}

}  // namespace tallyra
