// Unsigned integers of a fixed number of 64-bit words, and the decimal
// digits of a number.
//
// WideUnsigned<Words> holds 0..2^(64 * Words) - 1 in Words words, the least
// significant first. Arithmetic wraps around modulo 2^(64 * Words), as it
// does for the built-in unsigned types; a caller that needs a true result
// keeps its values in range (a count of subsets of n elements, n < 64 *
// Words, always is). Shifts by the width or more give 0. Nothing is
// allocated; every operation is a fixed number of word operations. Like the
// built-in integers, a WideUnsigned made without a value holds none until
// one is assigned; `WideUnsigned n{}` is 0.
#ifndef TALLYRA_RUN_WIDE_UNSIGNED_H_
#define TALLYRA_RUN_WIDE_UNSIGNED_H_

#include <compare>
#include <cstddef>
#include <cstdint>

namespace tallyra {

// The decimal digits of `value` into `out` (at least 20 characters), with
// no leading zeros ("0" for 0) and no NUL; returns their number.
int writeDecimal(uint64_t value, char* out);

template <int Words>
class WideUnsigned {
  static_assert(Words >= 1);

 public:
  static constexpr int kBits = 64 * Words;

  constexpr WideUnsigned() = default;
  constexpr WideUnsigned(uint64_t value) : word_{value} {}  // NOLINT: a number, as for uint64_t
  // A narrower number keeps its value.
  template <int Fewer>
  requires(Fewer < Words) constexpr WideUnsigned(const WideUnsigned<Fewer>& value)  // NOLINT
      : word_{} {
    for (int i = 0; i < Fewer; ++i) word_[i] = value.word(i);
  }

  constexpr uint64_t word(int i) const { return word_[i]; }
  constexpr uint64_t& word(int i) { return word_[i]; }

  constexpr bool isZero() const {
    uint64_t any = 0;
    for (int i = 0; i < Words; ++i) any |= word_[i];
    return any == 0;
  }
  constexpr explicit operator bool() const { return !isZero(); }
  // Whether the value is below 2^64, so that word(0) is all of it.
  constexpr bool fitsInWord() const {
    uint64_t high = 0;
    for (int i = 1; i < Words; ++i) high |= word_[i];
    return high == 0;
  }
  // The number of binary digits, 0 for 0.
  constexpr int bitWidth() const {
    for (int i = Words - 1; i >= 0; --i)
      if (word_[i] != 0) return 64 * i + 64 - __builtin_clzll(word_[i]);
    return 0;
  }
  constexpr bool bit(int i) const { return (word_[i / 64] >> (i % 64) & 1) != 0; }

  constexpr WideUnsigned& operator+=(const WideUnsigned& b) {
    uint64_t carry = 0;
    for (int i = 0; i < Words; ++i) {
      const uint64_t sum = word_[i] + b.word_[i];
      const uint64_t next = (sum < word_[i] ? 1 : 0);
      word_[i] = sum + carry;
      carry = next | (word_[i] < sum ? 1 : 0);
    }
    return *this;
  }
  constexpr WideUnsigned& operator-=(const WideUnsigned& b) {
    uint64_t borrow = 0;
    for (int i = 0; i < Words; ++i) {
      const uint64_t a = word_[i];
      const uint64_t difference = a - b.word_[i];
      const uint64_t next = (a < b.word_[i] ? 1 : 0);
      word_[i] = difference - borrow;
      borrow = next | (difference < borrow ? 1 : 0);
    }
    return *this;
  }
  // The product's low Words words.
  constexpr WideUnsigned& operator*=(const WideUnsigned& b) {
    __extension__ typedef unsigned __int128 Twice;
    WideUnsigned product{};
    for (int i = 0; i < Words; ++i) {
      if (word_[i] == 0) continue;
      uint64_t carry = 0;
      for (int j = 0; i + j < Words; ++j) {
        const Twice t = static_cast<Twice>(word_[i]) * b.word_[j] + product.word_[i + j] + carry;
        product.word_[i + j] = static_cast<uint64_t>(t);
        carry = static_cast<uint64_t>(t >> 64);
      }
    }
    return *this = product;
  }
  constexpr WideUnsigned& operator<<=(int shift) {
    if (shift >= kBits) return *this = WideUnsigned();
    const int words = shift / 64, bits = shift % 64;
    for (int i = Words - 1; i >= 0; --i) {
      uint64_t w = i >= words ? word_[i - words] << bits : 0;
      if (bits != 0 && i > words) w |= word_[i - words - 1] >> (64 - bits);
      word_[i] = w;
    }
    return *this;
  }
  constexpr WideUnsigned& operator>>=(int shift) {
    if (shift >= kBits) return *this = WideUnsigned();
    const int words = shift / 64, bits = shift % 64;
    for (int i = 0; i < Words; ++i) {
      uint64_t w = i + words < Words ? word_[i + words] >> bits : 0;
      if (bits != 0 && i + words + 1 < Words) w |= word_[i + words + 1] << (64 - bits);
      word_[i] = w;
    }
    return *this;
  }
  constexpr WideUnsigned& operator&=(const WideUnsigned& b) {
    for (int i = 0; i < Words; ++i) word_[i] &= b.word_[i];
    return *this;
  }
  constexpr WideUnsigned& operator|=(const WideUnsigned& b) {
    for (int i = 0; i < Words; ++i) word_[i] |= b.word_[i];
    return *this;
  }

  friend constexpr WideUnsigned operator+(WideUnsigned a, const WideUnsigned& b) { return a += b; }
  friend constexpr WideUnsigned operator-(WideUnsigned a, const WideUnsigned& b) { return a -= b; }
  friend constexpr WideUnsigned operator*(WideUnsigned a, const WideUnsigned& b) { return a *= b; }
  friend constexpr WideUnsigned operator<<(WideUnsigned a, int shift) { return a <<= shift; }
  friend constexpr WideUnsigned operator>>(WideUnsigned a, int shift) { return a >>= shift; }
  friend constexpr WideUnsigned operator&(WideUnsigned a, const WideUnsigned& b) { return a &= b; }
  friend constexpr WideUnsigned operator|(WideUnsigned a, const WideUnsigned& b) { return a |= b; }

  friend constexpr bool operator==(const WideUnsigned& a, const WideUnsigned& b) {
    for (int i = 0; i < Words; ++i)
      if (a.word_[i] != b.word_[i]) return false;
    return true;
  }
  friend constexpr std::strong_ordering operator<=>(const WideUnsigned& a, const WideUnsigned& b) {
    for (int i = Words - 1; i >= 0; --i)
      if (a.word_[i] != b.word_[i]) return a.word_[i] <=> b.word_[i];
    return std::strong_ordering::equal;
  }

  // Divides by `divisor` (1..2^64 - 1) and answers the remainder.
  constexpr uint64_t divideBy(uint64_t divisor) {
    __extension__ typedef unsigned __int128 Twice;
    uint64_t remainder = 0;
    for (int i = Words - 1; i >= 0; --i) {
      const Twice part = static_cast<Twice>(remainder) << 64 | word_[i];
      word_[i] = static_cast<uint64_t>(part / divisor);
      remainder = static_cast<uint64_t>(part % divisor);
    }
    return remainder;
  }

  // The most decimal digits a value has, and room for them with a NUL.
  static constexpr int kMostDigits = (kBits * 30103 + 99999) / 100000;
  static constexpr int kDecimalCapacity = kMostDigits + 1;

  // The decimal digits into `out` (kDecimalCapacity characters), with no
  // leading zeros ("0" for 0), NUL-terminated; returns their number.
  int toDecimal(char* out) const {
    // Groups of 19 digits, the lowest first, each written with leading
    // zeros but the highest.
    if (fitsInWord()) {  // most counts: no division of wide numbers
      const int length = writeDecimal(word_[0], out);
      out[length] = '\0';
      return length;
    }
    constexpr uint64_t kTenTo19 = 10'000'000'000'000'000'000u;
    uint64_t groups[(kMostDigits + 18) / 19];
    int count = 0;
    WideUnsigned rest = *this;
    do {
      groups[count++] = rest.divideBy(kTenTo19);
    } while (!rest.isZero());
    int length = writeDecimal(groups[count - 1], out);
    for (int g = count - 2; g >= 0; --g) {
      char digits[20];
      const int n = writeDecimal(groups[g], digits);
      for (int i = n; i < 19; ++i) out[length++] = '0';
      for (int i = 0; i < n; ++i) out[length++] = digits[i];
    }
    out[length] = '\0';
    return length;
  }

 private:
  // Not initialised by the default constructor, so that the search's
  // static tables of counts cost only the memory that a job touches.
  uint64_t word_[Words];
};

}  // namespace tallyra

#endif  // TALLYRA_RUN_WIDE_UNSIGNED_H_
