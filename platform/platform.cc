#include "platform/platform.h"

#include <cstdlib>

namespace tallyra {
namespace {
Platform* current = nullptr;
char cause[120] = {};
}  // namespace

const char* failureCause() { return cause; }

void setFailureCause(const char* text) {
  size_t n = 0;
  for (; text != nullptr && text[n] != '\0' && n + 1 < sizeof cause; ++n)
    cause[n] = text[n] == '\r' || text[n] == '\n' ? ' ' : text[n];
  while (n > 0 && cause[n - 1] == ' ') --n;
  cause[n] = '\0';
}

Platform& platform() { return *current; }
void setPlatform(Platform* p) { current = p; }

void endProcess(int status) {
  current->endProcess(status);
  std::abort();  // an endProcess() that returns is a broken platform
}

}  // namespace tallyra
