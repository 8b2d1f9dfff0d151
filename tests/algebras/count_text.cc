#include "tests/algebras/count_text.h"

namespace tallyra {

CountText countText(const SubsetCount& count) {
  CountText text;
  count.toDecimal(text.digits);
  return text;
}

}  // namespace tallyra
