#include "run/runtime_error_stop.h"

#include "run/channels.h"

namespace tallyra {

void runtimeErrorStop(RuntimeError error) { runtimeErrorStop(error, nullptr); }

void runtimeErrorStop(RuntimeError error, const char* cause) {
  writeOutChannelsIgnoringFailure();
  reportRuntimeErrorAndEnd(error, cause);
}

int32_t checkedAdd(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_add_overflow(a, b, &r)) runtimeErrorStop(RuntimeError::kArithmeticOverflow);
  return r;
}

int32_t checkedSubtract(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_sub_overflow(a, b, &r)) runtimeErrorStop(RuntimeError::kArithmeticOverflow);
  return r;
}

int32_t checkedMultiply(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_mul_overflow(a, b, &r)) runtimeErrorStop(RuntimeError::kArithmeticOverflow);
  return r;
}

}  // namespace tallyra
