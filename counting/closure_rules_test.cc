#include "counting/closure_rules.h"

#include <gtest/gtest.h>

#include <bitset>

#include "tests/algebras/sample_algebras.h"

namespace tallyra {
namespace {

// The closure the slow way: apply every constraint until nothing changes.
uint32_t closeByRounds(const SampleAlgebra& algebra, uint32_t set) {
  for (bool changed = true; changed;) {
    changed = false;
    for (int i = 0; i < algebra.constraintCount; ++i) {
      const Constraint& c = algebra.constraints[i];
      if ((set >> (c.left - 1) & 1) && (set >> (c.right - 1) & 1) && !(set >> (c.result - 1) & 1)) {
        set |= uint32_t{1} << (c.result - 1);
        changed = true;
      }
    }
  }
  return set;
}

TEST(ClosureRules, FoldsPairsBothWaysAndDropsHarmlessConstraints) {
  SampleAlgebra algebra;
  algebra.reset(5);
  algebra.add(0, 1, 2);
  algebra.add(1, 0, 3, 2);  // another operation, same pair
  algebra.add(0, 1, 2);     // repeated
  algebra.add(2, 2, 4);     // unary
  algebra.add(3, 4, 4);     // result is an operand
  algebra.add(4, 4, 4);
  ClosureRules<1> rules;
  buildClosureRules(5, algebra.constraints, algebra.constraintCount, rules);
  EXPECT_EQ(rules.all, 0x1Fu);
  EXPECT_EQ(rules.forced[0][1], 0b01100u);
  EXPECT_EQ(rules.forced[1][0], 0b01100u);
  EXPECT_EQ(rules.forced[2][2], 0b10000u);
  EXPECT_EQ(rules.partners[3], 0u);  // 3*4=4 binds nothing
  EXPECT_EQ(rules.forced[4][4], 0u);
  EXPECT_EQ(rules.partners[0], 0b00010u);
  EXPECT_EQ(rules.partners[2], 0b00100u);
  EXPECT_EQ(rules.partners[4], 0u);
  EXPECT_EQ(rules.results[0], 0b01100u);
  EXPECT_EQ(rules.results[2], 0u);
  EXPECT_FALSE(rules.pairsToBuilt);
  buildPairsTo(rules);
  EXPECT_EQ(rules.pairsTo[0][3], 0b00010u);
  EXPECT_EQ(rules.pairsTo[1][2], 0b00001u);
}

TEST(ClosureRules, EachElementForcesItsClosureAndPairsOnlyTheRest) {
  SampleAlgebra algebra;
  algebra.reset(6);
  algebra.add(0, 0, 1);  // 0 alone forces 1, then 2
  algebra.add(1, 1, 2);
  algebra.add(0, 3, 2);  // forced by 0 alone: dropped
  algebra.add(3, 0, 4);  // kept
  algebra.add(3, 1, 5);  // 1 is in the closure of 0, not of 3: kept
  algebra.add(0, 1, 5);  // both in the closure of 0, so 5 is too
  ClosureRules<1> rules;
  buildClosureRules(6, algebra.constraints, algebra.constraintCount, rules);
  EXPECT_EQ(rules.forced[0][0], 0b100110u);
  EXPECT_EQ(rules.forced[1][1], 0b000100u);
  EXPECT_EQ(rules.forced[0][3], 0b010000u);
  EXPECT_EQ(rules.forced[3][0], 0b010000u);
  EXPECT_EQ(rules.forced[1][3], 0b100000u);
  EXPECT_EQ(rules.forced[0][1], 0u);
  EXPECT_EQ(rules.partners[0], 0b001001u);
  EXPECT_EQ(rules.partners[1], 0b001010u);
}

TEST(ClosureRules, ForgetsThePreviousJob) {
  SampleAlgebra algebra;
  makeRandomPartialAlgebra(30, 500, 3, algebra);
  ClosureRules<1> rules;
  buildClosureRules(30, algebra.constraints, algebra.constraintCount, rules);
  algebra.reset(3);
  algebra.add(0, 1, 2);
  buildClosureRules(3, algebra.constraints, algebra.constraintCount, rules);
  EXPECT_EQ(closeSet(rules, 0b011u), 0b111u);
  for (int x = 0; x < 3; ++x) {
    EXPECT_EQ(rules.forced[x][x], 0u);
    EXPECT_EQ(rules.partners[x], x < 2 ? 3u - (1u << x) : 0u);
  }
}

TEST(ClosureRules, CloseSetMatchesRepeatedRounds) {
  SampleRandom random(11);
  SampleAlgebra algebra;
  ClosureRules<1> rules;
  for (int round = 0; round < 200; ++round) {
    int n = 1 + random.below(30);
    makeRandomPartialAlgebra(n, random.below(4 * n), random.next(), algebra);
    buildClosureRules(n, algebra.constraints, algebra.constraintCount, rules);
    for (int sample = 0; sample < 20; ++sample) {
      uint32_t set =
          static_cast<uint32_t>(random.next()) & static_cast<uint32_t>(random.next()) & rules.all;
      ASSERT_EQ(closeSet(rules, set), closeByRounds(algebra, set)) << "round " << round;
    }
  }
}

// The rules from their definition, the plain way: the closure of each
// element by products of the whole set until nothing changes, and each
// pair's results less the pair and what either element forces alone.
struct PlainRules {
  using Elements = std::bitset<kMaxSampleElements>;
  Elements results[kMaxSampleElements][kMaxSampleElements];  // of x*y and y*x
  Elements alone[kMaxSampleElements];
  Elements forced[kMaxSampleElements][kMaxSampleElements];

  void build(const SampleAlgebra& algebra) {
    const int n = algebra.size;
    for (int x = 0; x < n; ++x)
      for (int y = 0; y < n; ++y) results[x][y].reset();
    for (int i = 0; i < algebra.constraintCount; ++i) {
      const Constraint& c = algebra.constraints[i];
      if (c.left < 1 || c.left > n || c.right < 1 || c.right > n || c.result < 1 || c.result > n)
        continue;
      results[c.left - 1][c.right - 1].set(c.result - 1);
      results[c.right - 1][c.left - 1].set(c.result - 1);
    }
    for (int x = 0; x < n; ++x) {
      Elements set;
      set.set(x);
      for (Elements last; set != last;) {
        last = set;
        for (int a = 0; a < n; ++a)
          for (int b = 0; b < n; ++b)
            if (set[a] && set[b]) set |= results[a][b];
      }
      alone[x] = set;
      alone[x].reset(x);
    }
    for (int x = 0; x < n; ++x)
      for (int y = 0; y < n; ++y) {
        forced[x][y] = x == y ? alone[x] : results[x][y] & ~alone[x] & ~alone[y];
        forced[x][y].reset(x);
        forced[x][y].reset(y);
      }
  }
};

// The elements of `set`, which must lie in 0..n-1 (others are put at n).
template <int Words>
PlainRules::Elements elementsOf(const ElementSetOf<Words>& set, int n) {
  PlainRules::Elements elements;
  for (int i = 0; i < n; ++i) elements[i] = has(set, i);
  if (!isEmpty(set & ~firstElements<ElementSetOf<Words>>(n))) elements.set(n);
  return elements;
}

// Builds the rules of `algebra` into `rules` (which may hold an earlier
// job's) and checks every table that the search reads against the plain
// build.
template <int Words>
void expectPlainRules(const SampleAlgebra& algebra, ClosureRules<Words>& rules, const char* what) {
  static PlainRules plain;
  plain.build(algebra);
  const int n = algebra.size;
  buildClosureRules(n, algebra.constraints, algebra.constraintCount, rules);
  buildPairsTo(rules);
  ASSERT_EQ(rules.size, n) << what;
  ASSERT_TRUE(rules.all == firstElements<ElementSetOf<Words>>(n)) << what;
  int produced[kMaxSampleElements] = {};
  for (int x = 0; x < n; ++x) {
    PlainRules::Elements partners, results, pairsTo[kMaxSampleElements];
    for (int y = 0; y < n; ++y) {
      if (plain.forced[x][y].none()) continue;
      partners.set(y);
      ASSERT_EQ(elementsOf<Words>(rules.forced[x][y], n), plain.forced[x][y])
          << what << ": forced " << x << " " << y;
      if (y == x) continue;
      results |= plain.forced[x][y];
      for (int z = 0; z < n; ++z) {
        if (!plain.forced[x][y][z]) continue;
        pairsTo[z].set(y);
        if (y < x) ++produced[z];
      }
    }
    ASSERT_EQ(elementsOf<Words>(rules.forced[x][x], n), plain.alone[x]) << what << ": alone " << x;
    ASSERT_EQ(elementsOf<Words>(rules.partners[x], n), partners) << what << ": partners " << x;
    ASSERT_EQ(elementsOf<Words>(rules.results[x], n), results) << what << ": results " << x;
    for (int z = 0; z < n; ++z) {
      if (!results[z]) continue;
      ASSERT_EQ(elementsOf<Words>(rules.pairsTo[x][z], n), pairsTo[z])
          << what << ": pairsTo " << x << " " << z;
    }
  }
  for (int z = 0; z < n; ++z) ASSERT_EQ(rules.produced[z], produced[z]) << what << ": " << z;
}

ClosureRules<1> rules1;  // too large for the stack
ClosureRules<2> rules2;
ClosureRules<4> rules4;

void expectPlainRulesOfAnySize(const SampleAlgebra& algebra, const char* what) {
  if (algebra.size <= 64)
    expectPlainRules(algebra, rules1, what);
  else if (algebra.size <= 128)
    expectPlainRules(algebra, rules2, what);
  else
    expectPlainRules(algebra, rules4, what);
}

// Two builds of the same job agree on every table the search reads.
template <int Words>
void expectSameRules(const ClosureRules<Words>& a, const ClosureRules<Words>& b, const char* how) {
  ASSERT_EQ(a.size, b.size) << how;
  for (int x = 0; x < a.size; ++x) {
    ASSERT_TRUE(a.partners[x] == b.partners[x]) << how << ": partners " << x;
    ASSERT_TRUE(a.results[x] == b.results[x]) << how << ": results " << x;
    ASSERT_EQ(a.produced[x], b.produced[x]) << how << ": produced " << x;
    forEach(a.partners[x] | single<ElementSetOf<Words>>(x), [&](int y) {
      ASSERT_TRUE(a.forced[x][y] == b.forced[x][y]) << how << ": forced " << x << " " << y;
    });
  }
}

// Built rules written out as constraints, and given again pair by pair,
// make the same rules (what counting a wide job's components as jobs of
// their own relies on).
template <int Words>
void expectRulesRoundTrip(const SampleAlgebra& algebra, ClosureRules<Words>& rules,
                          ClosureRules<Words>& again) {
  static Constraint written[kMaxConstraints];
  const int n = algebra.size;
  buildClosureRules(n, algebra.constraints, algebra.constraintCount, rules);
  const int count = writeConstraints(rules, written, kMaxConstraints);
  ASSERT_GE(count, 0);
  buildClosureRules(n, written, count, again);
  expectSameRules(rules, again, "written as constraints");
  if (count > 0) {
    ASSERT_EQ(writeConstraints(rules, written, count - 1), -1);  // no room
  }
  startClosureRules(n, again);
  for (int x = 0; x < n; ++x)
    forEach(rules.partners[x], [&](int y) {
      if (y >= x) addPairResults(again, x, y, rules.forced[x][y]);
    });
  finishClosureRules(again);
  expectSameRules(rules, again, "given pair by pair");
}

TEST(ClosureRules, MatchThePlainBuildOnRandomTables) {
  SampleRandom random(29);
  SampleAlgebra algebra;
  static OperationTable table;
  for (int round = 0; round < 150; ++round) {
    // A third of the jobs up to the most elements, the rest up to 64.
    const int n = 1 + random.below(round % 3 == 0 ? kMaxSampleElements : 64);
    switch (round % 5) {
      case 0:  // few facts: small closures, many single elements
        makeRandomPartialAlgebra(n, random.below(2 * n + 1), random.next(), algebra);
        break;
      case 1:  // many facts: large closures
        makeRandomPartialAlgebra(n, random.below(n * n / 2 + 1), random.next(), algebra);
        break;
      case 2:  // whole groups, whose elements' closures hold one another
        if (random.below(2) == 0)
          makeCyclicGroupTable(n, table);
        else
          makeDihedralGroupTable(n / 2 > 0 ? n / 2 : 1, table);  // order n or n - 1
        makeTableAlgebra(table, algebra);
        shuffleElements(random, algebra);
        break;
      case 3:
        makeAwkwardAlgebra(random, n, n, random.below(n < 8 ? n + 1 : 8), random.below(3 * n + 1),
                           algebra);
        break;
      default:  // facts with results out of range and other jobs' leftovers
        makeRandomPartialAlgebra(n, random.below(4 * n + 1), random.next(), algebra);
        for (int i = 0; i < algebra.constraintCount; i += 7)
          algebra.constraints[i].result = static_cast<uint8_t>(random.below(2) == 0 ? 0 : n + 1);
        break;
    }
    expectPlainRulesOfAnySize(algebra, "random table");
    if (n <= 64) {
      static ClosureRules<1> again;
      expectRulesRoundTrip(algebra, rules1, again);
    } else if (n <= 128) {
      static ClosureRules<2> again;
      expectRulesRoundTrip(algebra, rules2, again);
    }
    if (HasFatalFailure()) {
      ADD_FAILURE() << "round " << round << ", " << n << " elements";
      return;
    }
  }
}

}  // namespace
}  // namespace tallyra
