// The runtime error stop: the end of a run that a failed operation or an
// arithmetic overflow makes impossible to continue.
//
// It writes the runtime error report (runtime_error.h) to standard output
// and ends the process with exit status 217 at once: no wait, no closing
// lines. Whatever the run has already written to Screen and the result
// file is written out first, so no result line is lost. Where the system
// says why a file could not be opened or created, its words are the
// message.
#ifndef TALLYRA_RUN_RUNTIME_ERROR_STOP_H_
#define TALLYRA_RUN_RUNTIME_ERROR_STOP_H_

#include <cstdint>

#include "run/runtime_error.h"

namespace tallyra {

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
