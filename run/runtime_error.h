// The runtime errors and their report, below the channels.
//
// The report goes straight to standard output:
//   An unhandled exception occurred at 0x<8 hex digits> :
//   <the error's message>
//     0x<8 hex digits>
//   <empty line>
// and the process ends with exit status 217 at once. The address field
// carries the error's number, so the same failure always prints the same
// bytes. Whoever holds buffered output writes it out first: the channels
// do when one of them fails, and runtimeErrorStop() (runtime_error_stop.h)
// does for everyone else.
#ifndef TALLYRA_RUN_RUNTIME_ERROR_H_
#define TALLYRA_RUN_RUNTIME_ERROR_H_

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

// Writes the report, with `cause` (the system's one-line words) as the
// message, or the error's own message when `cause` is null or empty, and
// ends the process. Writes out nothing else.
[[noreturn]] void reportRuntimeErrorAndEnd(RuntimeError error, const char* cause);

}  // namespace tallyra

#endif  // TALLYRA_RUN_RUNTIME_ERROR_H_
