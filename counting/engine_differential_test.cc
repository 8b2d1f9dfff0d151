// The engine against the closed-set listing (tests/engine_check.h) on
// random and structured algebras of 20 to 237 elements with at most about
// 10^6 subuniverses each (10^5 above 64 elements), where the plain
// enumeration is too slow.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <unordered_set>
#include <vector>

#include "counting/closed_set_listing.h"
#include "counting/engine_settings.h"
#include "counting/subuniverse_engine.h"
#include "tests/algebras/algebra_families.h"
#include "tests/algebras/big_algebra_families.h"
#include "tests/algebras/sample_algebras.h"
#include "tests/engine_check.h"

namespace tallyra {
namespace {

// The most subuniverses of an algebra made here.
constexpr uint64_t kMostClosedSets = 1'000'000;

void addRandomConstraints(SampleRandom& random, int count, SampleAlgebra& out) {
  for (int i = 0; i < count; ++i)
    out.add(random.below(out.size), random.below(out.size), random.below(out.size));
}

// Between 3n^3/1024 and 5n^3/1024 random constraints (about 100 at 31
// elements, 1000 at 64): enough to leave thousands to hundreds of
// thousands of closed sets.
int denseCount(SampleRandom& random, int n) { return n * n * n * (3 + random.below(3)) / 1024; }

// Random constraints with the awkward cases mixed in: unary constraints,
// results equal to an operand, repeated constraints, several results for
// the same operands, and a few elements that no constraint names.
void makeMixed(SampleRandom& random, int n, SampleAlgebra& out) {
  int unnamed = random.below(4);
  int used = n - unnamed;
  makeAwkwardAlgebra(random, n, used, 0, denseCount(random, used), out);
}

// The shared-results gadget: the edges {x, y} of a cycle on `c` operand
// elements (and a few chords) each force the same results h, x*y = h for
// each edge and each h. The shared results are tied among themselves: a
// unary cycle (all or none of them), a cyclic group table, or random
// constraints.
void makeSharedResults(SampleRandom& random, int n, SampleAlgebra& out) {
  out.reset(n);
  int c = 8 + random.below(9);
  int h = n - c;
  int edges[40][2], edgeCount = 0;
  for (int i = 0; i < c; ++i) edges[edgeCount][0] = i, edges[edgeCount++][1] = (i + 1) % c;
  for (int chords = random.below(4); chords > 0; --chords)
    edges[edgeCount][0] = random.below(c), edges[edgeCount++][1] = random.below(c);
  for (int e = 0; e < edgeCount; ++e)
    for (int r = c; r < n; ++r) out.add(edges[e][0], edges[e][1], r);
  switch (random.below(3)) {
    case 0:
      for (int r = 0; r < h; ++r) out.add(c + r, c + r, c + (r + 1) % h);
      break;
    case 1:
      for (int x = 0; x < h; ++x)
        for (int y = 0; y < h; ++y) out.add(c + x, c + y, c + (x + y) % h);
      break;
    default:
      for (int i = h * h / 2; i > 0; --i)
        out.add(c + random.below(h), c + random.below(h), c + random.below(h));
      break;
  }
}

// Hubs: one to three elements that combine with every element, with a
// result that is the next element or drawn at random, among random
// constraints.
void makeHubs(SampleRandom& random, int n, SampleAlgebra& out) {
  out.reset(n);
  addRandomConstraints(random, denseCount(random, n), out);
  for (int hubs = 1 + random.below(3); hubs > 0; --hubs) {
    int hub = random.below(n);
    bool successor = random.below(2) == 0;
    for (int x = 0; x < n; ++x) {
      if (x == hub) continue;
      int result = successor ? (x + 1) % n : random.below(n);
      if (random.below(2) == 0)
        out.add(hub, x, result);
      else
        out.add(x, hub, result);
    }
  }
}

// Chains of pairs: a_i * b_i = a_(i+1) and b_(i+1), and a_i * a_i = b_i,
// so that a whole pair brings in the next, among random constraints.
void makePairChain(SampleRandom& random, int n, SampleAlgebra& out) {
  out.reset(n);
  int pairs = n / 2;
  for (int i = 0; i < pairs; ++i) {
    int a = 2 * i, b = 2 * i + 1, next = 2 * ((i + 1) % pairs);
    out.add(a, b, next);
    out.add(a, b, next + 1);
    out.add(a, a, b);
  }
  addRandomConstraints(random, denseCount(random, n) * 3 / 4, out);
}

// A whole table: a small semigroup (2 or 3 elements) times a cyclic or a
// dihedral group or a random table.
void makeProduct(SampleRandom& random, int smallest, int largest, SampleAlgebra& out) {
  // The 5 semigroups of order 2 and the 24 of order 3, listed once.
  static OperationTable small[29];
  static const int total = listSemigroups(2, small, 5) + listSemigroups(3, small + 5, 24);
  const OperationTable& s = small[random.below(total)];
  int k = (smallest + s.size - 1) / s.size + random.below((largest - smallest) / s.size + 1);
  if (k * s.size > largest) k = largest / s.size;
  OperationTable t, product;
  switch (random.below(3)) {
    case 0:
      makeCyclicGroupTable(k, t);
      break;
    case 1:
      makeDihedralGroupTable(k / 2, t);
      break;
    default:
      t.size = k;
      for (int x = 0; x < k; ++x)
        for (int y = 0; y < k; ++y) t.product[x][y] = static_cast<uint8_t>(random.below(k));
      break;
  }
  if (random.below(2) == 0)
    makeProductTable(s, t, product);
  else
    makeProductTable(t, s, product);
  makeTableAlgebra(product, out);
}

const char* const kShapes[] = {"dense", "mixed", "shared", "hubs", "pairs", "product"};

// An algebra of smallest..largest elements (at least 20) of a random
// shape, its elements in a random order, with at most `most` closed sets:
// random constraints are added while it has more (or, when its table is
// full, another algebra is made). Returns the number of closed sets.
uint64_t makeAlgebra(SampleRandom& random, int smallest, int largest, uint64_t most,
                     SampleAlgebra& out, char* label, int round) {
  for (;;) {
    int n = smallest + random.below(largest - smallest + 1);
    int shape = random.below(6);
    switch (shape) {
      case 0:
        out.reset(n);
        addRandomConstraints(random, denseCount(random, n), out);
        break;
      case 1:
        makeMixed(random, n, out);
        break;
      case 2:
        makeSharedResults(random, n, out);
        break;
      case 3:
        makeHubs(random, n, out);
        break;
      case 4:
        makePairChain(random, n, out);
        break;
      default:
        makeProduct(random, smallest, largest, out);
        break;
    }
    if (out.size < smallest || out.size > largest) continue;
    shuffleElements(random, out);
    // Listed only up to `most`, which is all that the loop asks.
    static ClosedSetListing listing;
    auto listed = [&out, most] {
      return listing.count(out.size, out.constraints, out.constraintCount, most);
    };
    // Above 64 elements, two constraints an element at a time: fewer
    // listings on the way.
    const int added = out.size > 64 ? 2 * out.size : out.size;
    uint64_t count = listed();
    while (count > most && out.constraintCount + added <= kMaxConstraints) {
      addRandomConstraints(random, added, out);
      count = listed();
    }
    if (count > most) continue;
    std::snprintf(label, kJobNameSize, "%s-%d", kShapes[shape], round);
    return count;
  }
}

// `rounds` algebras of smallest..largest elements with at most `most`
// closed sets, each counted with every setting; at least `deep` of them
// with 10^4 subuniverses or more, so that the searches go deep.
void checkMadeAlgebras(uint64_t seed, int smallest, int largest, int rounds, int deep,
                       uint64_t most = kMostClosedSets) {
  SampleRandom random(seed);
  SampleAlgebra algebra;
  int large = 0;
  for (int round = 0; round < rounds; ++round) {
    char label[kJobNameSize];
    uint64_t listed = makeAlgebra(random, smallest, largest, most, algebra, label, round);
    ASSERT_TRUE(algebra.size >= smallest && algebra.size <= largest) << label;
    ASSERT_LE(listed, most) << label;
    if (listed >= 10000) ++large;
    EXPECT_TRUE(everySettingCounts(algebra, listed, label));
  }
  EXPECT_GE(large, deep);
}

TEST(EngineAgainstListing, AlgebrasOf20To30Elements) {
  checkMadeAlgebras(20250710, 20, 30, 80, 20);
}

TEST(EngineAgainstListing, AlgebrasOf31To64Elements) {
  checkMadeAlgebras(20250711, 31, 64, 100, 25);
}

// Above 64 elements the listing costs more a set: fewer and smaller counts.
TEST(EngineAgainstListing, AlgebrasOf65To128Elements) {
  checkMadeAlgebras(20250713, 65, 128, 30, 6, 100000);
}

TEST(EngineAgainstListing, AlgebrasOf129To237Elements) {
  checkMadeAlgebras(20250714, 129, 237, 16, 3, 50000);
}

TEST(EngineAgainstListing, FamilyJobsOf21To64Elements) {
  // The jobs of 21 to 64 elements with at most kFew subuniverses: all of
  // those of the families of a few hundred jobs, 40 drawn from each larger
  // one; each in its own element order and in a random one.
  constexpr uint64_t kFew = 100000;
  static ClosedSetListing listing;
  SampleRandom random(20250712);
  SampleAlgebra algebra;
  int listed = 0, above30 = 0;
  for (const AlgebraFamily& family : algebraFamilies()) {
    if (family.fewestElements > 64) continue;
    bool all = family.jobCount <= 200;
    for (int i = 0; i < (all ? family.jobCount : 40); ++i) {
      int index = all ? i : random.below(family.jobCount);
      SubsetCount known = family.known ? family.known(index) : 0;
      if (known > kFew) continue;
      char name[kJobNameSize];
      family.make(index, name, algebra);
      if (algebra.size < 21) continue;
      uint64_t count =
          listing.count(algebra.size, algebra.constraints, algebra.constraintCount, kFew);
      if (count > kFew) continue;
      ASSERT_TRUE(known == 0 || known == count) << family.name << " job " << name;
      ++listed;
      if (algebra.size > 30) ++above30;
      char label[kJobNameSize + 32];
      std::snprintf(label, sizeof label, "%s-%s", family.name, name);
      EXPECT_TRUE(everySettingCounts(algebra, count, label));
      shuffleElements(random, algebra);
      std::snprintf(label, sizeof label, "%s-%s-shuffled", family.name, name);
      EXPECT_TRUE(everySettingCounts(algebra, count, label));
    }
  }
  EXPECT_GE(listed, 180);
  EXPECT_GE(above30, 110);
}

TEST(EngineAgainstListing, KnownCountsBeyondTheListing) {
  // Jobs whose counts are known but too many to list, up to 2^64: chains,
  // bands, null semigroups, stars, L_k x N2.
  SampleAlgebra algebra;
  int checked = 0;
  for (const AlgebraFamily& family : algebraFamilies()) {
    if (family.known == nullptr || family.fewestElements > 64) continue;
    for (int index = 0; index < family.jobCount; ++index) {
      SubsetCount known = family.known(index);
      if (known <= kMostClosedSets) continue;
      char name[kJobNameSize];
      family.make(index, name, algebra);
      char label[kJobNameSize + 32];
      std::snprintf(label, sizeof label, "%s-%s", family.name, name);
      EXPECT_TRUE(everySettingCounts(algebra, known, label));
      ++checked;
    }
  }
  EXPECT_GE(checked, 80);
}

// Two permutations of n elements: `sigma`, made of cycles of 1, 2, 3, 4 or
// 6 elements (the last cycle may be shorter), and `tau`, either the
// reversal of every cycle (with sigma, a dihedral group on each cycle) or
// a swap of two cycles of the same length element by element (the
// identity when the cycle drawn has no other of its length).
struct TwoPermutations {
  int sigma[kMaxSampleElements];
  int tau[kMaxSampleElements];
};

void makeTwoPermutations(SampleRandom& random, int n, TwoPermutations& out) {
  int order[kMaxSampleElements];
  for (int i = 0; i < n; ++i) order[i] = i;
  for (int i = n - 1; i > 0; --i) std::swap(order[i], order[random.below(i + 1)]);
  // Cycle c is order[starts[c]..starts[c] + lengths[c] - 1].
  int starts[kMaxSampleElements], lengths[kMaxSampleElements], cycles = 0;
  static const int kLengths[] = {1, 2, 3, 4, 6};
  for (int at = 0; at < n; at += lengths[cycles++]) {
    starts[cycles] = at;
    lengths[cycles] = std::min(kLengths[random.below(5)], n - at);
  }
  auto member = [&](int c, int i) { return order[starts[c] + (i + lengths[c]) % lengths[c]]; };
  for (int c = 0; c < cycles; ++c)
    for (int i = 0; i < lengths[c]; ++i) {
      out.sigma[member(c, i)] = member(c, i + 1);
      out.tau[member(c, i)] = member(c, i);
    }
  if (random.below(3) == 1) {
    for (int c = 0; c < cycles; ++c)
      for (int i = 0; i < lengths[c]; ++i) out.tau[member(c, i)] = member(c, -i);
  } else {
    const int c = random.below(cycles);
    for (int d = 0; d < cycles; ++d) {
      if (d == c || lengths[d] != lengths[c]) continue;
      for (int i = 0; i < lengths[c]; ++i) {
        out.tau[member(c, i)] = member(d, i);
        out.tau[member(d, i)] = member(c, i);
      }
      break;
    }
  }
}

// Adds a random constraint (one time in six each unary, with the result
// its left or its right operand; operation 1 or 2) with all its images
// under the group that `group` generates, unless they would pass
// kMaxConstraints (false). `added` holds the constraints added so far.
bool addRandomOrbit(SampleRandom& random, const TwoPermutations& group,
                    std::unordered_set<uint32_t>& added, SampleAlgebra& out) {
  const int n = out.size;
  const int x = random.below(n);
  const int y = random.below(6) == 0 ? x : random.below(n);
  const int kind = random.below(6);
  const int z = kind == 0 ? x : kind == 1 ? y : random.below(n);
  auto fact = [](int op, int l, int r, int res) {
    return static_cast<uint32_t>(((op * 256 + l) * 256 + r) * 256 + res);
  };
  std::vector<uint32_t> orbit = {fact(1 + random.below(2), x, y, z)};
  if (added.count(orbit[0]) != 0) return true;
  std::unordered_set<uint32_t> seen = {orbit[0]};
  for (size_t i = 0; i < orbit.size(); ++i) {
    const uint32_t f = orbit[i];
    const int op = static_cast<int>(f >> 24), l = (f >> 16) & 255, r = (f >> 8) & 255,
              res = f & 255;
    for (const int* p : {group.sigma, group.tau}) {
      const uint32_t image = fact(op, p[l], p[r], p[res]);
      if (seen.insert(image).second) orbit.push_back(image);
    }
  }
  if (out.constraintCount + static_cast<int>(orbit.size()) > kMaxConstraints) return false;
  for (const uint32_t f : orbit) {
    added.insert(f);
    out.add((f >> 16) & 255, (f >> 8) & 255, f & 255, static_cast<int>(f >> 24));
  }
  return true;
}

// An algebra of smallest..largest elements that two random permutations
// map onto itself, with at most `most` subuniverses: orbits of random
// constraints, about n^3/512 constraints first, then more a few at a time
// while it has more. Returns its subuniverses as counted without
// symmetries (the last setting of everySettingCounts).
SubsetCount makeSymmetricAlgebra(SampleRandom& random, int smallest, int largest, uint64_t most,
                                 SampleAlgebra& out) {
  SubuniverseEngine& plain = checkedEngine(kCheckedSettings - 1);
  EXPECT_FALSE(plain.options().symmetry);
  for (;;) {
    const int n = smallest + random.below(largest - smallest + 1);
    TwoPermutations group;
    makeTwoPermutations(random, n, group);
    out.reset(n);
    std::unordered_set<uint32_t> added;
    bool room = true;
    while (room && out.constraintCount < n * n * n / 512)
      room = addRandomOrbit(random, group, added, out);
    SubsetCount count = plain.count(n, out.constraints, out.constraintCount);
    while (room && count > SubsetCount(most)) {
      for (int i = 0; room && i < 1 + n / 16; ++i) room = addRandomOrbit(random, group, added, out);
      count = plain.count(n, out.constraints, out.constraintCount);
    }
    if (count <= SubsetCount(most)) return count;
  }
}

TEST(EngineAgainstCountsWithoutSymmetry, AlgebrasWithSymmetriesOf32To128Elements) {
  // Random tables that a small group maps onto itself, cyclic, abelian or
  // dihedral on its cycles, so that the job's symmetries are irregular and
  // the search meets components and their images: every setting, one of
  // them keying every component by an image and checking it, counts them
  // as the engine does without symmetries (and as the listing does, where
  // it can). One in four has more than 64 elements.
  SampleRandom random(20261210);
  SampleAlgebra algebra;
  constexpr int kRounds = 40;
  constexpr uint64_t kMost = 1'000'000'000'000;
  int symmetric = 0;
  for (int round = 0; round < kRounds; ++round) {
    const bool wide = round % 4 == 3;
    const SubsetCount counted =
        makeSymmetricAlgebra(random, wide ? 65 : 32, wide ? 128 : 64, kMost, algebra);
    if (counted <= SubsetCount(100000)) {
      ASSERT_EQ(listedCount(algebra), counted);
    }
    char label[kJobNameSize];
    std::snprintf(label, sizeof label, "symmetric-%d", round);
    EXPECT_TRUE(everySettingCounts(algebra, counted, label));
    // The settings that key components by images found some of them.
    int64_t hits = 0;
    for (int setting = 0; setting < kCheckedSettings; ++setting)
      hits += checkedEngine(setting).statistics().symmetricHits;
    symmetric += hits > 0 ? 1 : 0;
  }
  EXPECT_GE(symmetric, kRounds / 4);
}

TEST(EngineAgainstKnownCounts, AlgebrasWithManySymmetriesAtEverySetting) {
  // Cubes as meet semilattices and as lattices, two cubes side by side,
  // the full transformation semigroup on three points, a grid, and a group
  // acting on itself: every setting, with the job's symmetries keying every
  // component (checked part by part) and without symmetries, counts them
  // as published or as enumerated.
  SampleAlgebra algebra;
  char label[64];
  for (int points = 3; points <= 5; ++points) {
    const int cube[] = {2, 2, 2, 2, 2};
    makeGridMeetSemilattice(cube, points, algebra);
    std::snprintf(label, sizeof label, "cube%d-meet", points);
    EXPECT_TRUE(everySettingCounts(algebra, cubeMeetClosedSets(points), label));
    makeBooleanLattice(points, algebra);
    std::snprintf(label, sizeof label, "cube%d-lattice", points);
    EXPECT_TRUE(everySettingCounts(algebra, booleanSublattices(points), label));
  }
  // Two 4-cubes' meet semilattices side by side and an element in no
  // constraint.
  SampleAlgebra one;
  const int cube4[] = {2, 2, 2, 2};
  makeGridMeetSemilattice(cube4, 4, one);
  algebra.reset(2 * one.size + 1);
  for (int copy = 0; copy < 2; ++copy)
    for (int i = 0; i < one.constraintCount; ++i) {
      const Constraint& c = one.constraints[i];
      const int shift = copy * one.size - 1;
      algebra.add(c.left + shift, c.right + shift, c.result + shift, c.operation);
    }
  const SubsetCount cube4Count = cubeMeetClosedSets(4);
  EXPECT_TRUE(everySettingCounts(algebra, cube4Count * cube4Count * SubsetCount(2), "two-cube4"));
  makeFullTransformationSemigroup3(algebra);
  EXPECT_TRUE(everySettingCounts(algebra, 1299, "T3"));
  const int grid[] = {3, 3, 3};
  makeGridLattice(grid, 3, algebra);
  EXPECT_TRUE(everySettingCounts(algebra, listedCount(algebra), "grid3x3x3"));
  OperationTable z5;
  OperationTable z5z5;
  makeCyclicGroupTable(5, z5);
  makeProductTable(z5, z5, z5z5);
  makeTableAlgebra(z5z5, algebra);
  EXPECT_TRUE(everySettingCounts(algebra, 9, "Z5xZ5"));  // 8 subgroups and the empty set
}

TEST(EngineSettings, EachSettingTakesThePathItExistsFor) {
  // The differential tests run every path only if each setting really
  // changes what the engine does: the statistics of the paths, summed over
  // a grid lattice, two random algebras and two groups, must move the way
  // each setting says.
  EngineStatistics sum[kCheckedSettings];
  SampleAlgebra algebra;
  for (int job = 0; job < 6; ++job) {
    if (job == 5) makeBooleanLattice(5, algebra);  // 240 symmetries
    if (job == 4) {
      // Z2^5: every element alone forces only the identity, so its pairs
      // keep their rules and the table is dense.
      OperationTable two, power, next;
      makeCyclicGroupTable(2, two);
      power = two;
      for (int i = 1; i < 5; ++i) {
        makeProductTable(power, two, next);
        power = next;
      }
      makeTableAlgebra(power, algebra);
    }
    if (job == 0) makeChainProductLattice(5, 6, algebra);
    if (job == 1) makeRandomPartialAlgebra(40, 90, 4040, algebra);
    if (job == 2) makeSymmetricGroup4(algebra);
    if (job == 3) makeRandomPartialAlgebra(12, 20, 1212, algebra);
    for (int setting = 0; setting < kCheckedSettings; ++setting) {
      SubuniverseEngine& engine = checkedEngine(setting);
      engine.count(algebra.size, algebra.constraints, algebra.constraintCount);
      for (const EngineStatisticName& statistic : engineStatisticNames())
        sum[setting].*statistic.field += engine.statistics().*statistic.field;
    }
  }
  const EngineStatistics& program = sum[0];
  // The program tries the small sparse job's subsets at once; the others
  // search.
  EXPECT_EQ(program.jobsTried, 1);
  for (int setting = 1; setting < kCheckedSettings; ++setting)
    EXPECT_EQ(sum[setting].jobsTried, 0) << setting;
  // Exact keys from the first node, and the pair-weighing rule everywhere.
  EXPECT_GT(sum[1].exactDependences, program.exactDependences);
  EXPECT_GT(sum[1].partsWeighed, program.partsWeighed);
  // The group's table is dense: taken whole by the program, searched by
  // components without it.
  EXPECT_GT(program.partsDense, 0);
  EXPECT_EQ(sum[2].partsDense, 0);
  // Nothing counted by trying, and more branched on.
  EXPECT_GT(program.partsTried, 0);
  EXPECT_EQ(sum[2].partsTried, 0);
  EXPECT_GT(sum[2].nodes, program.nodes);
  EXPECT_GT(sum[3].exactDependences, program.exactDependences);
  EXPECT_EQ(sum[3].partsTried, 0);
  // Every part of up to 16 elements counted again, and only there; parts
  // of 7 to 12 (or 9) elements tried from the first node, not from the
  // 4096th.
  EXPECT_EQ(program.componentsChecked, 0);
  EXPECT_GT(sum[4].widePartsTried, program.widePartsTried);
  EXPECT_GT(sum[5].widePartsTried, program.widePartsTried);
  EXPECT_GT(sum[4].componentsChecked, sum[4].partsTried);
  EXPECT_GT(sum[4].exactDependences, program.exactDependences);
  // Residual keys instead of the others (but for the group's dense parts),
  // and the pair-weighing rule everywhere.
  EXPECT_GT(sum[5].residualLookups, program.residualLookups);
  EXPECT_LT(sum[5].residualLookups, sum[5].cacheLookups);
  EXPECT_GT(sum[5].partsDense, 0);
  EXPECT_GT(sum[5].residualHits, 0);
  EXPECT_EQ(sum[5].exactDependences, 0);
  EXPECT_GT(sum[5].partsWeighed, program.partsWeighed);
  EXPECT_GT(sum[5].componentsChecked, sum[5].partsTried);
  // Components keyed by an image under the symmetries: by the program only
  // above 24 elements, by the sixth setting at every size, never by the
  // seventh; and some found so.
  EXPECT_GT(sum[5].symmetricLookups, program.symmetricLookups);
  EXPECT_GT(sum[5].symmetricHits, 0);
  EXPECT_EQ(sum[6].symmetricLookups, 0);
  EXPECT_GT(sum[6].residualLookups, 0);
  for (int setting = 0; setting < kCheckedSettings; ++setting) {
    EXPECT_GT(sum[setting].nodes, 0) << setting;
    EXPECT_EQ(sum[setting].cacheLookups, sum[setting].nodes + sum[setting].cacheHits) << setting;
  }
}

}  // namespace
}  // namespace tallyra
