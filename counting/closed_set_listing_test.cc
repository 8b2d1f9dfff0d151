#include "counting/closed_set_listing.h"

#include <gtest/gtest.h>

#include <utility>

#include "counting/reference_count.h"
#include "tests/algebras/algebra_families.h"
#include "tests/algebras/big_algebra_families.h"
#include "tests/algebras/count_text.h"
#include "tests/algebras/sample_algebras.h"

namespace tallyra {
namespace {

ClosedSetListing listing;

uint64_t listedCount(const SampleAlgebra& algebra, uint64_t limit) {
  return listing.count(algebra.size, algebra.constraints, algebra.constraintCount, limit);
}

int32_t enumeratedCount(const SampleAlgebra& algebra) {
  return countByEnumeration(algebra.size, algebra.constraints, algebra.constraintCount);
}

// The definition, on a set as the listing writes it (bit p-1 for position p).
bool closedSet(const SampleAlgebra& algebra, uint64_t set) {
  auto in = [set](uint8_t position) { return (set >> (position - 1) & 1) != 0; };
  for (int i = 0; i < algebra.constraintCount; ++i) {
    const Constraint& c = algebra.constraints[i];
    if (in(c.left) && in(c.right) && !in(c.result)) return false;
  }
  return true;
}

// A random algebra of 1..`largest` elements mixing unary constraints,
// results equal to an operand, repeated constraints, conflicting results,
// elements no constraint names and dense tables.
void makeMixedAlgebra(SampleRandom& random, int largest, SampleAlgebra& out) {
  int n = 1 + random.below(largest);
  const int limits[] = {3, n, 2 * n, 4 * n, 12 * n};
  int count = random.below(limits[random.below(5)] + 1);
  int width = 1 + random.below(n);  // constraints within blocks of this many
  makeAwkwardAlgebra(random, n, n, width, count, out);
}

// Every subset of an algebra of up to 12 elements tried in increasing order
// as a number: the closed ones must come out of the listing one by one, in
// that order, and no more, whatever the width of the listing's sets.
template <int Words>
void checkListsExactlyTheClosedSets(ClosedSetListingOf<Words>& wide, uint64_t seed) {
  SampleRandom random(seed);
  SampleAlgebra algebra;
  int64_t sets = 0;
  for (int round = 0; round < 2000; ++round) {
    makeMixedAlgebra(random, 12, algebra);
    wide.start(algebra.size, algebra.constraints, algebra.constraintCount);
    ListedSet<Words> listed;
    for (uint64_t subset = 0; subset >> algebra.size == 0; ++subset) {
      if (!closedSet(algebra, subset)) continue;
      ListedSet<Words> expected;
      expected.word[0] = subset;
      bool more = wide.next(listed);
      ASSERT_TRUE(more && listed == expected)
          << Words << " words, round " << round << ": expected set " << subset << ", listed "
          << listed.word[0];
      ++sets;
    }
    ASSERT_FALSE(wide.next(listed)) << Words << " words, round " << round << " lists beyond";
    EXPECT_FALSE(wide.next(listed));
  }
  EXPECT_GT(sets, 200000);
}

TEST(ClosedSetListing, ListsExactlyTheClosedSetsInLecticOrder) {
  checkListsExactlyTheClosedSets(listing.oneWord(), 20250701);
  checkListsExactlyTheClosedSets(listing.twoWords(), 20250701);
  checkListsExactlyTheClosedSets(listing.fourWords(), 20250701);
}

TEST(ClosedSetListing, AgreesWithEnumerationUpTo22Elements) {
  SampleRandom random(20250702);
  SampleAlgebra algebra;
  for (int round = 0; round < 300; ++round) {
    makeMixedAlgebra(random, 16, algebra);
    ASSERT_EQ(listedCount(algebra, 1 << 20), static_cast<uint64_t>(enumeratedCount(algebra)))
        << "round " << round;
  }
  // Sparse and dense random algebras of 20 to 22 elements: from hundreds
  // to hundreds of thousands of closed sets.
  for (int n : {20, 21, 22}) {
    for (int count : {n, 3 * n, 12 * n}) {
      makeRandomPartialAlgebra(n, count, 500 * n + count, algebra);
      EXPECT_EQ(listedCount(algebra, 1 << 22), static_cast<uint64_t>(enumeratedCount(algebra)))
          << n << " elements, " << count << " constraints";
    }
  }
}

TEST(ClosedSetListing, AgreesWithEnumerationOnTheFamilies) {
  // Jobs of up to 16 elements from every family, in random element orders.
  SampleRandom random(20250703);
  SampleAlgebra algebra;
  int checked = 0;
  for (const AlgebraFamily& family : algebraFamilies()) {
    if (family.fewestElements > 16) continue;
    for (int tries = 0, picked = 0; tries < 300 && picked < 4; ++tries) {
      char name[kJobNameSize];
      family.make(random.below(family.jobCount), name, algebra);
      if (algebra.size > 16) continue;
      ++picked;
      shuffleElements(random, algebra);
      ASSERT_EQ(listedCount(algebra, 1 << 16), static_cast<uint64_t>(enumeratedCount(algebra)))
          << family.name << " job " << name;
      ++checked;
    }
  }
  EXPECT_GE(checked, 4 * 7);
}

TEST(ClosedSetListing, KnownCountsOfTheFamiliesUpTo64Elements) {
  // Every job with a count known from a source of its own: the groups
  // (subgroups and the empty set), the Boolean lattices, the chains, the
  // bands. Counts beyond the limit must be answered as limit + 1.
  constexpr uint64_t kLimit = 100000;
  SampleAlgebra algebra;
  int listedInFull = 0, large = 0;
  for (const AlgebraFamily& family : algebraFamilies()) {
    if (family.known == nullptr || family.fewestElements > 64) continue;
    for (int index = 0; index < family.jobCount; ++index) {
      SubsetCount known = family.known(index);
      if (known == 0) continue;
      char name[kJobNameSize];
      family.make(index, name, algebra);
      bool inFull = known <= kLimit;
      uint64_t limit = inFull ? kLimit : 1000;
      uint64_t expected = inFull ? known.word(0) : limit + 1;
      ASSERT_EQ(listedCount(algebra, limit), expected)
          << family.name << " job " << name << ", known " << countText(known).digits;
      if (inFull) ++listedInFull;
      if (algebra.size > 30) ++large;
    }
  }
  EXPECT_GE(listedInFull, 161 + 5);  // the groups and the Boolean lattices
  EXPECT_GE(large, 100);
}

TEST(ClosedSetListing, StopsRightAfterTheLimit) {
  SampleAlgebra algebra;
  makeBooleanLattice(4, algebra);  // 732 sublattices, the empty one included
  EXPECT_EQ(listedCount(algebra, 732), 732u);
  EXPECT_EQ(listedCount(algebra, 731), 732u);
  EXPECT_EQ(listedCount(algebra, 0), 1u);
  makeIdempotents(64, algebra);  // every one of the 2^64 subsets is closed
  EXPECT_EQ(listedCount(algebra, 5000), 5001u);
}

TEST(ClosedSetListing, UsesAll64Elements) {
  // x*x = x+1 on 64 elements: the closed sets are the empty set and the 64
  // final segments, the whole set among them.
  SampleAlgebra algebra;
  makeSuccessorChain(64, algebra);
  ClosedSetListingOf<1>& narrow = listing.oneWord();
  narrow.start(64, algebra.constraints, algebra.constraintCount);
  ListedSet<1> set;
  uint64_t previous = 0;
  int listed = 0;
  while (narrow.next(set)) {
    ASSERT_TRUE(listed == 0 || set.word[0] > previous) << listed;
    EXPECT_TRUE(closedSet(algebra, set.word[0])) << set.word[0];
    previous = set.word[0];
    ++listed;
  }
  EXPECT_EQ(listed, 65);
  EXPECT_EQ(previous, ~uint64_t{0});
  // And x*x = x+1 modulo 64: the empty set and the whole set.
  algebra.add(63, 63, 0);
  EXPECT_EQ(listedCount(algebra, 100), 2u);
}

// x*x = x+1 on n elements, listed in sets of Words words: the empty set and
// the final segments, one after the other in lectic order; then x*x = x+1
// modulo n: the empty and the whole set.
template <int Words>
void checkSuccessorChain(ClosedSetListingOf<Words>& wide, int n) {
  SampleAlgebra algebra;
  makeSuccessorChain(n, algebra);
  wide.start(n, algebra.constraints, algebra.constraintCount);
  ListedSet<Words> set;
  int listed = 0;
  while (wide.next(set)) {
    // {}, {n-1}, {n-2, n-1}, ..., the whole set.
    for (int x = 0; x < n; ++x) ASSERT_EQ(set.has(x), x >= n - listed) << n << ": " << listed;
    ++listed;
  }
  EXPECT_EQ(listed, n + 1);
  algebra.add(n - 1, n - 1, 0);
  EXPECT_EQ(wide.count(n, algebra.constraints, algebra.constraintCount, 100), 2u);
}

TEST(ClosedSetListing, UsesAll237Elements) {
  checkSuccessorChain(listing.twoWords(), 65);
  checkSuccessorChain(listing.twoWords(), 128);
  checkSuccessorChain(listing.fourWords(), 129);
  checkSuccessorChain(listing.fourWords(), 237);
}

TEST(ClosedSetListing, EveryWidthCountsAlike) {
  // Random algebras of up to 64 elements counted with sets of one, two and
  // four words.
  SampleRandom random(20250704);
  SampleAlgebra algebra;
  for (int round = 0; round < 60; ++round) {
    int n = 1 + random.below(64);
    makeRandomPartialAlgebra(n, n * (1 + random.below(6)) / 2, 9000 + round, algebra);
    constexpr uint64_t kLimit = 20000;
    uint64_t one = listing.oneWord().count(n, algebra.constraints, algebra.constraintCount, kLimit);
    EXPECT_EQ(listing.twoWords().count(n, algebra.constraints, algebra.constraintCount, kLimit),
              one)
        << "round " << round;
    EXPECT_EQ(listing.fourWords().count(n, algebra.constraints, algebra.constraintCount, kLimit),
              one)
        << "round " << round;
  }
}

TEST(ClosedSetListing, DisjointPartsAcrossTheWords) {
  // Algebras of 65 to 237 elements made of small random parts on elements
  // scattered over the whole set, and one cycle x*x = x+1 through all the
  // other elements: a closed set is a closed set of each part and the cycle
  // (all or none of it), so the count is twice the product of the parts'
  // counts, each from the plain enumeration.
  SampleRandom random(20250705);
  SampleAlgebra algebra, part;
  int sizes[] = {65, 100, 127, 128, 129, 180, 236, 237};
  for (int n : sizes) {
    int newIndex[kMaxSampleElements];
    for (int x = 0; x < n; ++x) newIndex[x] = x;
    for (int x = n - 1; x > 0; --x) std::swap(newIndex[x], newIndex[random.below(x + 1)]);
    algebra.reset(n);
    uint64_t expected = 2;
    int used = 0;
    for (int parts = 0; parts < 4; ++parts) {
      makeMixedAlgebra(random, 8, part);
      expected *= static_cast<uint64_t>(enumeratedCount(part));
      for (int i = 0; i < part.constraintCount; ++i) {
        const Constraint& c = part.constraints[i];
        algebra.add(newIndex[used + c.left - 1], newIndex[used + c.right - 1],
                    newIndex[used + c.result - 1]);
      }
      used += part.size;
    }
    for (int x = used; x < n; ++x)
      algebra.add(newIndex[x], newIndex[x], newIndex[x + 1 < n ? x + 1 : used]);
    EXPECT_EQ(listedCount(algebra, 1 << 22), expected) << n << " elements";
  }
}

TEST(ClosedSetListing, FormulasOfTheFamiliesAbove64Elements) {
  // The formulas and recursions that the families of 65 to 237 elements
  // take their counts from, against the listing on small cases.
  SampleAlgebra algebra;
  for (int atoms = 1; atoms <= 6; ++atoms) {
    makeBooleanLattice(atoms, algebra);
    EXPECT_EQ(booleanSublattices(atoms), listedCount(algebra, 1 << 20)) << atoms << " atoms";
  }
  for (int points = 0; points <= 5; ++points) {
    const int twos[] = {2, 2, 2, 2, 2};
    makeGridMeetSemilattice(twos, points, algebra);
    EXPECT_EQ(cubeMeetClosedSets(points), listedCount(algebra, 1 << 22)) << points << " points";
  }
  for (int n = 1; n <= 12; ++n) {
    const int dims[] = {2, n};
    makeGridLattice(dims, 2, algebra);
    EXPECT_EQ(twoRowGridSublattices(n), listedCount(algebra, 1 << 22)) << "2 x " << n;
    makeGridMeetSemilattice(dims, 2, algebra);
    EXPECT_EQ(twoRowGridMeetClosedSets(n), listedCount(algebra, 1 << 22)) << "2 x " << n;
  }
  SampleRandom random(20250706);
  for (int round = 0; round < 300; ++round) {
    int n = 1 + random.below(16), parent[16] = {};
    for (int x = 1; x < n; ++x) parent[x] = random.below(x);
    makeTreeSemilattice(n, parent, algebra);
    EXPECT_EQ(treeMeetClosedSets(n, parent), static_cast<uint64_t>(enumeratedCount(algebra)))
        << "round " << round;
  }
}

TEST(ClosedSetListing, KnownCountsOfTheFamiliesAbove64Elements) {
  // Every job of 65 to 237 elements with a known count: in full up to
  // kLimit, otherwise as kFewer + 1 ("more").
  constexpr uint64_t kLimit = 40000, kFewer = 1000;
  SampleAlgebra algebra;
  int listedInFull = 0, jobs = 0;
  for (const AlgebraFamily& family : algebraFamilies()) {
    if (family.fewestElements <= 64 || family.onlyByName) continue;
    for (int index = 0; index < family.jobCount; ++index) {
      char name[kJobNameSize];
      family.make(index, name, algebra);
      ASSERT_TRUE(algebra.size >= family.fewestElements && algebra.size <= kMaxElements)
          << family.name << " job " << name;
      SubsetCount known = family.known(index);
      if (known == 0) continue;
      bool inFull = known <= kLimit;
      uint64_t limit = inFull ? kLimit : kFewer;
      uint64_t expected = inFull ? known.word(0) : limit + 1;
      ASSERT_EQ(listedCount(algebra, limit), expected)
          << family.name << " job " << name << ", known " << countText(known).digits;
      listedInFull += inFull ? 1 : 0;
      ++jobs;
    }
  }
  // The 1652 groups of GAP's library, the 312 groups by formula and two
  // sums in full; chains, the Boolean lattice, grids 2 x n, trees, bands and
  // the other sums as "more".
  EXPECT_GE(listedInFull, 1652 + 312 + 1);
  EXPECT_GE(jobs, 2066);
}

}  // namespace
}  // namespace tallyra
