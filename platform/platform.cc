#include "platform/platform.h"

#include <cstdlib>

namespace tallyra {
namespace {
Platform* current = nullptr;
}  // namespace

Platform& platform() { return *current; }
void setPlatform(Platform* p) { current = p; }

void endProcess(int status) {
  current->endProcess(status);
  std::abort();  // an endProcess() that returns is a broken platform
}

}  // namespace tallyra
