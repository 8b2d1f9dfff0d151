#include "counting/closed_set_listing.h"

#include <bit>
#include <cassert>

namespace tallyra {
namespace {

uint64_t bit(int element) { return uint64_t{1} << element; }

// The elements above `element` (never a shift by 64).
uint64_t above(int element) { return ~uint64_t{0} << element << 1; }

}  // namespace

void ClosedSetListing::start(int size, const Constraint* constraints, int constraintCount) {
  assert(size >= 1 && size <= kMaxSize);
  for (int x = 0; x < size_; ++x) {
    for (uint64_t rest = partners_[x]; rest != 0; rest &= rest - 1)
      products_[x][std::countr_zero(rest)] = 0;
    partners_[x] = 0;
  }
  size_ = size;
  for (int i = 0; i < constraintCount; ++i) {
    const Constraint& c = constraints[i];
    assert(c.left >= 1 && c.left <= size && c.right >= 1 && c.right <= size);
    assert(c.result >= 1 && c.result <= size);
    int x = c.left - 1, y = c.right - 1;
    partners_[x] |= bit(y);
    partners_[y] |= bit(x);
    products_[x][y] |= bit(c.result - 1);
    products_[y][x] |= bit(c.result - 1);
  }
  // The empty set is closed and the least set of all: the root of the
  // listing, from which every element may be tried.
  stack_[0] = Frame{0, 0, size};
  failedKnown_[0] = 0;
  depth_ = 1;
  emptySetListed_ = false;
}

bool ClosedSetListing::extend(uint64_t closed, int element, uint64_t forbidden,
                              uint64_t& out) const {
  // Every pair within `closed` has had its results added; `waiting` holds
  // the elements whose pairs with the others are still to be looked at.
  uint64_t set = closed | bit(element);
  uint64_t waiting = bit(element);
  while (waiting != 0) {
    int z = std::countr_zero(waiting);
    waiting &= waiting - 1;
    // The pairs of z with itself and with every element already looked at.
    for (uint64_t ys = set & ~waiting & partners_[z]; ys != 0; ys &= ys - 1) {
      uint64_t added = products_[z][std::countr_zero(ys)] & ~set;
      if ((added & forbidden) != 0) {
        out = set | added;
        return false;
      }
      set |= added;
      waiting |= added;
    }
  }
  out = set;
  return true;
}

bool ClosedSetListing::next(uint64_t& set) {
  if (!emptySetListed_) {
    emptySetListed_ = true;
    set = 0;
    return true;
  }
  while (depth_ > 0) {
    Frame& frame = stack_[depth_ - 1];
    uint64_t* failed = failed_[depth_ - 1];
    uint64_t& failedKnown = failedKnown_[depth_ - 1];
    while (frame.next < frame.end) {
      int j = frame.next++;
      if ((frame.set & bit(j)) != 0) continue;
      // The closed sets that agree with frame.set above j and hold j: the
      // least of them is the closure of frame.set and j, when that adds
      // nothing above j. A part of the closure of a subset of frame.set
      // and j that holds an element above j outside frame.set shows that
      // it does not.
      uint64_t forbidden = above(j) & ~frame.set;
      if ((failedKnown & bit(j)) != 0 && (failed[j] & forbidden) != 0) continue;
      uint64_t grown;
      if (!extend(frame.set, j, forbidden, grown)) {
        failed[j] = grown;
        failedKnown |= bit(j);
        continue;
      }
      assert(depth_ <= kMaxSize);
      assert(grown > frame.set && (grown & above(size_ - 1)) == 0);
      // The new frame tries the elements below j, and keeps what the
      // failures of this one found for them.
      stack_[depth_] = Frame{grown, 0, j};
      for (int i = 0; i < j; ++i) failed_[depth_][i] = failed[i];
      failedKnown_[depth_] = failedKnown & (bit(j) - 1);
      ++depth_;
      set = grown;
      return true;
    }
    --depth_;
  }
  return false;
}

uint64_t ClosedSetListing::count(int size, const Constraint* constraints, int constraintCount,
                                 uint64_t limit) {
  assert(limit < ~uint64_t{0});
  start(size, constraints, constraintCount);
  uint64_t listed = 0;
  uint64_t set;
  while (listed <= limit && next(set)) ++listed;
  return listed;
}

}  // namespace tallyra
