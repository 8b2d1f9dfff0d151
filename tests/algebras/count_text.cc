#include "tests/algebras/count_text.h"

namespace tallyra {

CountText countText(SubsetCount count) {
  // The digits from the last one back, then moved to the front.
  char reversed[40];
  int length = 0;
  do {
    reversed[length++] = static_cast<char>('0' + static_cast<int>(count % 10));
    count /= 10;
  } while (count != 0);
  CountText text;
  for (int i = 0; i < length; ++i) text.digits[i] = reversed[length - 1 - i];
  text.digits[length] = '\0';
  return text;
}

}  // namespace tallyra
