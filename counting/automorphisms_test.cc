#include "counting/automorphisms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>
#include <vector>

#include "tests/algebras/sample_algebras.h"

namespace tallyra {
namespace {

// The rules of an algebra the plain way: a flag per triple (x, y, z).
class RuleTable {
 public:
  explicit RuleTable(const SampleAlgebra& algebra)
      : size_(algebra.size), has_(static_cast<size_t>(size_) * size_ * size_) {
    for (int i = 0; i < algebra.constraintCount; ++i) {
      const Constraint& c = algebra.constraints[i];
      const int x = c.left - 1, y = c.right - 1, z = c.result - 1;
      if (z == x || z == y || at(x, y, z)) continue;
      at(x, y, z) = at(y, x, z) = 1;
      rules_.push_back({x, y, z});
    }
  }
  // Whether the permutation maps every rule onto a rule.
  template <typename Image>
  bool preservedBy(const Image& image) const {
    return std::all_of(rules_.begin(), rules_.end(), [&](const std::vector<int>& r) {
      return at(image[r[0]], image[r[1]], image[r[2]]) != 0;
    });
  }

 private:
  uint8_t& at(int x, int y, int z) {
    return has_[(static_cast<size_t>(x) * size_ + y) * size_ + z];
  }
  uint8_t at(int x, int y, int z) const {
    return has_[(static_cast<size_t>(x) * size_ + y) * size_ + z];
  }
  int size_;
  std::vector<uint8_t> has_;
  std::vector<std::vector<int>> rules_;
};

struct Searcher {
  std::unique_ptr<AutomorphismSearch> search = std::make_unique<AutomorphismSearch>();
  std::unique_ptr<AutomorphismGroup> group = std::make_unique<AutomorphismGroup>();
  const AutomorphismGroup& find(const SampleAlgebra& algebra,
                                int64_t budget = kUnlimitedSymmetryWork) {
    search->find(algebra.size, algebra.constraints, algebra.constraintCount, budget, *group);
    return *group;
  }
};

// What every answer must satisfy, complete or not: each generator is a
// permutation that maps the rules onto rules and fixes the base points
// before its level; the orbits are those of the generators.
void expectSoundGroup(const SampleAlgebra& algebra, const AutomorphismGroup& group) {
  const RuleTable rules(algebra);
  const int n = algebra.size;
  ASSERT_EQ(group.elementCount, n);
  std::vector<int> orbit(n);
  std::iota(orbit.begin(), orbit.end(), 0);
  for (int g = 0; g < group.generatorCount; ++g) {
    const uint8_t* image = group.generators[g];
    std::vector<bool> hit(n);
    for (int x = 0; x < n; ++x) hit[image[x]] = true;
    EXPECT_EQ(std::count(hit.begin(), hit.end(), true), n) << "generator " << g;
    EXPECT_TRUE(rules.preservedBy(image)) << "generator " << g;
    for (int level = 0; level < group.generatorLevel[g]; ++level) {
      EXPECT_EQ(image[group.base[level]], group.base[level]) << "generator " << g;
    }
  }
  // The orbits: lower each element's least known fellow until no generator
  // lowers one.
  for (bool lowered = true; lowered;) {
    lowered = false;
    for (int g = 0; g < group.generatorCount; ++g) {
      for (int x = 0; x < n; ++x) {
        const int y = group.generators[g][x];
        const int low = std::min(orbit[x], orbit[y]);
        lowered = lowered || orbit[x] != low || orbit[y] != low;
        orbit[x] = orbit[y] = low;
      }
    }
  }
  for (int x = 0; x < n; ++x) EXPECT_EQ(group.orbit[x], orbit[x]) << "element " << x;
  double order = 1;
  for (int level = 0; level < group.baseLength; ++level) order *= group.orbitLength[level];
  EXPECT_DOUBLE_EQ(group.order, order);
}

// The rule-preserving permutations of a small algebra, all of them tried.
struct BruteGroup {
  int order = 0;
  std::vector<int> orbit;  // least element of each orbit
};
BruteGroup bruteForceGroup(const SampleAlgebra& algebra) {
  const RuleTable rules(algebra);
  BruteGroup result;
  std::vector<int> image(algebra.size);
  std::iota(image.begin(), image.end(), 0);
  result.orbit = image;
  do {
    if (!rules.preservedBy(image)) continue;
    ++result.order;
    for (int x = 0; x < algebra.size; ++x) {
      result.orbit[x] = std::min(result.orbit[x], image[x]);
      result.orbit[image[x]] = std::min(result.orbit[image[x]], x);
    }
  } while (std::next_permutation(image.begin(), image.end()));
  // The group's orbits: the least element reached (twice suffices for
  // chains of least elements of at most 8 steps; repeat to be sure).
  for (int round = 0; round < algebra.size; ++round) {
    for (int x = 0; x < algebra.size; ++x) result.orbit[x] = result.orbit[result.orbit[x]];
  }
  return result;
}

// A random table that some permutation maps onto itself: random
// constraints (with the awkward kinds among them) with all their images
// under the powers of a random permutation.
void makeSymmetricTable(SampleRandom& random, int n, SampleAlgebra& out) {
  std::vector<int> sigma(n);
  std::iota(sigma.begin(), sigma.end(), 0);
  for (int i = n - 1; i > 0; --i) std::swap(sigma[i], sigma[random.below(i + 1)]);
  SampleAlgebra seeds;
  makeAwkwardAlgebra(random, n, n, 0, random.below(4), seeds);
  out.reset(n);
  for (int i = 0; i < seeds.constraintCount; ++i) {
    int x = seeds.constraints[i].left - 1, y = seeds.constraints[i].right - 1;
    int z = seeds.constraints[i].result - 1;
    for (int power = 0; power < 12; ++power) {
      out.add(x, y, z, 1 + random.below(2));
      x = sigma[x], y = sigma[y], z = sigma[z];
    }
  }
}

TEST(Automorphisms, GroupOrderAndOrbitsMatchEveryPermutationTriedOnSmallTables) {
  Searcher searcher;
  SampleRandom random(20240611);
  SampleAlgebra algebra;
  int nontrivial = 0;
  for (int trial = 0; trial < 600; ++trial) {
    const int n = 1 + trial % 7;
    if (trial % 3 == 0) {
      makeSymmetricTable(random, n, algebra);
    } else {
      // From no constraint to a dense table, with unary facts, results that
      // are operands and entries with two results.
      makeAwkwardAlgebra(random, n, n, 0, random.below(3 * n), algebra);
    }
    shuffleElements(random, algebra);
    const AutomorphismGroup& group = searcher.find(algebra);
    const BruteGroup brute = bruteForceGroup(algebra);
    ASSERT_TRUE(group.complete) << "trial " << trial;
    ASSERT_EQ(group.order, brute.order) << "trial " << trial << " of " << n << " elements";
    EXPECT_NEAR(group.log2Order, std::log2(brute.order), 1e-9);
    for (int x = 0; x < n; ++x) ASSERT_EQ(group.orbit[x], brute.orbit[x]) << "trial " << trial;
    expectSoundGroup(algebra, group);
    if (brute.order > 1) ++nontrivial;
  }
  EXPECT_GT(nontrivial, 200);  // the symmetric tables do their part
}

// The subsets of `points` points under intersection (the points-cube's
// meet semilattice).
void makeCubeMeetSemilattice(int points, SampleAlgebra& out) {
  std::vector<int> dims(points, 2);
  makeGridMeetSemilattice(dims.data(), points, out);
}

TEST(Automorphisms, CubeMeetSemilatticesHaveTheSymmetricGroupOfThePoints) {
  Searcher searcher;
  SampleAlgebra algebra;
  SampleRandom random(7);
  makeCubeMeetSemilattice(3, algebra);
  EXPECT_EQ(searcher.find(algebra).order, bruteForceGroup(algebra).order);
  // (One point gives two elements and no rule: both orders are 2.)
  double factorial = 1;
  for (int points = 2; points <= 7; ++points) {
    factorial *= points;
    makeCubeMeetSemilattice(points, algebra);
    shuffleElements(random, algebra);
    const AutomorphismGroup& group = searcher.find(algebra);
    EXPECT_TRUE(group.complete);
    EXPECT_EQ(group.order, factorial) << points << " points";
    expectSoundGroup(algebra, group);
  }
}

TEST(Automorphisms, CyclicGroupsAndTwoCopiesOfOne) {
  Searcher searcher;
  SampleAlgebra algebra;
  for (int n = 1; n <= 8; ++n) {
    makeCyclicGroup(n, algebra);
    const AutomorphismGroup& group = searcher.find(algebra);
    EXPECT_EQ(group.order, bruteForceGroup(algebra).order) << "Z_" << n;
    expectSoundGroup(algebra, group);
  }
  // Two copies of Z_5 side by side, in turn: each copy's group, and the
  // swap of the two.
  makeCyclicGroup(5, algebra);
  const double single = searcher.find(algebra).order;
  SampleAlgebra twice;
  twice.reset(10);
  for (int i = 0; i < algebra.constraintCount; ++i) {
    const Constraint& c = algebra.constraints[i];
    for (int copy = 0; copy < 2; ++copy) {
      twice.add(2 * (c.left - 1) + copy, 2 * (c.right - 1) + copy, 2 * (c.result - 1) + copy);
    }
  }
  const AutomorphismGroup& group = searcher.find(twice);
  EXPECT_EQ(group.order, 2 * single * single);
  expectSoundGroup(twice, group);
}

TEST(Automorphisms, LargestJobsKeepTheirGroupUnderAnyNumbering) {
  Searcher searcher;
  SampleRandom random(237);
  SampleAlgebra algebra;
  // 79 triples x*y=z: each may swap its operands, and the triples may be
  // permuted: 2^79 * 79!.
  makeDisjointTriples(237, 79, algebra);
  shuffleElements(random, algebra);
  const AutomorphismGroup& triples = searcher.find(algebra);
  EXPECT_TRUE(triples.complete);
  EXPECT_NEAR(triples.log2Order, 79 + std::lgamma(80.0) / std::log(2.0), 1e-6);
  expectSoundGroup(algebra, triples);

  // Z_128 and Z_237 in two numberings: the same order and the orbits
  // carried over by the renumbering.
  for (const int n : {128, 237}) {
    makeCyclicGroup(n, algebra);
    const AutomorphismGroup& group = searcher.find(algebra);
    EXPECT_TRUE(group.complete);
    expectSoundGroup(algebra, group);
    const double order = group.order;
    std::vector<int> orbit(group.orbit, group.orbit + n);
    std::vector<int> newIndex(n);
    std::iota(newIndex.begin(), newIndex.end(), 0);
    for (int i = n - 1; i > 0; --i) std::swap(newIndex[i], newIndex[random.below(i + 1)]);
    renumberElements(newIndex.data(), algebra);
    const AutomorphismGroup& renumbered = searcher.find(algebra);
    EXPECT_EQ(renumbered.order, order) << "Z_" << n;
    for (int x = 0; x < n; ++x) {
      for (int y = x + 1; y < n; ++y) {
        ASSERT_EQ(orbit[x] == orbit[y],
                  renumbered.orbit[newIndex[x]] == renumbered.orbit[newIndex[y]]);
      }
    }
  }
}

TEST(Automorphisms, ASpentBudgetLeavesOnlyTrueSymmetries) {
  Searcher searcher;
  SampleAlgebra algebra;
  makeCubeMeetSemilattice(7, algebra);
  const int64_t fullWork = searcher.find(algebra).work;
  for (const int64_t budget : {int64_t{0}, int64_t{1000}, fullWork / 4, fullWork / 2}) {
    const AutomorphismGroup& group = searcher.find(algebra, budget);
    EXPECT_FALSE(group.complete) << "budget " << budget;
    EXPECT_LE(group.order, 5040);
    expectSoundGroup(algebra, group);
  }
  // The search runs on as before after one that stopped.
  EXPECT_EQ(searcher.find(algebra).order, 5040);
}

}  // namespace
}  // namespace tallyra
