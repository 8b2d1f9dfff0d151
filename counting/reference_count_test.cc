#include "counting/reference_count.h"

#include <gtest/gtest.h>

#include "counting/subuniverse_engine.h"

namespace tallyra {
namespace {

JobRecord job;

// Fills the job with `size` elements and the given constraints, each
// written as three 1-based positions (left, right, result).
void setJob(int size, std::initializer_list<std::array<int, 3>> constraints) {
  job.size = size;
  job.constraintCount = 0;
  for (const auto& c : constraints) {
    job.constraintTable[job.constraintCount++] = Constraint{
        static_cast<uint8_t>(c[0]), static_cast<uint8_t>(c[1]), static_cast<uint8_t>(c[2]), 1};
  }
}

bool isClosed(const MembershipVector& v) {
  return isClosed(v, job.constraintTable, job.constraintCount);
}

int32_t countByEnumeration() {
  return countByEnumeration(job.size, job.constraintTable, job.constraintCount);
}

SubsetCount fastCount() {
  static SubuniverseEngine engine;
  return engine.count(job.size, job.constraintTable, job.constraintCount);
}

TEST(IsClosed, TwoElementGroup) {
  // a*a=a a*b=b b*a=b b*b=a: closed are {}, {a}, {a,b}.
  setJob(2, {{1, 1, 1}, {1, 2, 2}, {2, 1, 2}, {2, 2, 1}});
  MembershipVector v;
  EXPECT_TRUE(isClosed(v));
  v.membership[1] = true;
  EXPECT_TRUE(isClosed(v));
  v.membership[2] = true;
  EXPECT_TRUE(isClosed(v));
  v.membership[1] = false;
  EXPECT_FALSE(isClosed(v));  // b*b=a is violated
  EXPECT_EQ(countByEnumeration(), 3);
  EXPECT_EQ(fastCount(), 3);
}

TEST(IsClosed, NoConstraintsEverySubsetIsClosed) {
  for (int size : {1, 5, 12}) {
    setJob(size, {});
    EXPECT_EQ(countByEnumeration(), 1 << size);
    EXPECT_EQ(fastCount(), 1 << size);
  }
}

TEST(IsClosed, UnaryConstraintForcesItsResult) {
  // x*x=y on {x, y, z}: every subset holding x holds y; 8 - 2 = 6 closed.
  setJob(3, {{1, 1, 2}});
  MembershipVector v;
  v.membership[1] = true;
  EXPECT_FALSE(isClosed(v));
  v.membership[2] = true;
  EXPECT_TRUE(isClosed(v));
  EXPECT_EQ(countByEnumeration(), 6);
  EXPECT_EQ(fastCount(), 6);
}

TEST(IsClosed, ResultEqualToAnOperandNeverExcludes) {
  setJob(3, {{1, 2, 1}, {2, 3, 3}, {3, 3, 3}});
  EXPECT_EQ(countByEnumeration(), 8);
  EXPECT_EQ(fastCount(), 8);
}

TEST(IsClosed, ConflictingResultsAreBothEnforced) {
  // a*b=c and a*b=d on {a,b,c,d}: a set with a and b needs c and d.
  // 16 subsets, 4 of them hold a and b, only {a,b,c,d} of those is closed.
  setJob(4, {{1, 2, 3}, {1, 2, 4}});
  EXPECT_EQ(countByEnumeration(), 13);
  EXPECT_EQ(fastCount(), 13);
}

TEST(IsClosed, IgnoresTableEntriesBeyondTheConstraintCount) {
  // Only constraints up to constraintCount belong to the job: a stale entry
  // beyond it (here one that would exclude {b}) must be ignored.
  setJob(2, {{1, 1, 2}});
  job.constraintTable[1] = Constraint{2, 2, 1, 1};
  EXPECT_EQ(countByEnumeration(), 3);
  EXPECT_EQ(fastCount(), 3);
}

}  // namespace
}  // namespace tallyra
