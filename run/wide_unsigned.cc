#include "run/wide_unsigned.h"

namespace tallyra {

int writeDecimal(uint64_t value, char* out) {
  char reversed[20];
  int length = 0;
  do {
    reversed[length++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  for (int i = 0; i < length; ++i) out[i] = reversed[length - 1 - i];
  return length;
}

}  // namespace tallyra
