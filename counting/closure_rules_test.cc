#include "counting/closure_rules.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tallyra
