// The runtime error stop: the end of a run that a failed operation or an
// arithmetic overflow makes impossible to continue.
//
// It writes to standard output
//   An unhandled exception occurred at 0x<8 hex digits> :
//   <the error's message>
//     0x<8 hex digits>
//   <empty line>
// and ends the process with exit status 217 at once: no wait, no closing
// lines. Whatever the run has already written to the result file is written
// out first, so no result line is lost. The address field carries the
// error's number, so the same failure always prints the same bytes. Where
// the system says why a file could not be opened or created, its words are
// the message.
#ifndef TALLYRA_RUN_RUNTIME_ERROR_STOP_H_
#define TALLYRA_RUN_RUNTIME_ERROR_STOP_H_

#include <cstdint>

namespace tallyra {

enum class RuntimeError {
  kAccessDenied = 5,          // "Access denied": no permission to create the result file
  kReadPastEnd = 100,         // "Read past end of file": no more keyboard input
  kDiskFull = 101,            // "Disk Full": a write could not be completed
  kDiskReadError = 102,       // "Disk read error": a read failed
  kCloseFailed = 103,         // "File close failed"
  kNotOpenForInput = 104,     // "File not open for input": no standard input
  kCreateFailed = 105,        // the result file cannot be created for another reason
  kInvalidInput = 106,        // "Invalid input": the size is no whole number
  kOpenFailed = 107,          // the job file cannot be opened, and no other name is given
  kArithmeticOverflow = 215,  // "Arithmetic overflow"
};

constexpr int kRuntimeErrorExitStatus = 217;

const char* runtimeErrorMessage(RuntimeError error);

[[noreturn]] void runtimeErrorStop(RuntimeError error);
// The same with `cause` (the system's one-line words) as the message, or
// the error's own message when `cause` is empty.
[[noreturn]] void runtimeErrorStop(RuntimeError error, const char* cause);

// Integer arithmetic that stops with "Arithmetic overflow" instead of
// overflowing.
int32_t checkedAdd(int32_t a, int32_t b);
int32_t checkedSubtract(int32_t a, int32_t b);
int32_t checkedMultiply(int32_t a, int32_t b);

}  // namespace tallyra

#endif  // TALLYRA_RUN_RUNTIME_ERROR_STOP_H_
