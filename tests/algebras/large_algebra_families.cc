#include "tests/algebras/large_algebra_families.h"

#include <cstdio>
#include <iterator>

#include "tests/algebras/algebra_families.h"

namespace tallyra {
namespace {

SubsetCount power(int base, int exponent) {
  SubsetCount result = 1;
  for (int i = 0; i < exponent; ++i) result *= static_cast<SubsetCount>(base);
  return result;
}

// The number of divisors and their sum.
int tau(int n) {
  int count = 0;
  for (int d = 1; d <= n; ++d) count += n % d == 0 ? 1 : 0;
  return count;
}

int sigma(int n) {
  int sum = 0;
  for (int d = 1; d <= n; ++d) sum += n % d == 0 ? d : 0;
  return sum;
}

// The number of subspaces of the vector space of dimension k over the
// field of p elements: the sum of the Gaussian binomial coefficients
// [k j]_p, each the product of (p^(k-i) - 1) / (p^(i+1) - 1) for i < j.
int64_t subspaces(int p, int k) {
  int64_t total = 0;
  for (int j = 0; j <= k; ++j) {
    int64_t numerator = 1, denominator = 1;
    for (int i = 0; i < j; ++i) {
      numerator *= static_cast<int64_t>(power(p, k - i).word(0)) - 1;
      denominator *= static_cast<int64_t>(power(p, i + 1).word(0)) - 1;
    }
    total += numerator / denominator;
  }
  return total;
}

// Appends to the name (kJobNameSize bytes) and returns its new length.
int appendNumber(char* name, int used, const char* format, int value) {
  int room = kJobNameSize - used;
  int written = std::snprintf(name + used, room, format, value);
  return used + (written < room ? written : room - 1);
}

int appendText(char* name, int used, const char* text) {
  int room = kJobNameSize - used;
  int written = std::snprintf(name + used, room, "%s", text);
  return used + (written < room ? written : room - 1);
}

// --- groups64

// A group factor: Z_n (cyclic), D_n (dihedral of order n) or Q_n
// (dicyclic of order n, generalized quaternion for n a power of two).
struct GroupFactor {
  char kind;
  int order;
};

void makeGroupFactor(GroupFactor f, OperationTable& out) {
  if (f.kind == 'Z')
    makeCyclicGroupTable(f.order, out);
  else if (f.kind == 'D')
    makeDihedralGroupTable(f.order / 2, out);
  else
    makeDicyclicGroupTable(f.order / 4, out);
}

// A direct product of up to six factors (the first varying slowest in the
// element numbers) with its number of subgroups.
struct GroupProduct {
  GroupFactor factors[6];
  int subgroups;
};

// The elementary abelian groups Z_p^k: the subgroups are the subspaces of
// the vector space over the field of p elements (subspaces() above).
struct ElementaryAbelian {
  int p, k;
};
const ElementaryAbelian kElementaryAbelian[] = {{2, 1}, {2, 2}, {2, 3}, {2, 4}, {2, 5},
                                                {2, 6}, {3, 1}, {3, 2}, {3, 3}};

// The other products. Their subgroup counts are GAP's (4.12.1, with the
// SmallGrp library):
//   Sum(List(ConjugacyClassesSubgroups(G), Size))
// for G = AbelianGroup([2, 4]), ..., and for G = DirectProduct(
// DihedralGroup(8), CyclicGroup(2)), ..., with QuaternionGroup(n) for Q_n.
// Checks of their own: for Z_m x Z_n the count is the sum of gcd(a, b) over
// the divisors a of m and b of n (Z2 x Z4: 8; Z8 x Z8: 37; Z2 x Z32: 17),
// and for factors of coprime orders it is the product of the factors'
// counts (Q8 x Z7: 6 * 2; D16 x Z3: 19 * 2; D6 x Z10 = D12 x Z5: 16 * 2).
const GroupProduct kGroupProducts[] = {
    {{{'Z', 2}, {'Z', 4}}, 8},
    {{{'Z', 2}, {'Z', 8}}, 11},
    {{{'Z', 4}, {'Z', 4}}, 15},
    {{{'Z', 2}, {'Z', 2}, {'Z', 4}}, 27},
    {{{'Z', 2}, {'Z', 16}}, 14},
    {{{'Z', 4}, {'Z', 8}}, 22},
    {{{'Z', 2}, {'Z', 2}, {'Z', 8}}, 38},
    {{{'Z', 2}, {'Z', 4}, {'Z', 4}}, 54},
    {{{'Z', 2}, {'Z', 2}, {'Z', 2}, {'Z', 4}}, 118},
    {{{'Z', 2}, {'Z', 32}}, 17},
    {{{'Z', 4}, {'Z', 16}}, 29},
    {{{'Z', 8}, {'Z', 8}}, 37},
    {{{'Z', 2}, {'Z', 2}, {'Z', 16}}, 49},
    {{{'Z', 2}, {'Z', 4}, {'Z', 8}}, 81},
    {{{'Z', 4}, {'Z', 4}, {'Z', 4}}, 129},
    {{{'Z', 2}, {'Z', 2}, {'Z', 2}, {'Z', 8}}, 169},
    {{{'Z', 2}, {'Z', 2}, {'Z', 4}, {'Z', 4}}, 249},
    {{{'Z', 2}, {'Z', 2}, {'Z', 2}, {'Z', 2}, {'Z', 4}}, 681},
    {{{'Z', 3}, {'Z', 9}}, 10},
    {{{'Z', 5}, {'Z', 5}}, 8},
    {{{'Z', 6}, {'Z', 6}}, 30},
    {{{'Z', 7}, {'Z', 7}}, 10},
    {{{'Z', 3}, {'Z', 3}, {'Z', 5}}, 12},
    {{{'Z', 2}, {'Z', 3}, {'Z', 6}}, 30},
    {{{'Z', 3}, {'Z', 12}}, 18},
    {{{'Z', 2}, {'Z', 30}}, 20},
    {{{'Z', 3}, {'Z', 21}}, 12},
    {{{'D', 8}, {'Z', 2}}, 35},
    {{{'Q', 8}, {'Z', 2}}, 19},
    {{{'Q', 8}, {'Z', 4}}, 38},
    {{{'D', 8}, {'Z', 2}, {'Z', 2}}, 158},
    {{{'Q', 16}, {'Z', 2}}, 38},
    {{{'D', 16}, {'Z', 2}}, 70},
    {{{'D', 6}, {'D', 6}}, 60},
    {{{'D', 8}, {'D', 8}}, 389},
    {{{'Q', 8}, {'Q', 8}}, 133},
    {{{'Q', 8}, {'Z', 8}}, 57},
    {{{'D', 8}, {'Z', 4}, {'Z', 2}}, 289},
    {{{'Q', 8}, {'Z', 2}, {'Z', 2}, {'Z', 2}}, 425},
    {{{'D', 16}, {'Z', 3}}, 38},
    {{{'Q', 8}, {'Z', 7}}, 12},
    {{{'D', 6}, {'Z', 2}, {'Z', 5}}, 32},
    {{{'D', 32}, {'Z', 2}}, 137},
};

constexpr int kCyclicGroups = 64;    // Z_1..Z_64
constexpr int kDihedralGroups = 30;  // D_6..D_64: D_2n, n = 3..32
constexpr int kDicyclicGroups = 15;  // Q_8..Q_64: order 4m, m = 2..16
constexpr int kElementaryAbelianGroups = static_cast<int>(std::size(kElementaryAbelian));
static_assert(kGroups64Jobs == kCyclicGroups + kDihedralGroups + kDicyclicGroups +
                                   kElementaryAbelianGroups +
                                   static_cast<int>(std::size(kGroupProducts)));

// The product of factors[0..count-1] as a job named after them.
void makeGroupProductJob(const GroupFactor* factors, int count, char* name, SampleAlgebra& out) {
  OperationTable product, factor;
  makeGroupFactor(factors[0], product);
  int used = 0;
  for (int i = 0; i < count; ++i) {
    if (i > 0) {
      makeGroupFactor(factors[i], factor);
      makeProductTable(product, factor, product);
    }
    used = appendNumber(name, used, i == 0 ? "%c" : "x%c", factors[i].kind);
    used = appendNumber(name, used, "%d", factors[i].order);
  }
  makeTableAlgebra(product, out);
}

int factorCount(const GroupProduct& product) {
  int count = 0;
  while (count < 6 && product.factors[count].order != 0) ++count;
  return count;
}

}  // namespace

void makeGroups64Job(int index, char* name, SampleAlgebra& out) {
  GroupFactor factors[6];
  int count = 1;
  if (index < kCyclicGroups) {
    factors[0] = {'Z', index + 1};
  } else if ((index -= kCyclicGroups) < kDihedralGroups) {
    factors[0] = {'D', 2 * (index + 3)};
  } else if ((index -= kDihedralGroups) < kDicyclicGroups) {
    factors[0] = {'Q', 4 * (index + 2)};
  } else if ((index -= kDicyclicGroups) < kElementaryAbelianGroups) {
    const ElementaryAbelian& group = kElementaryAbelian[index];
    count = group.k;
    for (int i = 0; i < count; ++i) factors[i] = {'Z', group.p};
    makeGroupProductJob(factors, count, name, out);
    std::snprintf(name, kJobNameSize, "Z%d^%d", group.p, group.k);
    return;
  } else {
    const GroupProduct& product = kGroupProducts[index - kElementaryAbelianGroups];
    count = factorCount(product);
    for (int i = 0; i < count; ++i) factors[i] = product.factors[i];
  }
  makeGroupProductJob(factors, count, name, out);
}

SubsetCount knownGroups64Count(int index) {
  // A group's subuniverses are its subgroups and the empty set.
  int64_t subgroups;
  if (index < kCyclicGroups) {
    subgroups = tau(index + 1);  // one subgroup for each divisor of n
  } else if ((index -= kCyclicGroups) < kDihedralGroups) {
    // D_2n: for each divisor d of n, the rotations of order d, and the n/d
    // subgroups of d rotations and d reflections: tau(n) + sigma(n) (GAP
    // agrees for n = 3..32).
    int n = index + 3;
    subgroups = tau(n) + sigma(n);
  } else if ((index -= kDihedralGroups) < kDicyclicGroups) {
    // Order 4m: the tau(2m) subgroups of the cyclic <x> of order 2m and
    // sigma(m) more (GAP agrees for m = 2..16).
    int m = index + 2;
    subgroups = tau(2 * m) + sigma(m);
  } else if ((index -= kDicyclicGroups) < kElementaryAbelianGroups) {
    subgroups = subspaces(kElementaryAbelian[index].p, kElementaryAbelian[index].k);
  } else {
    subgroups = kGroupProducts[index - kElementaryAbelianGroups].subgroups;
  }
  return static_cast<SubsetCount>(subgroups) + 1;
}

namespace {

// --- lattices64

// Grids of 32 to 45 elements: two lattice tables of n^2 entries stay
// within the 4096 constraints while n <= 45.
struct Grid {
  int dims[6];
};
const Grid kLatticeGrids[] = {
    {{2, 16}},      {{4, 8}}, {{2, 2, 8}}, {{2, 4, 4}}, {{2, 2, 2, 4}}, {{3, 11}}, {{5, 7}},
    {{6, 6}},       {{4, 9}}, {{2, 3, 6}}, {{3, 3, 4}}, {{2, 2, 3, 3}}, {{5, 8}},  {{2, 20}},
    {{2, 2, 2, 5}}, {{6, 7}}, {{2, 3, 7}}, {{4, 11}},   {{5, 9}},       {{3, 15}}, {{3, 3, 5}},
};
constexpr int kBooleanLattices = 5;  // 2^1..2^5
constexpr int kChainLattices = 15;   // 31..45 elements
static_assert(kLattices64Jobs ==
              kBooleanLattices + kChainLattices + static_cast<int>(std::size(kLatticeGrids)));

int dimensions(const Grid& grid) {
  int count = 0;
  while (count < 6 && grid.dims[count] != 0) ++count;
  return count;
}

// "grid" and the chains' sizes, then `suffix`.
void nameGrid(const Grid& grid, const char* suffix, char* name) {
  int used = appendText(name, 0, "grid");
  for (int i = 0; i < dimensions(grid); ++i)
    used = appendNumber(name, used, i == 0 ? "%d" : "x%d", grid.dims[i]);
  appendText(name, used, suffix);
}

}  // namespace

void makeLattices64Job(int index, char* name, SampleAlgebra& out) {
  if (index < kBooleanLattices) {
    makeBooleanLattice(index + 1, out);
    std::snprintf(name, kJobNameSize, "boolean%d", 2 << index);
  } else if ((index -= kBooleanLattices) < kChainLattices) {
    const int chain[] = {31 + index};
    makeGridLattice(chain, 1, out);
    std::snprintf(name, kJobNameSize, "chain%d", chain[0]);
  } else {
    const Grid& grid = kLatticeGrids[index - kChainLattices];
    makeGridLattice(grid.dims, dimensions(grid), out);
    nameGrid(grid, "", name);
  }
}

SubsetCount knownLattices64Count(int index) {
  if (index < kBooleanLattices) {
    // The sublattices of the Boolean lattice of subsets of an n-set, the
    // empty one included: the families of subsets closed under union and
    // intersection, OEIS A306445 (2, 4, 13, 74, 732, 12085 for n = 0..5;
    // Stanley, Enumerative Combinatorics 1, exercise 3.46).
    const int kSublattices[] = {4, 13, 74, 732, 12085};
    return static_cast<SubsetCount>(kSublattices[index]);
  }
  if ((index -= kBooleanLattices) < kChainLattices) return power(2, 31 + index);  // any subset
  return 0;
}

namespace {

// --- semilattices64

const int kMeetChains[] = {31, 32, 40, 48, 56, 63, 64};

// Trees: kind 0 star, 1 path, 2 binary (parent (x-1)/2), 3 random (parent
// drawn below x with the seed).
struct TreeShape {
  int kind, size, seed;
};
const TreeShape kTrees[] = {{0, 40, 0}, {0, 64, 0}, {1, 64, 0}, {2, 63, 0}, {2, 64, 0},
                            {3, 64, 1}, {3, 64, 2}, {3, 64, 3}, {3, 64, 4}, {3, 48, 5}};

const Grid kMeetGrids[] = {
    {{8, 8}}, {{4, 16}},   {{2, 32}}, {{4, 4, 4}}, {{2, 4, 8}},       {{2, 2, 2, 2, 2, 2}},
    {{7, 9}}, {{3, 3, 7}}, {{5, 12}}, {{3, 20}},   {{2, 2, 2, 2, 4}}, {{6, 10}},
};
constexpr int kMeetChainCount = static_cast<int>(std::size(kMeetChains));
constexpr int kTreeCount = static_cast<int>(std::size(kTrees));
static_assert(kSemilattices64Jobs ==
              kMeetChainCount + kTreeCount + static_cast<int>(std::size(kMeetGrids)));

}  // namespace

void makeSemilattices64Job(int index, char* name, SampleAlgebra& out) {
  if (index < kMeetChainCount) {
    OperationTable chain;
    makeChainSemilattice(kMeetChains[index], chain);
    makeTableAlgebra(chain, out);
    std::snprintf(name, kJobNameSize, "chain%d-meet", kMeetChains[index]);
  } else if ((index -= kMeetChainCount) < kTreeCount) {
    const TreeShape& tree = kTrees[index];
    int parent[kMaxSampleElements] = {};
    SampleRandom random(static_cast<uint64_t>(tree.seed) * 104729 + 64);
    for (int x = 1; x < tree.size; ++x)
      parent[x] = tree.kind == 0   ? 0
                  : tree.kind == 1 ? x - 1
                  : tree.kind == 2 ? (x - 1) / 2
                                   : random.below(x);
    makeTreeSemilattice(tree.size, parent, out);
    static const char* const kTreeNames[] = {"star", "path", "binarytree", "randomtree"};
    int used = appendText(name, 0, kTreeNames[tree.kind]);
    used = appendNumber(name, used, "%d", tree.size);
    if (tree.kind == 3) appendNumber(name, used, "-%d", tree.seed);
  } else {
    const Grid& grid = kMeetGrids[index - kTreeCount];
    makeGridMeetSemilattice(grid.dims, dimensions(grid), out);
    nameGrid(grid, "-meet", name);
  }
}

SubsetCount knownSemilattices64Count(int index) {
  if (index < kMeetChainCount) return power(2, kMeetChains[index]);  // any subset
  if ((index -= kMeetChainCount) < kTreeCount) {
    const TreeShape& tree = kTrees[index];
    if (tree.kind == 1) return power(2, tree.size);  // a path is a chain
    // A star: two leaves meet at the root, so a closed set holds the root
    // and any leaves, or at most one leaf: 2^(n-1) + 1 + (n-1).
    if (tree.kind == 0) return power(2, tree.size - 1) + static_cast<SubsetCount>(tree.size);
  }
  return 0;
}

namespace {

// --- bands64

const int kBandSizes[] = {31, 32, 40, 48, 56, 63, 64};
constexpr int kBandSizeCount = static_cast<int>(std::size(kBandSizes));
constexpr int kSimpleBands = 3 * kBandSizeCount;  // L_k, R_k, N_k
constexpr int kFirstBandTimesNull = 16;           // L_k x N2, k = 16..32
static_assert(kBands64Jobs == kSimpleBands + 2 * (32 - kFirstBandTimesNull + 1));

}  // namespace

void makeBands64Job(int index, char* name, SampleAlgebra& out) {
  OperationTable table;
  if (index < kSimpleBands) {
    int k = kBandSizes[index % kBandSizeCount];
    const char kinds[] = "LRN";
    void (*const makers[])(int, OperationTable&) = {makeLeftZeroBand, makeRightZeroBand,
                                                    makeNullSemigroup};
    makers[index / kBandSizeCount](k, table);
    std::snprintf(name, kJobNameSize, "%c%d", kinds[index / kBandSizeCount], k);
  } else {
    index -= kSimpleBands;
    int k = kFirstBandTimesNull + index / 2;
    OperationTable band, null;
    makeLeftZeroBand(k, band);
    makeNullSemigroup(2, null);
    if (index % 2 == 0) {
      makeProductTable(band, null, table);
      std::snprintf(name, kJobNameSize, "L%dxN2", k);
    } else {
      makeProductTable(null, band, table);
      std::snprintf(name, kJobNameSize, "N2xL%d", k);
    }
  }
  makeTableAlgebra(table, out);
}

SubsetCount knownBands64Count(int index) {
  if (index < kSimpleBands) {
    int k = kBandSizes[index % kBandSizeCount];
    // x*y is x or y: every subset is closed. x*y = 0: a closed set is empty
    // or holds 0.
    return index / kBandSizeCount < 2 ? power(2, k) : power(2, k - 1) + 1;
  }
  // In L_k x N2, (a, u)(b, v) = (a, 0): a closed set holds, for each a,
  // neither (a, 0) nor (a, 1), (a, 0) alone, or both; likewise N2 x L_k.
  return power(3, kFirstBandTimesNull + (index - kSimpleBands) / 2);
}

// --- random64

void makeRandom64Job(int index, char* name, SampleAlgebra& out) {
  // n/2, n, 2n, 3n, 5n, 8n, 16n and 4096 constraints on each size.
  static const int kSizes[] = {31, 40, 48, 56, 64};
  static const int kTimesSize[] = {1, 2, 4, 6, 10, 16, 32};  // halves of n
  int n = kSizes[index / 8], slot = index % 8;
  int count = slot == 7 ? 4096 : kTimesSize[slot] * n / 2;
  makeRandomPartialAlgebra(n, count, 64000 + static_cast<uint64_t>(index), out);
  std::snprintf(name, kJobNameSize, "random%d-%d", n, count);
}

}  // namespace tallyra
