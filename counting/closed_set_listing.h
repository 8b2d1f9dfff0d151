// A second reference count, written apart from the engine, for jobs of 1 to
// 237 elements: the closed sets listed one by one in lectic order.
//
// A set is a row of 64-bit words whose bit p-1 (counted from bit 0 of the
// first word) stands for the element at position p (1..size). The lectic
// order is the order of these rows as unsigned numbers, the last word the
// most significant: the listing begins with the empty set (no constraint
// applies to it, so it is always closed) and ends with the whole set. The
// successor of a closed set C is the closure of {j} and the elements of C
// above j, for the least j not in C whose closure adds no element above j
// (the "next closure" method). The closures of the prefixes are kept on a
// stack, so each closure grows a closed set by what one element forces, and
// each set listed costs at most |A| such closures: the cost grows with the
// number N of closed sets, not with 2^|A|. What a failed closure found is
// kept, so that the sets listed after it skip the closures it shows to fail
// too.
//
// ClosedSetListingOf<Words> lists the jobs of up to 64 * Words elements
// (237 at most) in sets of Words words; ClosedSetListing counts a job of any
// size with the narrowest of them that holds it. The closure uses its own
// tables, made from the raw constraint list: for each element x, the
// elements y with which x has a constraint x*y or y*x, and for each such
// pair the results of both. A listing keeps them in fixed arrays (about
// 66 KiB for one word, 0.5 MiB for two, 3.6 MiB for four: keep listings in
// static storage or on the heap); nothing is allocated. One listing runs one
// count at a time.
#ifndef TALLYRA_COUNTING_CLOSED_SET_LISTING_H_
#define TALLYRA_COUNTING_CLOSED_SET_LISTING_H_

#include <cstdint>

#include "run/job_model.h"

namespace tallyra {

// A set of the listing: bit i % 64 of word[i / 64] is the element at
// position i + 1.
template <int Words>
struct ListedSet {
  uint64_t word[Words] = {};

  // Whether the element at position i + 1 is in the set (i = 0..64 * Words - 1).
  bool has(int i) const { return (word[i / 64] >> (i % 64) & 1) != 0; }
  friend bool operator==(const ListedSet&, const ListedSet&) = default;
};

template <int Words>
class ClosedSetListingOf {
 public:
  static constexpr int kMaxSize = 64 * Words < kMaxElements ? 64 * Words : kMaxElements;
  using Set = ListedSet<Words>;

  ClosedSetListingOf() = default;
  ClosedSetListingOf(const ClosedSetListingOf&) = delete;
  ClosedSetListingOf& operator=(const ClosedSetListingOf&) = delete;

  // Starts listing the subsets of {1..size} closed under
  // constraints[0..constraintCount-1]. size is 1..kMaxSize and every
  // position in the constraints is 1..size.
  void start(int size, const Constraint* constraints, int constraintCount);

  // Writes the next closed set of the listing started last to `set` and
  // returns true; returns false once every closed set has been listed.
  bool next(Set& set);

  // The number of closed subsets (as start() takes them), when it is at most
  // `limit`; otherwise limit + 1, meaning "more than the limit", found after
  // listing limit + 1 sets. `limit` is below 2^64 - 1.
  uint64_t count(int size, const Constraint* constraints, int constraintCount, uint64_t limit);

 private:
  // The closure of closed | {element}, into `out`; false as soon as it
  // holds an element of `forbidden`, and then `out` is the part of the
  // closure found so far, that element included.
  bool extend(const Set& closed, int element, const Set& forbidden, Set& out) const;

  // A closed set and the elements j = next..end-1 still to try to add to
  // it: those below the element whose adding made it.
  struct Frame {
    Set set;
    int next;
    int end;
  };

  int size_ = 0;
  Set partners_[kMaxSize] = {};            // y with a constraint x*y or y*x
  Set products_[kMaxSize][kMaxSize] = {};  // results of x*y and y*x
  Frame stack_[kMaxSize + 1] = {};
  // For each frame and each j < end in failedKnown: a part of the closure of
  // j and a closed subset of the frame's set, found by a closure that
  // failed; while it holds an element above j outside the frame's set, so
  // does the closure of j and the frame's set, and j need not be tried. The
  // frames above a frame inherit its parts, since their sets hold its set.
  Set failed_[kMaxSize + 1][kMaxSize] = {};
  Set failedKnown_[kMaxSize + 1] = {};
  int depth_ = 0;  // frames in use
  bool emptySetListed_ = false;
};

extern template class ClosedSetListingOf<1>;
extern template class ClosedSetListingOf<2>;
extern template class ClosedSetListingOf<4>;

// The count of a job of any size, 1..kMaxElements, by the listing of one,
// two or four words.
class ClosedSetListing {
 public:
  static constexpr int kMaxSize = kMaxElements;

  ClosedSetListing() = default;
  ClosedSetListing(const ClosedSetListing&) = delete;
  ClosedSetListing& operator=(const ClosedSetListing&) = delete;

  // As ClosedSetListingOf::count(), for size 1..kMaxSize.
  uint64_t count(int size, const Constraint* constraints, int constraintCount, uint64_t limit);

  // The listings themselves, for a job that fits them.
  ClosedSetListingOf<1>& oneWord() { return one_; }
  ClosedSetListingOf<2>& twoWords() { return two_; }
  ClosedSetListingOf<4>& fourWords() { return four_; }

 private:
  ClosedSetListingOf<1> one_;
  ClosedSetListingOf<2> two_;
  ClosedSetListingOf<4> four_;
};

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_CLOSED_SET_LISTING_H_
