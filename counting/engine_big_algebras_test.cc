// The engine on the families of 65 to 237 elements
// (tests/algebras/big_algebra_families.h) against their counts known from
// sources of their own: GAP's subgroup counts, formulas, recursions and
// products of independent parts. The closed-set listing agrees with every
// one of these counts that it can list (closed_set_listing_test.cc), so a
// failure here is the engine's. Every job is counted with the program's
// own setting, and the cheaper ones (by search nodes) also with the other
// settings of tests/engine_check.h and in a random element order, so that
// the whole file takes some seconds.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "counting/subuniverse_engine.h"
#include "tests/algebras/algebra_families.h"
#include "tests/algebras/sample_algebras.h"
#include "tests/algebras/small_groups.h"
#include "tests/engine_check.h"

namespace tallyra {
namespace {

// The most search nodes, with the program's own setting, of a job that is
// also counted with the other settings and in a random element order; of
// one that is also counted in a random order.
constexpr int64_t kEverySettingNodes = 2000;
constexpr int64_t kShuffledNodes = 20000;

// Counts job `index` of the family with the program's own setting; then,
// as few search nodes as that took allow, with the other settings and in a
// random element order.
void checkJob(const AlgebraFamily& family, int index, SampleRandom& random,
              SampleAlgebra& algebra) {
  char name[kJobNameSize];
  family.make(index, name, algebra);
  const SubsetCount known = family.known(index);
  char label[kJobNameSize + 40];
  std::snprintf(label, sizeof label, "%s-%s", family.name, name);
  SubuniverseEngine& own = checkedEngine(0);
  EXPECT_TRUE(engineCounts(own, algebra, known, label));
  const int64_t nodes = own.statistics().nodes;
  if (nodes <= kEverySettingNodes) {
    for (int setting = 1; setting < kCheckedSettings; ++setting) {
      std::snprintf(label, sizeof label, "%s-%s-setting%d", family.name, name, setting);
      EXPECT_TRUE(engineCounts(checkedEngine(setting), algebra, known, label));
    }
  }
  if (nodes <= kShuffledNodes) {
    shuffleElements(random, algebra);
    std::snprintf(label, sizeof label, "%s-%s-shuffled", family.name, name);
    EXPECT_TRUE(engineCounts(own, algebra, known, label));
  }
}

// The groups of GAP's library of one order: the first, the middle and the
// last as checkJob() counts them, and up to eight others, evenly spread,
// with the program's own setting.
class GroupsOfOneOrder : public ::testing::TestWithParam<int> {};

TEST_P(GroupsOfOneOrder, CountTheirSubgroupsAndTheEmptySet) {
  const int order = GetParam();
  const AlgebraFamily* groups = findFamily("groups200");
  ASSERT_NE(groups, nullptr);
  int first = -1, count = 0;
  for (int i = 0; i < kSmallGroupCount; ++i) {
    if (kSmallGroups[i].order != order) continue;
    if (first < 0) first = i;
    ++count;
  }
  ASSERT_GT(count, 0);  // every order has at least its cyclic group
  SampleRandom random(static_cast<uint64_t>(order) * 1009);
  SampleAlgebra algebra;
  const int step = (count + 7) / 8;
  for (int k = 0; k < count; ++k) {
    if (k == 0 || k == count / 2 || k == count - 1) {
      checkJob(*groups, first + k, random, algebra);
    } else if (k % step == 0) {
      char name[kJobNameSize];
      groups->make(first + k, name, algebra);
      EXPECT_TRUE(engineCounts(checkedEngine(0), algebra, groups->known(first + k), name));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Orders65To200, GroupsOfOneOrder, ::testing::Range(65, 201),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return "order" + std::to_string(info.param);
                         });

// The jobs with known counts of the other families of 65 to 237 elements:
// all of a family of up to 60 jobs; of a larger one, about 60 spread over
// it and the last ten (where a family keeps its products and sums).
class KnownCountsOfAFamily : public ::testing::TestWithParam<const char*> {};

TEST_P(KnownCountsOfAFamily, WithTheSettingsAndOrdersTheirCostAllows) {
  const AlgebraFamily* family = findFamily(GetParam());
  ASSERT_NE(family, nullptr);
  ASSERT_GT(family->fewestElements, 64);
  SampleRandom random(20250720);
  SampleAlgebra algebra;
  const int step = (family->jobCount + 59) / 60;
  int checked = 0;
  for (int index = 0; index < family->jobCount; ++index) {
    if (index % step != 0 && index < family->jobCount - 10) continue;
    if (family->known(index) == 0) continue;
    // The Boolean lattice of 128 elements (13,170,652 sublattices, 3.1
    // million search nodes, 14 s) is the benchmark's.
    char name[kJobNameSize];
    family->make(index, name, algebra);
    if (std::string(name) == "boolean128") continue;
    checkJob(*family, index, random, algebra);
    ++checked;
  }
  EXPECT_GE(checked, 10);
}

INSTANTIATE_TEST_SUITE_P(Families65To237, KnownCountsOfAFamily,
                         ::testing::Values("groups237", "lattices237", "semilattices237",
                                           "bands237", "sums237"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           std::string name = info.param;
                           return name.substr(0, name.size() - 3);
                         });

}  // namespace
}  // namespace tallyra
