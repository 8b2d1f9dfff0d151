#include "counting/closed_set_listing.h"

#include <bit>
#include <cassert>

namespace tallyra {
namespace {

// The few set operations the listing needs, word by word.

template <int Words>
ListedSet<Words> single(int element) {
  ListedSet<Words> s;
  s.word[element / 64] = uint64_t{1} << (element % 64);
  return s;
}

template <int Words>
void insert(ListedSet<Words>& s, int element) {
  s.word[element / 64] |= uint64_t{1} << (element % 64);
}

template <int Words>
void insertAll(ListedSet<Words>& s, const ListedSet<Words>& t) {
  for (int i = 0; i < Words; ++i) s.word[i] |= t.word[i];
}

// a without b.
template <int Words>
ListedSet<Words> minus(const ListedSet<Words>& a, const ListedSet<Words>& b) {
  ListedSet<Words> r;
  for (int i = 0; i < Words; ++i) r.word[i] = a.word[i] & ~b.word[i];
  return r;
}

template <int Words>
ListedSet<Words> common(const ListedSet<Words>& a, const ListedSet<Words>& b) {
  ListedSet<Words> r;
  for (int i = 0; i < Words; ++i) r.word[i] = a.word[i] & b.word[i];
  return r;
}

template <int Words>
bool meets(const ListedSet<Words>& a, const ListedSet<Words>& b) {
  uint64_t common = 0;
  for (int i = 0; i < Words; ++i) common |= a.word[i] & b.word[i];
  return common != 0;
}

template <int Words>
bool isEmpty(const ListedSet<Words>& s) {
  uint64_t any = 0;
  for (int i = 0; i < Words; ++i) any |= s.word[i];
  return any == 0;
}

// The elements 0..n-1 (n = 0..64 * Words, never a shift by 64).
template <int Words>
ListedSet<Words> firstElements(int n) {
  ListedSet<Words> s;
  for (int i = 0; i < Words; ++i) {
    int inWord = n - 64 * i;
    s.word[i] = inWord >= 64 ? ~uint64_t{0} : inWord <= 0 ? 0 : (uint64_t{1} << inWord) - 1;
  }
  return s;
}

// The lowest element of a set that is not empty, removed from it.
template <int Words>
int takeLowest(ListedSet<Words>& s) {
  int i = 0;
  while (s.word[i] == 0) ++i;
  int element = 64 * i + std::countr_zero(s.word[i]);
  s.word[i] &= s.word[i] - 1;
  return element;
}

}  // namespace

template <int Words>
void ClosedSetListingOf<Words>::start(int size, const Constraint* constraints,
                                      int constraintCount) {
  assert(size >= 1 && size <= kMaxSize);
  for (int x = 0; x < size_; ++x) {
    for (Set rest = partners_[x]; !isEmpty(rest);) products_[x][takeLowest(rest)] = Set{};
    partners_[x] = Set{};
  }
  size_ = size;
  for (int i = 0; i < constraintCount; ++i) {
    const Constraint& c = constraints[i];
    assert(c.left >= 1 && c.left <= size && c.right >= 1 && c.right <= size);
    assert(c.result >= 1 && c.result <= size);
    int x = c.left - 1, y = c.right - 1;
    insert(partners_[x], y);
    insert(partners_[y], x);
    insert(products_[x][y], c.result - 1);
    insert(products_[y][x], c.result - 1);
  }
  // The empty set is closed and the least set of all: the root of the
  // listing, from which every element may be tried.
  stack_[0] = Frame{Set{}, 0, size};
  failedKnown_[0] = Set{};
  depth_ = 1;
  emptySetListed_ = false;
}

template <int Words>
bool ClosedSetListingOf<Words>::extend(const Set& closed, int element, const Set& forbidden,
                                       Set& out) const {
  // Every pair within `set` but outside `waiting` has had its results
  // added; `waiting` holds the elements whose pairs with the others are
  // still to be looked at.
  Set set = closed;
  insert(set, element);
  Set waiting = single<Words>(element);
  while (!isEmpty(waiting)) {
    int z = takeLowest(waiting);
    // The pairs of z with itself and with every element already looked at.
    for (Set ys = common(minus(set, waiting), partners_[z]); !isEmpty(ys);) {
      Set added = minus(products_[z][takeLowest(ys)], set);
      insertAll(set, added);
      if (meets(added, forbidden)) {
        out = set;
        return false;
      }
      insertAll(waiting, added);
    }
  }
  out = set;
  return true;
}

template <int Words>
bool ClosedSetListingOf<Words>::next(Set& set) {
  if (!emptySetListed_) {
    emptySetListed_ = true;
    set = Set{};
    return true;
  }
  while (depth_ > 0) {
    Frame& frame = stack_[depth_ - 1];
    Set* failed = failed_[depth_ - 1];
    Set& failedKnown = failedKnown_[depth_ - 1];
    while (frame.next < frame.end) {
      int j = frame.next++;
      if (frame.set.has(j)) continue;
      // The closed sets that agree with frame.set above j and hold j: the
      // least of them is the closure of frame.set and j, when that adds
      // nothing above j. A part of the closure of a subset of frame.set
      // and j that holds an element above j outside frame.set shows that
      // it does not.
      Set forbidden = minus(firstElements<Words>(size_), firstElements<Words>(j + 1));
      forbidden = minus(forbidden, frame.set);
      if (failedKnown.has(j) && meets(failed[j], forbidden)) continue;
      Set grown;
      if (!extend(frame.set, j, forbidden, grown)) {
        failed[j] = grown;
        insert(failedKnown, j);
        continue;
      }
      assert(depth_ <= kMaxSize);
      // The new frame tries the elements below j, and keeps what the
      // failures of this one found for them.
      stack_[depth_] = Frame{grown, 0, j};
      for (int i = 0; i < j; ++i) failed_[depth_][i] = failed[i];
      failedKnown_[depth_] = common(failedKnown, firstElements<Words>(j));
      ++depth_;
      set = grown;
      return true;
    }
    --depth_;
  }
  return false;
}

template <int Words>
uint64_t ClosedSetListingOf<Words>::count(int size, const Constraint* constraints,
                                          int constraintCount, uint64_t limit) {
  assert(limit < ~uint64_t{0});
  start(size, constraints, constraintCount);
  uint64_t listed = 0;
  Set set;
  while (listed <= limit && next(set)) ++listed;
  return listed;
}

template class ClosedSetListingOf<1>;
template class ClosedSetListingOf<2>;
template class ClosedSetListingOf<4>;

uint64_t ClosedSetListing::count(int size, const Constraint* constraints, int constraintCount,
                                 uint64_t limit) {
  assert(size >= 1 && size <= kMaxSize);
  if (size <= ClosedSetListingOf<1>::kMaxSize)
    return one_.count(size, constraints, constraintCount, limit);
  if (size <= ClosedSetListingOf<2>::kMaxSize)
    return two_.count(size, constraints, constraintCount, limit);
  return four_.count(size, constraints, constraintCount, limit);
}

}  // namespace tallyra
