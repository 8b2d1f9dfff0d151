// Sets of a job's elements as bit masks, in one, two or four 64-bit words.
//
// Element positions 1..size become bit indices 0..size-1. A job of up to 64
// elements keeps its sets in one uint64_t, one of up to 128 in a
// WideSet<2>, one of up to 256 in a WideSet<4>; ElementSetOf<Words> names
// the type. The counting code is written once over these operations:
//
//   single<Set>(x)          the set {x}
//   firstElements<Set>(n)   {0..n-1}, n = 0..the set's capacity
//   above<Set>(x), below<Set>(x)
//   isEmpty(s), has(s, x), insert(s, x) (adds x to s), lowest(s) (s not
//   empty), withoutLowest(s),
//   elementCount(s), atMostElements(s, n), forEach(s, f) (f(x) for each x,
//   from the lowest), &, |, ^, ~, ==.
//
// For one word these are the plain integer operations, so a job of up to
// 64 elements runs the same instructions as before the wider sets.
#ifndef TALLYRA_COUNTING_ELEMENT_SET_H_
#define TALLYRA_COUNTING_ELEMENT_SET_H_

#include <bit>
#include <cstdint>
#include <type_traits>

#include "run/wide_unsigned.h"

// The operations below are always inlined, also into the search's hot
// paths that are compiled for processors with more instructions (which
// would otherwise call them as they are compiled for every processor).
#if defined(__GNUC__)
#define TALLYRA_SET_OPERATION __attribute__((always_inline))
#else
#define TALLYRA_SET_OPERATION
#endif

namespace tallyra {

// A set of up to 64 * Words elements: bit i of word[i / 64] is element i.
// Like the built-in integers, a WideSet made without a value (`WideSet s;`)
// holds no set until one is assigned; `WideSet s{}` is empty. So the tables
// of such sets in static storage cost nothing until they are used.
template <int Words>
struct WideSet {
  uint64_t word[Words];

  friend constexpr TALLYRA_SET_OPERATION WideSet operator&(const WideSet& a, const WideSet& b) {
    WideSet r;
    for (int i = 0; i < Words; ++i) r.word[i] = a.word[i] & b.word[i];
    return r;
  }
  friend constexpr TALLYRA_SET_OPERATION WideSet operator|(const WideSet& a, const WideSet& b) {
    WideSet r;
    for (int i = 0; i < Words; ++i) r.word[i] = a.word[i] | b.word[i];
    return r;
  }
  friend constexpr TALLYRA_SET_OPERATION WideSet operator^(const WideSet& a, const WideSet& b) {
    WideSet r;
    for (int i = 0; i < Words; ++i) r.word[i] = a.word[i] ^ b.word[i];
    return r;
  }
  friend constexpr TALLYRA_SET_OPERATION WideSet operator~(const WideSet& a) {
    WideSet r;
    for (int i = 0; i < Words; ++i) r.word[i] = ~a.word[i];
    return r;
  }
  constexpr TALLYRA_SET_OPERATION WideSet& operator&=(const WideSet& b) {
    return *this = *this & b;
  }
  constexpr TALLYRA_SET_OPERATION WideSet& operator|=(const WideSet& b) {
    return *this = *this | b;
  }
  friend constexpr TALLYRA_SET_OPERATION bool operator==(const WideSet& a, const WideSet& b) {
    uint64_t differ = 0;
    for (int i = 0; i < Words; ++i) differ |= a.word[i] ^ b.word[i];
    return differ == 0;
  }
};

template <int Words>
using ElementSetOf = std::conditional_t<Words == 1, uint64_t, WideSet<Words>>;

// A number of subsets of such a set short of all of them (below 2^(64 *
// Words)): the count of a part of a job, in words as wide as its sets.
template <int Words>
using PartCountOf = std::conditional_t<Words == 1, uint64_t, WideUnsigned<Words>>;

// The set of one job of up to 64 elements, the narrowest kind.
using ElementSet = uint64_t;

// How many elements a set of this type holds.
template <typename Set>
inline constexpr int kSetCapacity = 64;
template <int Words>
inline constexpr int kSetCapacity<WideSet<Words>> = 64 * Words;

// The most elements any set holds.
constexpr int kMaxSetElements = 256;

// --- one word

template <typename Set>
requires std::is_same_v<Set, uint64_t>
constexpr TALLYRA_SET_OPERATION uint64_t single(int x) { return uint64_t{1} << x; }
constexpr TALLYRA_SET_OPERATION void insert(uint64_t& s, int x) { s |= uint64_t{1} << x; }
template <typename Set>
requires std::is_same_v<Set, uint64_t>
constexpr TALLYRA_SET_OPERATION uint64_t firstElements(int n) {
  return n >= 64 ? ~uint64_t{0} : (uint64_t{1} << n) - 1;
}
// (For x = 63, where 2 << 63 wraps to 0, none.)
template <typename Set>
requires std::is_same_v<Set, uint64_t>
constexpr TALLYRA_SET_OPERATION uint64_t above(int x) { return ~((uint64_t{2} << x) - 1); }
template <typename Set>
requires std::is_same_v<Set, uint64_t>
constexpr TALLYRA_SET_OPERATION uint64_t below(int x) { return (uint64_t{1} << x) - 1; }
constexpr TALLYRA_SET_OPERATION bool isEmpty(uint64_t s) { return s == 0; }
constexpr TALLYRA_SET_OPERATION bool has(uint64_t s, int x) { return (s >> x & 1) != 0; }
constexpr TALLYRA_SET_OPERATION int lowest(uint64_t s) { return std::countr_zero(s); }
constexpr TALLYRA_SET_OPERATION uint64_t withoutLowest(uint64_t s) { return s & (s - 1); }
// (A library routine unless the processor's instruction is asked for: see
// instruction_form.h.)
constexpr TALLYRA_SET_OPERATION int elementCount(uint64_t s) {
#if defined(__GNUC__)
  return __builtin_popcountll(s);
#else
  return std::popcount(s);
#endif
}
// The number of elements of s in a few shifts and masks, without the
// processor's instruction for it (which the first 64-bit x86 processors
// lack, and for which a library routine is called otherwise).
constexpr TALLYRA_SET_OPERATION int elementCountByMasks(uint64_t s) {
  s -= (s >> 1) & 0x5555555555555555u;
  s = (s & 0x3333333333333333u) + ((s >> 2) & 0x3333333333333333u);
  s = (s + (s >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
  return static_cast<int>((s * 0x0101010101010101u) >> 56);
}
// Whether s has at most `most` elements.
constexpr TALLYRA_SET_OPERATION bool atMostElements(uint64_t s, int most) {
  return elementCountByMasks(s) <= most;
}
template <typename F>
constexpr void forEach(uint64_t s, F&& f) {
  for (; s != 0; s &= s - 1) f(std::countr_zero(s));
}

// --- several words

template <typename Set>
requires(!std::is_same_v<Set, uint64_t>) constexpr TALLYRA_SET_OPERATION Set single(int x) {
  Set s{};
  s.word[x / 64] = uint64_t{1} << (x % 64);
  return s;
}
template <typename Set>
requires(!std::is_same_v<Set, uint64_t>) constexpr TALLYRA_SET_OPERATION Set firstElements(int n) {
  Set s{};
  for (int i = 0; i < kSetCapacity<Set> / 64; ++i) {
    const int inWord = n - 64 * i;
    s.word[i] = inWord >= 64 ? ~uint64_t{0} : inWord <= 0 ? 0 : (uint64_t{1} << inWord) - 1;
  }
  return s;
}
template <typename Set>
requires(!std::is_same_v<Set, uint64_t>) constexpr TALLYRA_SET_OPERATION Set above(int x) {
  return ~firstElements<Set>(x + 1);
}
template <typename Set>
requires(!std::is_same_v<Set, uint64_t>) constexpr TALLYRA_SET_OPERATION Set below(int x) {
  return firstElements<Set>(x);
}
template <int Words>
constexpr TALLYRA_SET_OPERATION bool isEmpty(const WideSet<Words>& s) {
  uint64_t any = 0;
  for (int i = 0; i < Words; ++i) any |= s.word[i];
  return any == 0;
}
template <int Words>
constexpr TALLYRA_SET_OPERATION bool has(const WideSet<Words>& s, int x) {
  return (s.word[x / 64] >> (x % 64) & 1) != 0;
}
template <int Words>
constexpr TALLYRA_SET_OPERATION void insert(WideSet<Words>& s, int x) {
  s.word[x / 64] |= uint64_t{1} << (x % 64);
}
template <int Words>
constexpr TALLYRA_SET_OPERATION int lowest(const WideSet<Words>& s) {
  int i = 0;
  while (i < Words - 1 && s.word[i] == 0) ++i;
  return 64 * i + std::countr_zero(s.word[i]);
}
template <int Words>
constexpr TALLYRA_SET_OPERATION WideSet<Words> withoutLowest(WideSet<Words> s) {
  int i = 0;
  while (i < Words - 1 && s.word[i] == 0) ++i;
  s.word[i] &= s.word[i] - 1;
  return s;
}
template <int Words>
constexpr TALLYRA_SET_OPERATION int elementCount(const WideSet<Words>& s) {
  int n = 0;
  for (int i = 0; i < Words; ++i) n += elementCount(s.word[i]);
  return n;
}
template <int Words>
constexpr TALLYRA_SET_OPERATION bool atMostElements(const WideSet<Words>& s, int most) {
  int n = 0;
  for (int i = 0; i < Words; ++i) n += elementCountByMasks(s.word[i]);
  return n <= most;
}
template <int Words, typename F>
constexpr void forEach(const WideSet<Words>& s, F&& f) {
  for (int i = 0; i < Words; ++i)
    for (uint64_t w = s.word[i]; w != 0; w &= w - 1) f(64 * i + std::countr_zero(w));
}

// A word that mixes every element of a set, for hashing.
constexpr uint64_t mixedWord(uint64_t s) { return s; }
template <int Words>
constexpr uint64_t mixedWord(const WideSet<Words>& s) {
  uint64_t mixed = s.word[0];
  for (int i = 1; i < Words; ++i) mixed = (mixed ^ s.word[i]) * 0xD6E8FEB86659FD93u;
  return mixed;
}

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_ELEMENT_SET_H_
