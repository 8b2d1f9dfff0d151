#include "counting/subuniverse_engine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <thread>

#include "counting/reference_count.h"
#include "run/job_model.h"
#include "tests/algebras/algebra_families.h"
#include "tests/algebras/sample_algebras.h"
#include "tests/engine_check.h"

namespace tallyra {
namespace {

SubuniverseEngine engine;

SubsetCount fastCount(const SampleAlgebra& algebra) {
  return engine.count(algebra.size, algebra.constraints, algebra.constraintCount);
}

int64_t referenceCount(const SampleAlgebra& algebra) {
  return countByEnumeration(algebra.size, algebra.constraints, algebra.constraintCount);
}

// A random algebra of 1..16 elements that mixes the awkward cases: unary
// constraints, results equal to an operand, repeated and conflicting
// constraints, sparse tables with free elements and several components,
// dense ones with few closed sets.
void makeAwkwardAlgebra(SampleRandom& random, SampleAlgebra& out) {
  int n = 1 + random.below(16);
  const int limits[] = {3, n, 2 * n, 4 * n, 300};
  int count = random.below(limits[random.below(5)] + 1);
  // Constraints stay inside blocks of `width` elements, so that some
  // elements are never mentioned and the rest fall apart into pieces.
  int width = 1 + random.below(n);
  out.reset(n);
  for (int i = 0; i < count; ++i) {
    int base = random.below(n - width + 1);
    int a = base + random.below(width), b = base + random.below(width);
    int c = base + random.below(width);
    const Constraint* earlier =
        out.constraintCount > 0 ? &out.constraints[random.below(out.constraintCount)] : nullptr;
    switch (random.below(8)) {
      case 0:  // unary
        b = a;
        break;
      case 1:  // result equal to an operand
        c = random.below(2) == 0 ? a : b;
        break;
      case 2:  // repeated
        if (earlier) a = earlier->left - 1, b = earlier->right - 1, c = earlier->result - 1;
        break;
      case 3:  // same operands, another result
        if (earlier) a = earlier->left - 1, b = earlier->right - 1;
        break;
      default:
        break;
    }
    out.add(a, b, c);
  }
}

TEST(CountClosedSubsets, AgreesWithEnumerationOnRandomAlgebras) {
  SampleRandom random(20240601);
  SampleAlgebra algebra;
  int large = 0;
  for (int round = 0; round < 3000; ++round) {
    makeAwkwardAlgebra(random, algebra);
    int64_t expected = referenceCount(algebra);
    char label[32];
    std::snprintf(label, sizeof label, "round%d", round);
    ASSERT_TRUE(everySettingCounts(algebra, expected, label));
    if (expected >= 1000) ++large;
  }
  EXPECT_GT(large, 300);  // the mix reaches deep searches, not just tiny ones
}

TEST(CountClosedSubsets, AgreesWithEnumerationOnLargerRandomAlgebras) {
  // 21 elements and 30 to 70 constraints: millions of subsets, thousands
  // to hundreds of thousands of closed ones, deep searches.
  SampleAlgebra algebra;
  for (int count : {30, 45, 55, 70}) {
    makeRandomPartialAlgebra(21, count, 7000 + count, algebra);
    char label[32];
    std::snprintf(label, sizeof label, "random21-%d", count);
    EXPECT_TRUE(everySettingCounts(algebra, referenceCount(algebra), label));
  }
}

TEST(CountClosedSubsets, AgreesWithEnumerationOnTheBenchmarkFamilies) {
  // Jobs of up to 20 elements drawn from every family of the benchmark
  // (semigroup products, L_k x N2, lattices, semilattices), each in its
  // own element order and in a random one. The seed makes a failure
  // reproducible: the message names the job and the order.
  SampleRandom random(20250611);
  SampleAlgebra algebra;
  int checked = 0;
  for (const AlgebraFamily& family : algebraFamilies()) {
    if (family.fewestElements > 20) continue;
    int picked = 0;
    for (int tries = 0; tries < 400 && picked < 6; ++tries) {
      char name[kJobNameSize];
      family.make(random.below(family.jobCount), name, algebra);
      // Mostly small jobs, a few of 17 to 20 elements.
      if (algebra.size > (picked == 0 ? 20 : 16)) continue;
      ++picked;
      for (int order = 0; order < 2; ++order) {
        uint64_t orderSeed = random.next();
        if (order == 1) {
          SampleRandom shuffle(orderSeed);
          shuffleElements(shuffle, algebra);
        }
        char label[kJobNameSize + 64];
        std::snprintf(label, sizeof label, "%s-%s-order%d-seed%llu", family.name, name, order,
                      static_cast<unsigned long long>(orderSeed));
        ASSERT_TRUE(everySettingCounts(algebra, referenceCount(algebra), label));
        ++checked;
      }
    }
  }
  // Six jobs from each family of up to 30 elements but the fixed list, which
  // has four that small; the families of up to 64 elements add what small
  // jobs they have (engine_differential_test.cc checks their large ones).
  EXPECT_GE(checked, 2 * (4 + 6 * 7));
}

TEST(CountClosedSubsets, BandsTimesNullSemigroupInBothOrders) {
  // L_k x N2 has 3^k subuniverses whichever factor comes first.
  SampleAlgebra algebra;
  const AlgebraFamily* bands = findFamily("LkxN2");
  ASSERT_NE(bands, nullptr);
  int64_t expected = 3;
  for (int k = 1; k <= 15; ++k, expected *= 3) {
    for (int index : {2 * (k - 1), 2 * (k - 1) + 1}) {
      char name[kJobNameSize];
      bands->make(index, name, algebra);
      ASSERT_EQ(fastCount(algebra), expected) << name;
      if (k <= 8) {
        EXPECT_EQ(referenceCount(algebra), expected) << name;
      }
    }
  }
}

TEST(CountClosedSubsets, Lattices) {
  SampleAlgebra algebra;
  makeDiamondLattice(algebra);
  EXPECT_EQ(fastCount(algebra), 20);
  makePentagonLattice(algebra);
  EXPECT_EQ(fastCount(algebra), 23);
  const int64_t boolean[] = {13, 74, 732};
  for (int atoms = 2; atoms <= 4; ++atoms) {
    makeBooleanLattice(atoms, algebra);
    EXPECT_EQ(fastCount(algebra), boolean[atoms - 2]) << atoms << " atoms";
    EXPECT_EQ(referenceCount(algebra), boolean[atoms - 2]) << atoms << " atoms";
  }
  makeChainLattice(30, algebra);
  EXPECT_EQ(algebra.constraintCount, 1800);
  EXPECT_EQ(fastCount(algebra), int64_t{1} << 30);
}

TEST(CountClosedSubsets, GroupsCountTheirSubgroupsAndTheEmptySet) {
  SampleAlgebra algebra;
  const int twoElementGroup[2][kMaxSampleElements] = {{1, 0}};
  makePermutationGroup(2, twoElementGroup, 1, algebra);
  EXPECT_EQ(fastCount(algebra), 3);
  makeSymmetricGroup4(algebra);
  EXPECT_EQ(algebra.size, 24);
  EXPECT_EQ(fastCount(algebra), 31);
  makeAlternatingGroup4(algebra);
  EXPECT_EQ(algebra.size, 12);
  EXPECT_EQ(fastCount(algebra), 11);
  makeDihedralGroup8(algebra);
  EXPECT_EQ(fastCount(algebra), 11);
  makeQuaternionGroup(algebra);
  EXPECT_EQ(algebra.size, 8);
  EXPECT_EQ(fastCount(algebra), 7);
  EXPECT_EQ(referenceCount(algebra), 7);
  makeCyclicGroup(30, algebra);
  EXPECT_EQ(fastCount(algebra), 9);
}

TEST(CountClosedSubsets, FullTransformationSemigroupOnThreePoints) {
  SampleAlgebra algebra;
  makeFullTransformationSemigroup3(algebra);
  EXPECT_EQ(algebra.constraintCount, 729);
  EXPECT_EQ(fastCount(algebra), 1299);
}

TEST(CountClosedSubsets, DisjointTriplesMultiply) {
  SampleAlgebra algebra;
  int64_t expected = int64_t{1} << 30;
  for (int k = 0; k <= 10; ++k) {
    makeDisjointTriples(30, k, algebra);
    EXPECT_EQ(fastCount(algebra), expected) << k << " triples";
    expected = expected / 8 * 7;
  }
}

TEST(CountClosedSubsets, UnaryChainsAndIdempotents) {
  SampleAlgebra algebra;
  makeSuccessorChain(30, algebra);
  EXPECT_EQ(fastCount(algebra), 31);  // the final segments
  makeIdempotents(30, algebra);
  EXPECT_EQ(fastCount(algebra), int64_t{1} << 30);
}

TEST(CountClosedSubsets, EnginesCountSideBySide) {
  // Each engine keeps its whole state to itself: two threads that count
  // different algebras at once each get their own algebra's count.
  auto first = std::make_unique<SampleAlgebra>();
  auto second = std::make_unique<SampleAlgebra>();
  makeSymmetricGroup4(*first);
  makeFullTransformationSemigroup3(*second);
  auto countOften = [](const SampleAlgebra& algebra, SubsetCount* last) {
    auto own = std::make_unique<SubuniverseEngine>();
    for (int i = 0; i < 200; ++i) {
      *last = own->count(algebra.size, algebra.constraints, algebra.constraintCount);
      if (*last != (algebra.size == 24 ? 31 : 1299)) return;
    }
  };
  SubsetCount firstCount = 0, secondCount = 0;
  std::thread a(countOften, std::cref(*first), &firstCount);
  std::thread b(countOften, std::cref(*second), &secondCount);
  a.join();
  b.join();
  EXPECT_EQ(firstCount, 31);
  EXPECT_EQ(secondCount, 1299);
}

TEST(CountClosedSubsets, FullConstraintTable) {
  SampleAlgebra algebra;
  makeRandomPartialAlgebra(16, kMaxConstraints, 99, algebra);
  EXPECT_EQ(fastCount(algebra), referenceCount(algebra));
}

}  // namespace
}  // namespace tallyra
