#include "tests/algebras/big_algebra_families.h"

#include <cstdio>
#include <iterator>
#include <memory>

#include "tests/algebras/algebra_families.h"
#include "tests/algebras/large_algebra_families.h"
#include "tests/algebras/small_groups.h"

namespace tallyra {
namespace {

SubsetCount count(uint64_t n) { return SubsetCount(n); }

// The number of subspaces of the vector space of dimension k over the
// field of p elements, the Galois number G_k(p): G_0 = 1, G_1 = 2 and
// G_(k+1) = 2 G_k + (p^k - 1) G_(k-1) (Goldman and Rota, 1969).
int64_t subspaces(int p, int k) {
  int64_t previous = 1, current = 2, pk = p;
  if (k == 0) return 1;
  for (int i = 1; i < k; ++i, pk *= p) {
    int64_t next = 2 * current + (pk - 1) * previous;
    previous = current;
    current = next;
  }
  return current;
}

}  // namespace

// --- Counts known by formula.

SubsetCount booleanSublattices(int atoms) {
  // A non-empty sublattice of the subsets of an n-set, with least set m and
  // greatest set M, is the family of the sets m | D for the down-sets D of
  // a preorder on M \ m (Birkhoff): choosing the k points of M \ m and the
  // n - k points outside it either in m or outside M gives
  //   1 + sum over k of C(n, k) 2^(n-k) T(k),
  // with T(k) the preorders (topologies) on k points, OEIS A000798
  // (1, 1, 4, 29, 355, 6942, 209527, 9535241). For n = 0..7 this is 2, 4,
  // 13, 74, 732, 12085 (OEIS A306445; lattices64 of large_algebra_families),
  // 319988 and 13170652; the closed-set listing found 13170652 in 6 s.
  static const uint64_t kTopologies[] = {1, 1, 4, 29, 355, 6942, 209527, 9535241};
  SubsetCount total = 1;
  uint64_t binomial = 1;  // C(atoms, k)
  for (int k = 0; k <= atoms; ++k) {
    total += count(binomial) * powerOf(2, atoms - k) * count(kTopologies[k]);
    binomial = binomial * static_cast<uint64_t>(atoms - k) / static_cast<uint64_t>(k + 1);
  }
  return total;
}

SubsetCount twoRowGridSublattices(int n) {
  // A subset of 2 x n is the pair of column sets S0 (bottom row) and S1
  // (top row). (1, c) meet (0, d) = (0, min(c, d)) and (1, c) join (0, d)
  // = (1, max(c, d)), so the subset is closed exactly when for every c < d
  // with c in S1 and d in S0, both c and d are in S0 and S1. Reading the
  // columns from the left, a column is in neither row, in S0 only, in S1
  // only or in both; "S0 only" may not follow any column in S1, and "both"
  // none in S1 only. The states: no column in S1 yet (a), some but none in
  // S1 only (b), some in S1 only (c).
  SubsetCount a = 1, b = 0, c = 0;
  for (int column = 0; column < n; ++column) {
    SubsetCount nextA = a + a;          // neither, S0 only
    SubsetCount nextB = a + b + b;      // both; from b, neither or both
    SubsetCount nextC = a + b + c + c;  // S1 only; from c, neither or S1 only
    a = nextA, b = nextB, c = nextC;
  }
  return a + b + c;
}

SubsetCount twoRowGridMeetClosedSets(int n) {
  // With S0 and S1 as above, only (1, c) meet (0, d) = (0, c) for c < d
  // asks for something: each c in S1 below the greatest column M of S0 is
  // in S0. With S0 empty, S1 is any set: 2^n; otherwise the columns below
  // M are each in neither row, in S0 only or in both (3^M), those above M
  // in S1 or not, and M in S1 or not (2^(n-M)).
  SubsetCount total = powerOf(2, n);
  for (int m = 0; m < n; ++m) total += powerOf(3, m) * powerOf(2, n - m);
  return total;
}

SubsetCount treeMeetClosedSets(int n, const int* parent) {
  // A non-empty closed subset of the subtree of v either holds v, and then
  // its part in each child's subtree is closed and may be empty (their
  // product, `with`), or lies in the subtree of one child (two children's
  // elements would meet in v). all(v) = 1 + with(v) + sum (all(c) - 1).
  // Children come after their parents, so from the last node back every
  // child is done before its parent.
  auto with = std::make_unique<SubsetCount[]>(kMaxSampleElements);
  auto all = std::make_unique<SubsetCount[]>(kMaxSampleElements);
  auto inOneChild = std::make_unique<SubsetCount[]>(kMaxSampleElements);
  for (int v = 0; v < n; ++v) with[v] = 1, inOneChild[v] = 0;
  for (int v = n - 1; v >= 0; --v) {
    all[v] = SubsetCount(1) + with[v] + inOneChild[v];
    if (v == 0) break;
    with[parent[v]] *= all[v];
    inOneChild[parent[v]] += all[v] - SubsetCount(1);
  }
  return all[0];
}

SubsetCount cubeMeetClosedSets(int points) {
  // A set of subsets closed under intersection, with the whole set added
  // or not, is a closure system (Moore family) on the points, and each
  // closure system comes from two such sets (with and without the whole
  // set; the empty set of subsets and {whole set} both give {whole set}).
  // The closure systems on 0..7 points: OEIS A102896, the last one counted
  // by Colomb, Irlande and Raynaud, "Counting of Moore families for n = 7",
  // ICFCA 2010.
  static const uint64_t kMooreFamilies[] = {1,    2,       7,           61,
                                            2480, 1385552, 75973751474, 14087648235707352472u};
  return count(kMooreFamilies[points]) * SubsetCount(2);
}

// --- groups200

int groups200Jobs() { return kSmallGroupCount; }

void makeGroups200Job(int index, char* name, SampleAlgebra& out) {
  const SmallGroupData& group = kSmallGroups[index];
  std::snprintf(name, kJobNameSize, "SG%d-%d", group.order, group.id);
  auto table = std::make_unique<OperationTable>();
  if (makeSmallGroupTable(group, *table)) {
    makeTableAlgebra(*table, out);
  } else {
    out.reset(1);  // 2 closed sets: the known count shows the failure
  }
}

SubsetCount knownGroups200Count(int index) {
  // A group's subuniverses are its subgroups (GAP's count) and the empty set.
  return count(static_cast<uint64_t>(kSmallGroups[index].subgroups)) + SubsetCount(1);
}

// --- groups237

namespace {

constexpr int kCyclic237 = 173;   // Z_65..Z_237
constexpr int kDihedral237 = 86;  // D_2n, n = 33..118
constexpr int kDicyclic237 = 43;  // order 4m, m = 17..59
struct ElementaryPair {
  int p, k, q, l;  // Z_p^k x Z_q^l, p and q distinct primes (l = 0: none)
};
const ElementaryPair kElementary237[] = {{2, 7, 0, 0},  {3, 4, 0, 0}, {5, 3, 0, 0}, {11, 2, 0, 0},
                                         {13, 2, 0, 0}, {2, 6, 3, 1}, {2, 5, 7, 1}, {2, 1, 3, 4},
                                         {2, 4, 3, 2},  {2, 3, 3, 3}};
static_assert(kGroups237Jobs == kCyclic237 + kDihedral237 + kDicyclic237 +
                                    static_cast<int>(std::size(kElementary237)));

void elementaryTable(int p, int k, OperationTable& out) {
  OperationTable cyclic;
  makeCyclicGroupTable(p, cyclic);
  makeCyclicGroupTable(p, out);
  for (int i = 1; i < k; ++i) makeProductTable(out, cyclic, out);
}

}  // namespace

void makeGroups237Job(int index, char* name, SampleAlgebra& out) {
  auto table = std::make_unique<OperationTable>();
  if (index < kCyclic237) {
    makeCyclicGroupTable(65 + index, *table);
    std::snprintf(name, kJobNameSize, "Z%d", 65 + index);
  } else if ((index -= kCyclic237) < kDihedral237) {
    makeDihedralGroupTable(33 + index, *table);
    std::snprintf(name, kJobNameSize, "D%d", 2 * (33 + index));
  } else if ((index -= kDihedral237) < kDicyclic237) {
    makeDicyclicGroupTable(17 + index, *table);
    std::snprintf(name, kJobNameSize, "Q%d", 4 * (17 + index));
  } else {
    const ElementaryPair& e = kElementary237[index - kDicyclic237];
    elementaryTable(e.p, e.k, *table);
    if (e.l > 0) {
      auto second = std::make_unique<OperationTable>();
      elementaryTable(e.q, e.l, *second);
      makeProductTable(*table, *second, *table);
      std::snprintf(name, kJobNameSize, "Z%d^%dxZ%d^%d", e.p, e.k, e.q, e.l);
    } else {
      std::snprintf(name, kJobNameSize, "Z%d^%d", e.p, e.k);
    }
  }
  makeTableAlgebra(*table, out);
}

SubsetCount knownGroups237Count(int index) {
  // Subgroups and the empty set. Z_n: one subgroup for each divisor of n.
  // D_2n: tau(n) + sigma(n). Dicyclic of order 4m: tau(2m) + sigma(m)
  // (large_algebra_families.cc, where GAP agrees up to order 64; GAP's
  // library in groups200 holds these groups up to order 200 as well).
  // Elementary abelian: the subspaces; a product of groups of coprime
  // orders: the products of their subgroups.
  int64_t subgroups;
  if (index < kCyclic237) {
    subgroups = divisorCount(65 + index);
  } else if ((index -= kCyclic237) < kDihedral237) {
    subgroups = divisorCount(33 + index) + divisorSum(33 + index);
  } else if ((index -= kDihedral237) < kDicyclic237) {
    int m = 17 + index;
    subgroups = divisorCount(2 * m) + divisorSum(m);
  } else {
    const ElementaryPair& e = kElementary237[index - kDicyclic237];
    subgroups = subspaces(e.p, e.k) * (e.l > 0 ? subspaces(e.q, e.l) : 1);
  }
  return count(static_cast<uint64_t>(subgroups)) + SubsetCount(1);
}

// --- lattices237

namespace {

struct Dimensions {
  int dims[7];
};
int dimensionCount(const Dimensions& d) {
  int n = 0;
  while (n < 7 && d.dims[n] != 0) ++n;
  return n;
}
void nameDimensions(const char* prefix, const Dimensions& d, const char* suffix, char* name) {
  int used = std::snprintf(name, kJobNameSize, "%s", prefix);
  for (int i = 0; i < dimensionCount(d) && used < kJobNameSize; ++i)
    used += std::snprintf(name + used, kJobNameSize - used, i == 0 ? "%d" : "x%d", d.dims[i]);
  if (used < kJobNameSize) std::snprintf(name + used, kJobNameSize - used, "%s", suffix);
}

const int kLatticeChains[] = {65, 80, 100, 128, 129, 150, 200, 237};
const int kTwoRowLattices[] = {33, 40, 50, 64, 65, 80, 100, 118};  // 2 x n
const Dimensions kLatticeGrids[] = {
    {{9, 9}}, {{3, 22}}, {{3, 40}}, {{3, 30}}, {{4, 20}}, {{5, 20}}, {{3, 3, 3, 3}}, {{3, 5, 7}},
};
// Larger grids, counted only by name.
const Dimensions kBigGrids[] = {
    {{10, 10}},        {{11, 11}}, {{12, 12}},  {{13, 13}},  {{14, 14}},  {{15, 15}},
    {{8, 16}},         {{10, 20}}, {{5, 5, 5}}, {{4, 4, 8}}, {{6, 6, 6}}, {{2, 2, 2, 2, 2, 2, 3}},
    {{2, 3, 3, 3, 3}}, {{3, 79}},
};
static_assert(kGrids237Jobs == static_cast<int>(std::size(kBigGrids)));
constexpr int kLatticeChainCount = static_cast<int>(std::size(kLatticeChains));
constexpr int kTwoRowLatticeCount = static_cast<int>(std::size(kTwoRowLattices));
static_assert(kLattices237Jobs == kLatticeChainCount + 1 + kTwoRowLatticeCount +
                                      static_cast<int>(std::size(kLatticeGrids)));

}  // namespace

void makeLattices237Job(int index, char* name, SampleAlgebra& out) {
  if (index < kLatticeChainCount) {
    const int chain[] = {kLatticeChains[index]};
    makeGridLattice(chain, 1, out);
    std::snprintf(name, kJobNameSize, "chain%d", chain[0]);
  } else if ((index -= kLatticeChainCount) == 0) {
    makeBooleanLattice(7, out);
    std::snprintf(name, kJobNameSize, "boolean128");
  } else if ((index -= 1) < kTwoRowLatticeCount) {
    const int dims[] = {2, kTwoRowLattices[index]};
    makeGridLattice(dims, 2, out);
    std::snprintf(name, kJobNameSize, "grid2x%d", dims[1]);
  } else {
    const Dimensions& grid = kLatticeGrids[index - kTwoRowLatticeCount];
    makeGridLattice(grid.dims, dimensionCount(grid), out);
    nameDimensions("grid", grid, "", name);
  }
}

void makeGrids237Job(int index, char* name, SampleAlgebra& out) {
  const Dimensions& grid = kBigGrids[index];
  makeGridLattice(grid.dims, dimensionCount(grid), out);
  nameDimensions("grid", grid, "", name);
}

SubsetCount knownLattices237Count(int index) {
  if (index < kLatticeChainCount) return powerOf(2, kLatticeChains[index]);  // any subset
  if ((index -= kLatticeChainCount) == 0) return booleanSublattices(7);
  if ((index -= 1) < kTwoRowLatticeCount) return twoRowGridSublattices(kTwoRowLattices[index]);
  return 0;  // none known
}

// --- semilattices237

namespace {

const int kMeetChains237[] = {65, 100, 128, 129, 200, 237};
// Trees: kind 0 star, 1 path, 2 binary (parent (x-1)/2), 3 random (parent
// drawn below x with the seed).
struct Tree {
  int kind, size, seed;
};
const Tree kTrees237[] = {{0, 65, 0},  {0, 237, 0}, {1, 128, 0}, {1, 237, 0}, {2, 127, 0},
                          {2, 128, 0}, {2, 237, 0}, {3, 65, 1},  {3, 100, 2}, {3, 128, 3},
                          {3, 129, 4}, {3, 160, 5}, {3, 200, 6}, {3, 237, 7}};
const int kTwoRowMeets[] = {33, 50, 64, 65, 100, 118};
constexpr int kMeetChain237Count = static_cast<int>(std::size(kMeetChains237));
constexpr int kTree237Count = static_cast<int>(std::size(kTrees237));
static_assert(kSemilattices237Jobs ==
              kMeetChain237Count + kTree237Count + static_cast<int>(std::size(kTwoRowMeets)));

void treeParents(const Tree& tree, int* parent) {
  SampleRandom random(static_cast<uint64_t>(tree.seed) * 104729 + 237);
  parent[0] = 0;
  for (int x = 1; x < tree.size; ++x)
    parent[x] = tree.kind == 0   ? 0
                : tree.kind == 1 ? x - 1
                : tree.kind == 2 ? (x - 1) / 2
                                 : random.below(x);
}

}  // namespace

void makeSemilattices237Job(int index, char* name, SampleAlgebra& out) {
  if (index < kMeetChain237Count) {
    auto chain = std::make_unique<OperationTable>();
    makeChainSemilattice(kMeetChains237[index], *chain);
    makeTableAlgebra(*chain, out);
    std::snprintf(name, kJobNameSize, "chain%d-meet", kMeetChains237[index]);
  } else if ((index -= kMeetChain237Count) < kTree237Count) {
    const Tree& tree = kTrees237[index];
    int parent[kMaxSampleElements] = {};
    treeParents(tree, parent);
    makeTreeSemilattice(tree.size, parent, out);
    static const char* const kKinds[] = {"star", "path", "binarytree", "randomtree"};
    if (tree.kind == 3)
      std::snprintf(name, kJobNameSize, "%s%d-%d", kKinds[tree.kind], tree.size, tree.seed);
    else
      std::snprintf(name, kJobNameSize, "%s%d", kKinds[tree.kind], tree.size);
  } else {
    const int dims[] = {2, kTwoRowMeets[index - kTree237Count]};
    makeGridMeetSemilattice(dims, 2, out);
    std::snprintf(name, kJobNameSize, "grid2x%d-meet", dims[1]);
  }
}

SubsetCount knownSemilattices237Count(int index) {
  if (index < kMeetChain237Count) return powerOf(2, kMeetChains237[index]);  // any subset
  if ((index -= kMeetChain237Count) < kTree237Count) {
    int parent[kMaxSampleElements] = {};
    treeParents(kTrees237[index], parent);
    return treeMeetClosedSets(kTrees237[index].size, parent);
  }
  return twoRowGridMeetClosedSets(kTwoRowMeets[index - kTree237Count]);
}

// --- bands237

namespace {

const int kBandSizes237[] = {65, 100, 128, 129, 200, 236, 237};
constexpr int kBandSize237Count = static_cast<int>(std::size(kBandSizes237));
const int kBandTimesNull237[] = {33, 50, 64, 65, 100, 118};  // L_k x N2, N2 x L_k
constexpr int kBandKinds237 = 5;                             // free, L, R, L and R, N
static_assert(kBands237Jobs == kBandKinds237 * kBandSize237Count +
                                   2 * static_cast<int>(std::size(kBandTimesNull237)));

}  // namespace

void makeBands237Job(int index, char* name, SampleAlgebra& out) {
  auto table = std::make_unique<OperationTable>();
  if (index < kBandKinds237 * kBandSize237Count) {
    int k = kBandSizes237[index % kBandSize237Count], kind = index / kBandSize237Count;
    static const char* const kKinds[] = {"free", "L", "R", "LR", "N"};
    std::snprintf(name, kJobNameSize, "%s%d", kKinds[kind], k);
    switch (kind) {
      case 0:
        out.reset(k);
        return;
      case 1:
        makeLeftZeroBand(k, *table);
        break;
      case 2:
        makeRightZeroBand(k, *table);
        break;
      case 3:
        // Both bands on the same elements: x*y = x and x+y = y.
        makeLeftZeroBand(k, *table);
        makeTableAlgebra(*table, out);
        makeRightZeroBand(k, *table);
        addTable(*table, 2, out);
        return;
      default:
        makeNullSemigroup(k, *table);
        break;
    }
  } else {
    index -= kBandKinds237 * kBandSize237Count;
    int k = kBandTimesNull237[index / 2];
    auto band = std::make_unique<OperationTable>();
    auto null = std::make_unique<OperationTable>();
    makeLeftZeroBand(k, *band);
    makeNullSemigroup(2, *null);
    if (index % 2 == 0) {
      makeProductTable(*band, *null, *table);
      std::snprintf(name, kJobNameSize, "L%dxN2", k);
    } else {
      makeProductTable(*null, *band, *table);
      std::snprintf(name, kJobNameSize, "N2xL%d", k);
    }
  }
  makeTableAlgebra(*table, out);
}

SubsetCount knownBands237Count(int index) {
  if (index < kBandKinds237 * kBandSize237Count) {
    int k = kBandSizes237[index % kBandSize237Count], kind = index / kBandSize237Count;
    // Free algebras and bands: x*y is x or y, every subset is closed. Null
    // semigroups: a closed set is empty or holds 0.
    return kind < 4 ? powerOf(2, k) : powerOf(2, k - 1) + SubsetCount(1);
  }
  // As for L_k x N2 of up to 64 elements (large_algebra_families.cc): for
  // each a, neither (a, 0) nor (a, 1), (a, 0) alone, or both.
  return powerOf(3, kBandTimesNull237[(index - kBandKinds237 * kBandSize237Count) / 2]);
}

// --- sums237

namespace {

// A part of a disjoint union: its kind and a parameter.
enum class Part {
  kCyclic,         // Z_n
  kDihedral,       // D_2n, n given
  kDicyclic,       // order 4m, m given
  kSmallGroup,     // SmallGroup(order, id) of groups200
  kBoolean,        // the Boolean lattice of 2^k elements, meet and join
  kChainLattice,   // the chain of n elements, meet and join
  kChainMeet,      // the chain of n elements, meet
  kNull,           // the null semigroup N_n
  kFree,           // n elements, no constraint
  kCycle5,         // x*x = x+1 modulo 5 on 5 elements
  kTwoRowLattice,  // the grid 2 x n, meet and join
  kRandomTree,     // a random tree of n elements (seed n), meet
};
struct Summand {
  Part kind;
  int parameter;
  int copies;
  int id = 0;  // for kSmallGroup: the parameter is the order
};
struct Sum {
  const char* name;
  bool inTurn;  // the parts' elements in turn, or one part after the other
  Summand parts[4];
};
const Sum kSums237[] = {
    {"Z60+Z60+Z60+Z57-in-turn", true, {{Part::kCyclic, 60, 3}, {Part::kCyclic, 57, 1}}},
    {"Z60+Z60+Z60+Z57", false, {{Part::kCyclic, 60, 3}, {Part::kCyclic, 57, 1}}},
    {"B64+B64+B64-in-turn", true, {{Part::kBoolean, 6, 3}}},
    {"SG200-52+free37", false, {{Part::kSmallGroup, 200, 1, 52}, {Part::kFree, 37, 1}}},
    {"D118+Q116+free3-in-turn",
     true,
     {{Part::kDihedral, 59, 1}, {Part::kDicyclic, 29, 1}, {Part::kFree, 3, 1}}},
    {"N100+chain37+Z100",
     false,
     {{Part::kNull, 100, 1}, {Part::kChainLattice, 37, 1}, {Part::kCyclic, 100, 1}}},
    {"47cycles5+free2-in-turn", true, {{Part::kCycle5, 0, 47}, {Part::kFree, 2, 1}}},
    {"7xB32+free13-in-turn", true, {{Part::kBoolean, 5, 7}, {Part::kFree, 13, 1}}},
    {"tree100+tree137-in-turn", true, {{Part::kRandomTree, 100, 1}, {Part::kRandomTree, 137, 1}}},
    {"118xZ2+free1-in-turn", true, {{Part::kCyclic, 2, 118}, {Part::kFree, 1, 1}}},
    {"SG128-1164+SG65-1+free44-in-turn",
     true,
     {{Part::kSmallGroup, 128, 1, 1164}, {Part::kSmallGroup, 65, 1, 1}, {Part::kFree, 44, 1}}},
    {"grid2x40+chain80-meet+N77",
     false,
     {{Part::kTwoRowLattice, 40, 1}, {Part::kChainMeet, 80, 1}, {Part::kNull, 77, 1}}},
};
static_assert(kSums237Jobs == static_cast<int>(std::size(kSums237)));

const SmallGroupData* findSmallGroup(int order, int id) {
  for (int i = 0; i < kSmallGroupCount; ++i)
    if (kSmallGroups[i].order == order && kSmallGroups[i].id == id) return &kSmallGroups[i];
  return nullptr;
}

void randomTreeParents(int n, int* parent) {
  SampleRandom random(static_cast<uint64_t>(n) * 7907);
  parent[0] = 0;
  for (int x = 1; x < n; ++x) parent[x] = random.below(x);
}

// The part as an algebra of its own, and its count.
SubsetCount makePart(const Summand& part, SampleAlgebra& out) {
  auto table = std::make_unique<OperationTable>();
  int n = part.parameter;
  switch (part.kind) {
    case Part::kCyclic:
      makeCyclicGroupTable(n, *table);
      makeTableAlgebra(*table, out);
      return count(static_cast<uint64_t>(divisorCount(n)) + 1);
    case Part::kDihedral:
      makeDihedralGroupTable(n, *table);
      makeTableAlgebra(*table, out);
      return count(static_cast<uint64_t>(divisorCount(n)) + static_cast<uint64_t>(divisorSum(n)) +
                   1);
    case Part::kDicyclic:
      makeDicyclicGroupTable(n, *table);
      makeTableAlgebra(*table, out);
      return count(static_cast<uint64_t>(divisorCount(2 * n)) +
                   static_cast<uint64_t>(divisorSum(n)) + 1);
    case Part::kSmallGroup: {
      const SmallGroupData* group = findSmallGroup(n, part.id);
      if (group == nullptr || !makeSmallGroupTable(*group, *table)) {
        out.reset(1);
        return 0;  // no count: the job's known count is 0
      }
      makeTableAlgebra(*table, out);
      return count(static_cast<uint64_t>(group->subgroups) + 1);
    }
    case Part::kBoolean:
      makeBooleanLattice(n, out);
      return booleanSublattices(n);
    case Part::kChainLattice: {
      const int chain[] = {n};
      makeGridLattice(chain, 1, out);
      return powerOf(2, n);
    }
    case Part::kChainMeet:
      makeChainSemilattice(n, *table);
      makeTableAlgebra(*table, out);
      return powerOf(2, n);
    case Part::kNull:
      makeNullSemigroup(n, *table);
      makeTableAlgebra(*table, out);
      return powerOf(2, n - 1) + SubsetCount(1);
    case Part::kFree:
      out.reset(n);
      return powerOf(2, n);
    case Part::kCycle5:
      out.reset(5);
      for (int x = 0; x < 5; ++x) out.add(x, x, (x + 1) % 5);
      return 2;  // all or nothing
    case Part::kTwoRowLattice: {
      const int dims[] = {2, n};
      makeGridLattice(dims, 2, out);
      return twoRowGridSublattices(n);
    }
    case Part::kRandomTree: {
      int parent[kMaxSampleElements] = {};
      randomTreeParents(n, parent);
      makeTreeSemilattice(n, parent, out);
      return treeMeetClosedSets(n, parent);
    }
  }
  return 0;
}

// Makes the sum into `out` and returns its count (0 when a part could not
// be made).
SubsetCount makeSum(const Sum& sum, SampleAlgebra& out) {
  // The parts one by one: the sizes, then where each element goes.
  struct Placed {
    int size;
    int next;  // elements placed so far
    int first;
  };
  Placed placed[kMaxSampleElements];
  int partCount = 0, total = 0;
  SubsetCount product = 1;
  auto part = std::make_unique<SampleAlgebra>();
  for (const Summand& summand : sum.parts) {
    for (int copy = 0; copy < summand.copies; ++copy) {
      product *= makePart(summand, *part);
      placed[partCount++] = Placed{part->size, 0, total};
      total += part->size;
    }
  }
  // position[first + x] = the element of the sum that element x of the
  // part placed at `first` becomes.
  int position[kMaxSampleElements];
  for (int at = 0; at < total;) {
    for (int p = 0; p < partCount; ++p) {
      Placed& q = placed[p];
      while (q.next < q.size) {
        position[q.first + q.next++] = at++;
        if (sum.inTurn) break;
      }
    }
  }
  out.reset(total);
  int i = 0;
  for (const Summand& summand : sum.parts) {
    for (int copy = 0; copy < summand.copies; ++copy, ++i) {
      makePart(summand, *part);
      for (int c = 0; c < part->constraintCount; ++c) {
        const Constraint& k = part->constraints[c];
        const int* map = position + placed[i].first;
        out.add(map[k.left - 1], map[k.right - 1], map[k.result - 1], k.operation);
      }
    }
  }
  return product;
}

}  // namespace

void makeSums237Job(int index, char* name, SampleAlgebra& out) {
  std::snprintf(name, kJobNameSize, "%s", kSums237[index].name);
  makeSum(kSums237[index], out);
}

SubsetCount knownSums237Count(int index) {
  // The parts share no element and no constraint: a closed set of the sum
  // is a closed set of each part, chosen independently.
  auto algebra = std::make_unique<SampleAlgebra>();
  return makeSum(kSums237[index], *algebra);
}

// --- cube7

void makeCube7Job(int /*index*/, char* name, SampleAlgebra& out) {
  const int twos[] = {2, 2, 2, 2, 2, 2, 2};
  makeGridMeetSemilattice(twos, 7, out);
  std::snprintf(name, kJobNameSize, "cube7-meet");
}

SubsetCount knownCube7Count(int /*index*/) { return cubeMeetClosedSets(7); }

}  // namespace tallyra
