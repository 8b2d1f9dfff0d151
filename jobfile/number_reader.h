// Whole numbers in the job file: the subtrahend and the size.
//
// A number is a signed 32-bit integer: optional blanks and tabs, an optional
// "+" or "-", then digits and nothing after them. "$" after the sign (or in
// its place) makes the digits hexadecimal; where binary is allowed, "%"
// there makes them binary. The digits are read as a non-negative value
// first, so "$80000000" lies outside the range and is no number.
#ifndef TALLYRA_JOBFILE_NUMBER_READER_H_
#define TALLYRA_JOBFILE_NUMBER_READER_H_

#include <cstdint>
#include <string_view>

namespace tallyra {

// Takes the characters of a number one at a time, so that a token of any
// length is judged without being stored.
class NumberReader {
 public:
  explicit NumberReader(bool allowBinary) : allowBinary_(allowBinary) {}
  void take(char c);
  // True, with the value in `value`, when what was taken is a number.
  bool finish(int32_t* value) const;

 private:
  enum class Stage { kLeading, kAfterSign, kAfterBase, kDigits, kFailed };
  bool allowBinary_;
  Stage stage_ = Stage::kLeading;
  bool negative_ = false;
  int base_ = 10;
  uint64_t magnitude_ = 0;  // capped just above 2^31
};

// Converts a whole text; false when it is no number.
bool readNumber(std::string_view text, bool allowBinary, int32_t* value);

}  // namespace tallyra

#endif  // TALLYRA_JOBFILE_NUMBER_READER_H_
