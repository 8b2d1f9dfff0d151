// A second reference count, written apart from the engine, for jobs of 1 to
// 64 elements: the closed sets listed one by one in lectic order.
//
// A set is a 64-bit word whose bit p-1 stands for the element at position p
// (1..size). The lectic order is the order of these words as unsigned
// numbers: the listing begins with the empty set (no constraint applies to
// it, so it is always closed) and ends with the whole set. The successor of
// a closed set C is the closure of {j} and the elements of C above j, for
// the least j not in C whose closure adds no element above j (the "next
// closure" method). The closures of the prefixes are kept on a stack, so
// each closure grows a closed set by what one element forces, and each set
// listed costs at most |A| such closures: the cost grows with the number N
// of closed sets, not with 2^|A|. What a failed closure found is kept, so
// that the sets listed after it skip the closures it shows to fail too.
//
// The closure uses its own tables, made from the raw constraint list: for
// each element x, the elements y with which x has a constraint x*y or y*x,
// and for each such pair the results of both. A listing keeps them in fixed
// arrays (about 66 KiB: keep listings in static storage or on the heap);
// nothing is allocated. One listing runs one count at a time.
#ifndef TALLYRA_COUNTING_CLOSED_SET_LISTING_H_
#define TALLYRA_COUNTING_CLOSED_SET_LISTING_H_

#include <cstdint>

#include "run/job_model.h"

namespace tallyra {

class ClosedSetListing {
 public:
  static constexpr int kMaxSize = 64;

  ClosedSetListing() = default;
  ClosedSetListing(const ClosedSetListing&) = delete;
  ClosedSetListing& operator=(const ClosedSetListing&) = delete;

  // Starts listing the subsets of {1..size} closed under
  // constraints[0..constraintCount-1]. size is 1..64 and every position in
  // the constraints is 1..size.
  void start(int size, const Constraint* constraints, int constraintCount);

  // Writes the next closed set of the listing started last to `set` and
  // returns true; returns false once every closed set has been listed.
  bool next(uint64_t& set);

  // The number of closed subsets (as start() takes them), when it is at most
  // `limit`; otherwise limit + 1, meaning "more than the limit", found after
  // listing limit + 1 sets. `limit` is below 2^64 - 1.
  uint64_t count(int size, const Constraint* constraints, int constraintCount, uint64_t limit);

 private:
  // The closure of closed | {element}, into `out`; false as soon as it
  // holds an element of `forbidden`, and then `out` is the part of the
  // closure found so far, that element included.
  bool extend(uint64_t closed, int element, uint64_t forbidden, uint64_t& out) const;

  // A closed set and the elements j = next..end-1 still to try to add to
  // it: those below the element whose adding made it.
  struct Frame {
    uint64_t set;
    int next;
    int end;
  };

  int size_ = 0;
  uint64_t partners_[kMaxSize] = {};            // y with a constraint x*y or y*x
  uint64_t products_[kMaxSize][kMaxSize] = {};  // results of x*y and y*x
  Frame stack_[kMaxSize + 1] = {};
  // For each frame and each j < end in failedKnown: a part of the closure of
  // j and a closed subset of the frame's set, found by a closure that
  // failed; while it holds an element above j outside the frame's set, so
  // does the closure of j and the frame's set, and j need not be tried. The
  // frames above a frame inherit its parts, since their sets hold its set.
  uint64_t failed_[kMaxSize + 1][kMaxSize] = {};
  uint64_t failedKnown_[kMaxSize + 1] = {};
  int depth_ = 0;  // frames in use
  bool emptySetListed_ = false;
};

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_CLOSED_SET_LISTING_H_
