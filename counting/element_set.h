// Sets of a job's elements as bit masks.
//
// Element positions 1..size become bit indices 0..size-1 of one 64-bit
// word, so a subset of A (at most 64 elements) is one word.
#ifndef TALLYRA_COUNTING_ELEMENT_SET_H_
#define TALLYRA_COUNTING_ELEMENT_SET_H_

#include <bit>
#include <cstdint>

namespace tallyra {

using ElementSet = uint64_t;

// The most elements a set holds.
constexpr int kMaxSetElements = 64;

inline ElementSet bitOf(int x) { return ElementSet{1} << x; }

// The lowest element of a non-empty set.
inline int lowest(ElementSet set) { return std::countr_zero(set); }

// The elements 0..n-1, n = 0..64.
inline ElementSet firstElements(int n) { return n >= 64 ? ~ElementSet{0} : bitOf(n) - 1; }

// The elements above x (for x = 63, where 2 << 63 wraps to 0, none).
inline ElementSet above(int x) { return ~((ElementSet{2} << x) - 1); }

// The elements below x.
inline ElementSet below(int x) { return bitOf(x) - 1; }

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_ELEMENT_SET_H_
