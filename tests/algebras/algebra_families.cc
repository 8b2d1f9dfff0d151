#include "tests/algebras/algebra_families.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "tests/algebras/big_algebra_families.h"
#include "tests/algebras/large_algebra_families.h"

namespace tallyra {
namespace {

// --- the fixed list

struct FixedJob {
  const char* name;
  void (*make)(SampleAlgebra& out);
};

template <int Count>
void random30(SampleAlgebra& out) {
  makeRandomPartialAlgebra(30, Count, 1000 + Count, out);
}

const FixedJob kFixedJobs[] = {
    {"chain30", [](SampleAlgebra& out) { makeChainLattice(30, out); }},
    {"chains5x6", [](SampleAlgebra& out) { makeChainProductLattice(5, 6, out); }},
    {"boolean16", [](SampleAlgebra& out) { makeBooleanLattice(4, out); }},
    {"S4", makeSymmetricGroup4},
    {"A4", makeAlternatingGroup4},
    {"Q8", makeQuaternionGroup},
    {"dihedral8", makeDihedralGroup8},
    {"Z30", [](SampleAlgebra& out) { makeCyclicGroup(30, out); }},
    {"T3", makeFullTransformationSemigroup3},
    {"triples10", [](SampleAlgebra& out) { makeDisjointTriples(30, 10, out); }},
    {"idempotent30", [](SampleAlgebra& out) { makeIdempotents(30, out); }},
    {"successor30", [](SampleAlgebra& out) { makeSuccessorChain(30, out); }},
    {"random30-20", random30<20>},
    {"random30-40", random30<40>},
    {"random30-60", random30<60>},
    {"random30-80", random30<80>},
    {"random30-120", random30<120>},
    {"random30-160", random30<160>},
    {"random30-300", random30<300>},
    {"random30-4096", random30<4096>},
};

void fixedJob(int index, char* name, SampleAlgebra& out) {
  std::snprintf(name, kJobNameSize, "%s", kFixedJobs[index].name);
  kFixedJobs[index].make(out);
}

// --- semigroup factors

// The 29 semigroups of order 2 and 3, named S2a..S2e and S3a..S3x.
constexpr int kSmallSemigroups = 29;

const OperationTable& smallSemigroup(int index) {
  struct List {
    OperationTable tables[kSmallSemigroups];
    List() {
      int two = listSemigroups(2, tables, 5);
      listSemigroups(3, tables + two, kSmallSemigroups - two);
    }
  };
  static const List list;
  return list.tables[index];
}

// A factor: one of the small semigroups (kind 'S') or a named one: L_k
// (left zero band), R_k (right zero band), N_k (null semigroup), Z_k
// (cyclic group), C_k (chain, x*y = min).
struct Factor {
  char kind;
  int size;  // for 'S': the index of the small semigroup
};

constexpr char kNamedKinds[] = "LRNZC";

int factorSize(Factor f) { return f.kind == 'S' ? (f.size < 5 ? 2 : 3) : f.size; }

int appendName(Factor f, char* name, int used) {
  const char* separator = used == 0 ? "" : "x";
  int room = kJobNameSize - used;
  int written = f.kind == 'S'
                    ? std::snprintf(name + used, room, "%sS%d%c", separator, factorSize(f),
                                    static_cast<char>('a' + (f.size < 5 ? f.size : f.size - 5)))
                    : std::snprintf(name + used, room, "%s%c%d", separator, f.kind, f.size);
  return used + (written < room ? written : room - 1);
}

// The makers of the named kinds, in the order of kNamedKinds.
void (*const kNamedMakers[])(int, OperationTable&) = {makeLeftZeroBand, makeRightZeroBand,
                                                      makeNullSemigroup, makeCyclicGroupTable,
                                                      makeChainSemilattice};

void makeFactor(Factor f, OperationTable& out) {
  if (f.kind == 'S')
    out = smallSemigroup(f.size);
  else
    kNamedMakers[std::strchr(kNamedKinds, f.kind) - kNamedKinds](f.size, out);
}

// The product of the factors, in their order, as a job named after them.
void makeProductJob(const Factor* factors, int count, char* name, SampleAlgebra& out) {
  OperationTable product, factor;
  makeFactor(factors[0], product);
  int used = appendName(factors[0], name, 0);
  for (int i = 1; i < count; ++i) {
    makeFactor(factors[i], factor);
    makeProductTable(product, factor, product);
    used = appendName(factors[i], name, used);
  }
  makeTableAlgebra(product, out);
}

void bandTimesNull(int index, char* name, SampleAlgebra& out) {
  Factor band{'L', index / 2 + 1}, null{'N', 2};
  Factor factors[2] = {band, null};
  if (index % 2 == 1) factors[0] = null, factors[1] = band;
  makeProductJob(factors, 2, name, out);
}

// L_k x N2 has 3^k subuniverses, N2 x L_k too (large_algebra_families.cc).
SubsetCount bandTimesNullCount(int index) {
  SubsetCount count = 1;
  for (int k = 0; k <= index / 2; ++k) count *= 3;
  return count;
}

void semigroupPair(int index, char* name, SampleAlgebra& out) {
  Factor factors[2] = {{'S', index / kSmallSemigroups}, {'S', index % kSmallSemigroups}};
  makeProductJob(factors, 2, name, out);
}

void semigroupTriple(int index, char* name, SampleAlgebra& out) {
  Factor factors[3] = {{'S', index / (kSmallSemigroups * kSmallSemigroups)},
                       {'S', index / kSmallSemigroups % kSmallSemigroups},
                       {'S', index % kSmallSemigroups}};
  makeProductJob(factors, 3, name, out);
}

// Named pairs X_a x Y_b with a, b >= 2 and ab <= 30: 51 size pairs times
// 25 kind pairs.
constexpr int kNamedSizePairs = 51;

void namedPair(int index, char* name, SampleAlgebra& out) {
  int sizes = index / 25, kinds = index % 25;
  int a = 2;
  while (sizes >= 30 / a - 1) sizes -= 30 / a - 1, ++a;
  Factor factors[2] = {{kNamedKinds[kinds / 5], a}, {kNamedKinds[kinds % 5], 2 + sizes}};
  makeProductJob(factors, 2, name, out);
}

// A small semigroup S times a named X_k, in both factor orders: k = 2..15
// for |S| = 2, k = 2..10 for |S| = 3.
constexpr int kSmallTimesNamedTwo = 5 * 5 * 14 * 2;
constexpr int kSmallTimesNamed = kSmallTimesNamedTwo + 24 * 5 * 9 * 2;

void smallTimesNamed(int index, char* name, SampleAlgebra& out) {
  int sizes = 14, first = 0;
  if (index >= kSmallTimesNamedTwo) index -= kSmallTimesNamedTwo, sizes = 9, first = 5;
  int order = index % 2;
  index /= 2;
  Factor named{kNamedKinds[index % 5], 2 + index / 5 % sizes};
  Factor small{'S', first + index / 5 / sizes};
  Factor factors[2] = {small, named};
  if (order == 1) factors[0] = named, factors[1] = small;
  makeProductJob(factors, 2, name, out);
}

// --- lattices and semilattices

using Order = bool[kMaxSampleElements][kMaxSampleElements];

// The shapes of partial orders with all meets; `a`..`d` are parameters.
enum class Shape { kGrid, kDiamond, kPentagon, kPartitions4, kMonotone3, kClosures, kTree };
struct OrderShape {
  Shape shape;
  int a, b, c, d;
};

// Grids (products of chains of lengths a, b, c, d; 1 for none), the
// diamond M_a, the pentagon, the partitions of 4 points, the monotone
// Boolean functions of 3 variables (the free distributive lattice on 3
// generators with 0 and 1), random intersection-closed families of subsets
// of 6 points with the whole set (seed a), trees: a = 0 star, 1 path,
// 2 binary, 3 random (seed c), on b nodes.
const OrderShape kOrderShapes[] = {
    {Shape::kGrid, 30, 1, 1, 1},       {Shape::kGrid, 12, 1, 1, 1},
    {Shape::kGrid, 2, 15, 1, 1},       {Shape::kGrid, 2, 8, 1, 1},
    {Shape::kGrid, 3, 10, 1, 1},       {Shape::kGrid, 3, 6, 1, 1},
    {Shape::kGrid, 4, 7, 1, 1},        {Shape::kGrid, 4, 5, 1, 1},
    {Shape::kGrid, 5, 6, 1, 1},        {Shape::kGrid, 5, 5, 1, 1},
    {Shape::kGrid, 2, 2, 2, 1},        {Shape::kGrid, 2, 2, 3, 1},
    {Shape::kGrid, 2, 3, 3, 1},        {Shape::kGrid, 2, 3, 5, 1},
    {Shape::kGrid, 3, 3, 3, 1},        {Shape::kGrid, 2, 2, 7, 1},
    {Shape::kGrid, 2, 2, 2, 2},        {Shape::kGrid, 2, 2, 2, 3},
    {Shape::kGrid, 2, 3, 4, 1},        {Shape::kDiamond, 3, 0, 0, 0},
    {Shape::kDiamond, 6, 0, 0, 0},     {Shape::kDiamond, 12, 0, 0, 0},
    {Shape::kDiamond, 28, 0, 0, 0},    {Shape::kPentagon, 0, 0, 0, 0},
    {Shape::kPartitions4, 0, 0, 0, 0}, {Shape::kMonotone3, 0, 0, 0, 0},
    {Shape::kClosures, 1, 0, 0, 0},    {Shape::kClosures, 2, 0, 0, 0},
    {Shape::kClosures, 3, 0, 0, 0},    {Shape::kClosures, 4, 0, 0, 0},
    {Shape::kClosures, 5, 0, 0, 0},    {Shape::kClosures, 6, 0, 0, 0},
    {Shape::kClosures, 7, 0, 0, 0},    {Shape::kClosures, 8, 0, 0, 0},
    {Shape::kTree, 0, 30, 0, 0},       {Shape::kTree, 1, 30, 0, 0},
    {Shape::kTree, 2, 30, 0, 0},       {Shape::kTree, 2, 15, 0, 0},
    {Shape::kTree, 3, 30, 1, 0},       {Shape::kTree, 3, 30, 2, 0},
    {Shape::kTree, 3, 30, 3, 0},       {Shape::kTree, 3, 20, 4, 0},
};
constexpr int kOrderShapeCount = sizeof kOrderShapes / sizeof kOrderShapes[0];
// The random families of sets grow to at most 30 sets (the element limit
// when these shapes were made; kept so that their jobs stay the same).
constexpr int kClosureSets = 30;
// Trees are semilattices only (two leaves have no common upper bound).
constexpr int kLatticeShapeCount = kOrderShapeCount - 8;

// Fills the order and returns its size and name.
int makeOrder(const OrderShape& s, Order& leq, char* name) {
  for (auto& row : leq)
    for (bool& cell : row) cell = false;
  switch (s.shape) {
    case Shape::kGrid: {
      int n = s.a * s.b * s.c * s.d;
      const int dims[4] = {s.a, s.b, s.c, s.d};
      for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
          bool below = true;
          for (int i = 3, rx = x, ry = y; i >= 0; --i) {
            below = below && rx % dims[i] <= ry % dims[i];
            rx /= dims[i], ry /= dims[i];
          }
          leq[x][y] = below;
        }
      }
      int used = std::snprintf(name, kJobNameSize, "grid%d", s.a);
      for (int i = 1; i < 4; ++i)
        if (dims[i] > 1) used += std::snprintf(name + used, kJobNameSize - used, "x%d", dims[i]);
      return n;
    }
    case Shape::kDiamond:  // 0, the atoms 1..a, a+1
      for (int x = 0; x < s.a + 2; ++x) leq[0][x] = leq[x][s.a + 1] = leq[x][x] = true;
      std::snprintf(name, kJobNameSize, "M%d", s.a);
      return s.a + 2;
    case Shape::kPentagon:  // 0 < 1 < 2 < 4, 0 < 3 < 4
      for (int x = 0; x < 5; ++x) leq[0][x] = leq[x][4] = leq[x][x] = true;
      leq[1][2] = true;
      std::snprintf(name, kJobNameSize, "N5");
      return 5;
    case Shape::kPartitions4: {
      // Restricted growth strings of length 4, two bits a point.
      int blocks[15][4], n = 0;
      for (int code = 0; code < 256; ++code) {
        int p[4], top = -1;
        bool valid = true;
        for (int i = 0; i < 4; ++i) {
          p[i] = code >> (2 * i) & 3;
          valid = valid && p[i] <= top + 1;
          if (p[i] > top) top = p[i];
        }
        if (!valid) continue;
        for (int i = 0; i < 4; ++i) blocks[n][i] = p[i];
        ++n;
      }
      for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
          bool finer = true;
          for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
              if (blocks[x][i] == blocks[x][j] && blocks[y][i] != blocks[y][j]) finer = false;
          leq[x][y] = finer;
        }
      }
      std::snprintf(name, kJobNameSize, "partitions4");
      return n;
    }
    case Shape::kMonotone3: {
      int functions[20], n = 0;
      for (int f = 0; f < 256; ++f) {
        bool monotone = true;
        for (int u = 0; u < 8; ++u)
          for (int v = 0; v < 8; ++v)
            if ((u & ~v) == 0 && (f >> u & 1) > (f >> v & 1)) monotone = false;
        if (monotone) functions[n++] = f;
      }
      for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y) leq[x][y] = (functions[x] & ~functions[y]) == 0;
      std::snprintf(name, kJobNameSize, "freedistributive3");
      return n;
    }
    case Shape::kClosures: {
      SampleRandom random(static_cast<uint64_t>(s.a) * 7919);
      int sets[kClosureSets] = {63}, n = 1;
      for (int tries = 0; tries < 200; ++tries) {
        int grown[2 * kClosureSets], m = n;
        for (int i = 0; i < n; ++i) grown[i] = sets[i];
        grown[m++] = random.below(64);
        for (int i = 0; i < m && m <= kClosureSets; ++i) {
          for (int j = 0; j < i && m <= kClosureSets; ++j) {
            int meet = grown[i] & grown[j];
            bool known = false;
            for (int k = 0; k < m; ++k) known = known || grown[k] == meet;
            if (!known) grown[m++] = meet;
          }
        }
        if (m > kClosureSets) continue;
        for (int i = 0; i < m; ++i) sets[i] = grown[i];
        n = m;
      }
      for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y) leq[x][y] = (sets[x] & ~sets[y]) == 0;
      std::snprintf(name, kJobNameSize, "closures%d", s.a);
      return n;
    }
    case Shape::kTree: {
      int parent[kMaxSampleElements] = {};
      SampleRandom random(static_cast<uint64_t>(s.c) * 104729);
      for (int x = 1; x < s.b; ++x)
        parent[x] = s.a == 0 ? 0 : s.a == 1 ? x - 1 : s.a == 2 ? (x - 1) / 2 : random.below(x);
      for (int x = 0; x < s.b; ++x)
        for (int y = x;; y = parent[y]) {
          leq[y][x] = true;  // y is an ancestor of x: lower in the order
          if (y == 0) break;
        }
      static const char* const kTreeNames[] = {"star", "path", "binarytree", "randomtree"};
      if (s.a == 3)
        std::snprintf(name, kJobNameSize, "%s%d-%d", kTreeNames[s.a], s.b, s.c);
      else
        std::snprintf(name, kJobNameSize, "%s%d", kTreeNames[s.a], s.b);
      return s.b;
    }
  }
  return 0;
}

void lattice(int index, char* name, SampleAlgebra& out) {
  Order leq;
  int n = makeOrder(kOrderShapes[index], leq, name);
  makeLatticeOfOrder(n, leq, out);
}

void semilattice(int index, char* name, SampleAlgebra& out) {
  Order leq;
  int n = makeOrder(kOrderShapes[index], leq, name);
  makeMeetSemilatticeOfOrder(n, leq, out);
  int used = 0;
  while (name[used] != '\0') ++used;
  std::snprintf(name + used, kJobNameSize - used, "-meet");
}

const AlgebraFamily kFamilies[] = {
    {kFixedListFamily, "the fixed list of twenty jobs the benchmark began with",
     static_cast<int>(std::size(kFixedJobs)), fixedJob, nullptr},
    {"LkxN2", "L_k x N2 and N2 x L_k, k = 1..15", 30, bandTimesNull, bandTimesNullCount},
    {"pairs", "S x T for all semigroups S, T of order 2 and 3", kSmallSemigroups* kSmallSemigroups,
     semigroupPair, nullptr},
    {"triples", "S x T x U for all semigroups S, T, U of order 2 and 3",
     kSmallSemigroups* kSmallSemigroups* kSmallSemigroups, semigroupTriple, nullptr},
    {"named", "X_a x Y_b, X, Y in {L, R, N, Z, C}, a, b >= 2, ab <= 30", kNamedSizePairs * 25,
     namedPair, nullptr},
    {"small-named", "S x X_k and X_k x S, S of order 2 or 3, X in {L, R, N, Z, C}",
     kSmallTimesNamed, smallTimesNamed, nullptr},
    {"lattices", "grids, diamonds, N5, partitions of 4, free distributive on 3, random",
     kLatticeShapeCount, lattice, nullptr},
    {"semilattices", "the same orders with meet alone, and trees", kOrderShapeCount, semilattice,
     nullptr},
    // Up to 64 elements.
    {"groups64",
     "Z_n (n <= 64), D_2n (2n = 6..64), dicyclic and quaternion groups of order 8..64, 2^k and "
     "3^k, other direct products",
     kGroups64Jobs, makeGroups64Job, knownGroups64Count},
    {"lattices64", "Boolean lattices 2^1..2^5, chains of 31..45, grids of 32..45 elements",
     kLattices64Jobs, makeLattices64Job, knownLattices64Count},
    {"semilattices64", "meet tables of chains and trees of 31..64 and grids of 60..64 elements",
     kSemilattices64Jobs, makeSemilattices64Job, knownSemilattices64Count},
    {"bands64", "L_k, R_k, N_k for k = 31..64; L_k x N2 and N2 x L_k for k = 16..32", kBands64Jobs,
     makeBands64Job, knownBands64Count},
    {"random64", "random partial algebras of 31..64 elements, n/2 to 4096 constraints",
     kRandom64Jobs, makeRandom64Job, nullptr},
    // 65 to 237 elements.
    {"groups200",
     "SmallGroup(n, i) of GAP's library, n = 65..200: every group of the orders with at most 250, "
     "a choice of those of 128 and 192",
     groups200Jobs(), makeGroups200Job, knownGroups200Count, 65},
    {"groups237",
     "Z_n (n = 65..237), D_2n (2n = 66..236), dicyclic groups of order 68..236, elementary "
     "abelian groups and products of coprime orders",
     kGroups237Jobs, makeGroups237Job, knownGroups237Count, 65},
    {"lattices237",
     "with meet and join: chains of 65..237, the Boolean lattice of 128 elements, grids 2 x n, "
     "other grids of 66..105 elements",
     kLattices237Jobs, makeLattices237Job, knownLattices237Count, 65},
    {"semilattices237", "meet tables of chains, trees and grids 2 x n of 65..237 elements",
     kSemilattices237Jobs, makeSemilattices237Job, knownSemilattices237Count, 65},
    {"bands237",
     "free algebras, L_k, R_k, L_k and R_k together, N_k for k = 65..237; L_k x N2, N2 x L_k for "
     "k = 33..118",
     kBands237Jobs, makeBands237Job, knownBands237Count, 65},
    {"sums237", "disjoint unions of groups, lattices, chains, null semigroups and free elements",
     kSums237Jobs, makeSums237Job, knownSums237Count, 65},
    {"grids237",
     "grids 10 x 10 to 15 x 15 and others of 100..237 elements with meet and join (counted by "
     "name only)",
     kGrids237Jobs, makeGrids237Job, nullptr, 100, true},
    {"cube7-meet", "the subsets of 7 points under intersection (not a test: counted by name only)",
     kCube7Jobs, makeCube7Job, knownCube7Count, 128, true},
};

}  // namespace

std::span<const AlgebraFamily> algebraFamilies() { return kFamilies; }

const AlgebraFamily* findFamily(std::string_view name) {
  for (const AlgebraFamily& family : kFamilies)
    if (name == family.name) return &family;
  return nullptr;
}

}  // namespace tallyra
