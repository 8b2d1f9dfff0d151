#include "counting/instruction_form.h"

namespace tallyra {

bool processorRunsFastForm() {
#if TALLYRA_FAST_INSTRUCTIONS
  static const bool kFast = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("popcnt") && __builtin_cpu_supports("bmi");
  }();
  return kFast;
#else
  return false;
#endif
}

}  // namespace tallyra
