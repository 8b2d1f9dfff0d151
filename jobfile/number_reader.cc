#include "jobfile/number_reader.h"

namespace tallyra {
namespace {

constexpr uint64_t kLimit = uint64_t{1} << 31;  // one more than INT32_MAX

int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

}  // namespace

void NumberReader::take(char c) {
  switch (stage_) {
    case Stage::kLeading:
      if (c == ' ' || c == '\t') return;
      if (c == '+' || c == '-') {
        negative_ = c == '-';
        stage_ = Stage::kAfterSign;
        return;
      }
      [[fallthrough]];
    case Stage::kAfterSign:
      if (c == '$' || (c == '%' && allowBinary_)) {
        base_ = c == '$' ? 16 : 2;
        stage_ = Stage::kAfterBase;
        return;
      }
      [[fallthrough]];
    case Stage::kAfterBase:
    case Stage::kDigits: {
      int d = digitValue(c);
      if (d >= base_) {
        stage_ = Stage::kFailed;
        return;
      }
      magnitude_ = magnitude_ * static_cast<uint64_t>(base_) + static_cast<uint64_t>(d);
      if (magnitude_ > kLimit) magnitude_ = kLimit + 1;  // too large, stays so
      stage_ = Stage::kDigits;
      return;
    }
    case Stage::kFailed:
      return;
  }
}

bool NumberReader::finish(int32_t* value) const {
  if (stage_ != Stage::kDigits) return false;
  if (negative_) {
    if (magnitude_ > kLimit) return false;
    *value = static_cast<int32_t>(-static_cast<int64_t>(magnitude_));
  } else {
    if (magnitude_ >= kLimit) return false;
    *value = static_cast<int32_t>(magnitude_);
  }
  return true;
}

bool readNumber(std::string_view text, bool allowBinary, int32_t* value) {
  NumberReader reader(allowBinary);
  for (char c : text) reader.take(c);
  return reader.finish(value);
}

}  // namespace tallyra
