#include "counting/small_job_count.h"

#include <cassert>

namespace tallyra {
namespace {

// holding[i], i < 6: the subsets t of a word (bit t) that hold element i.
// Elements 6 and up are the bits of the word's index: a word holds all of
// its subsets with them or none.
constexpr uint64_t kHolding[6] = {0xAAAAAAAAAAAAAAAAu, 0xCCCCCCCCCCCCCCCCu, 0xF0F0F0F0F0F0F0F0u,
                                  0xFF00FF00FF00FF00u, 0xFFFF0000FFFF0000u, 0xFFFFFFFF00000000u};

// For a constraint on elements l, r, z (0-based): the words that can hold
// a subset breaking it, as a word index must hold `must` and no bit of
// `mustNot`; and within such a word the subsets that break it.
struct Breaking {
  uint32_t must;
  uint32_t mustNot;
  uint64_t subsets;
};

// False when the constraint never breaks (its result is an operand).
bool breaking(const Constraint& c, Breaking& out) {
  const int l = c.left - 1, r = c.right - 1, z = c.result - 1;
  if (z == l || z == r) return false;
  out.must = 0;
  out.mustNot = 0;
  out.subsets = ~uint64_t{0};
  for (int x : {l, r}) {
    if (x < 6)
      out.subsets &= kHolding[x];
    else
      out.must |= uint32_t{1} << (x - 6);
  }
  if (z < 6)
    out.subsets &= ~kHolding[z];
  else
    out.mustNot = uint32_t{1} << (z - 6);
  return true;
}

}  // namespace

uint64_t countSmallJob(int size, const Constraint* constraints, int constraintCount) {
  assert(size >= 1 && size <= kMaxSmallJobElements);
  const int high = size > 6 ? size - 6 : 0;
  const uint32_t words = uint32_t{1} << high;
  uint64_t broken[1 << (kMaxSmallJobElements - 6)];
  for (uint32_t w = 0; w < words; ++w) broken[w] = 0;
  for (int i = 0; i < constraintCount; ++i) {
    Breaking b;
    if (!breaking(constraints[i], b)) continue;
    // Every word index with `must` and without `mustNot`: `must` and each
    // subset s of the other bits, taken in increasing order.
    const uint32_t free = (words - 1) & ~(b.must | b.mustNot);
    for (uint32_t s = 0;; s = (s - free) & free) {
      broken[b.must | s] |= b.subsets;
      if (s == free) break;
    }
  }
  const uint64_t valid = size >= 6 ? ~uint64_t{0} : (uint64_t{1} << (1 << size)) - 1;
  uint64_t closed = 0;
  for (uint32_t w = 0; w < words; ++w) {
    // The closed subsets of the word, counted in a few shifts and masks.
    uint64_t v = ~broken[w] & valid;
    v -= (v >> 1) & 0x5555555555555555u;
    v = (v & 0x3333333333333333u) + ((v >> 2) & 0x3333333333333333u);
    v = (v + (v >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
    closed += (v * 0x0101010101010101u) >> 56;
  }
  return closed;
}

bool smallJobIsCheaper(int size, const Constraint* constraints, int constraintCount,
                       int64_t limit) {
  if (size <= 6) return true;
  if (int64_t{4} * constraintCount > int64_t{size} * size) return false;
  // The words visited: the count at the end, and for each constraint that
  // can break a subset the words whose index has what it needs.
  const int high = size - 6;
  int64_t work = int64_t{1} << high;
  bool breaks = false;
  for (int i = 0; i < constraintCount && work <= limit; ++i) {
    Breaking b;
    if (!breaking(constraints[i], b)) continue;
    breaks = true;
    work += int64_t{1} << (high - __builtin_popcount(b.must | b.mustNot));
  }
  return breaks && work <= limit;
}

}  // namespace tallyra
