#include "tests/algebras/sample_algebras.h"

#include <cstring>
#include <memory>

namespace tallyra {

void SampleAlgebra::reset(int elements) {
  size = elements;
  constraintCount = 0;
}

void SampleAlgebra::add(int left, int right, int result, int operation) {
  if (constraintCount == kMaxConstraints) return;
  constraints[constraintCount++] =
      Constraint{static_cast<uint8_t>(left + 1), static_cast<uint8_t>(right + 1),
                 static_cast<uint8_t>(result + 1), static_cast<uint8_t>(operation)};
}

uint64_t SampleRandom::next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

int SampleRandom::below(int bound) {
  return static_cast<int>(next() % static_cast<uint64_t>(bound));
}

namespace {

using Order = bool[kMaxSampleElements][kMaxSampleElements];

// The greatest common lower bound of x and y in the order (`up` false), or
// the least common upper bound (`up` true).
int bound(int n, const bool (*leq)[kMaxSampleElements], int x, int y, bool up) {
  auto below = [&](int a, int b) { return up ? leq[b][a] : leq[a][b]; };
  for (int z = 0; z < n; ++z) {
    if (!below(z, x) || !below(z, y)) continue;
    bool greatest = true;
    for (int w = 0; w < n && greatest; ++w)
      if (below(w, x) && below(w, y) && !below(w, z)) greatest = false;
    if (greatest) return z;
  }
  return -1;  // not a lattice
}

}  // namespace

void makeLatticeOfOrder(int n, const bool (*lessOrEqual)[kMaxSampleElements], SampleAlgebra& out) {
  out.reset(n);
  for (int operation = 1; operation <= 2; ++operation)
    for (int x = 0; x < n; ++x)
      for (int y = 0; y < n; ++y)
        out.add(x, y, bound(n, lessOrEqual, x, y, operation == 2), operation);
}

void makeChainLattice(int n, SampleAlgebra& out) { makeChainProductLattice(1, n, out); }

void makeChainProductLattice(int m, int n, SampleAlgebra& out) {
  Order leq = {};
  for (int x = 0; x < m * n; ++x)
    for (int y = 0; y < m * n; ++y) leq[x][y] = x / n <= y / n && x % n <= y % n;
  makeLatticeOfOrder(m * n, leq, out);
}

void makeBooleanLattice(int atoms, SampleAlgebra& out) {
  const int twos[] = {2, 2, 2, 2, 2, 2, 2};
  makeGridLattice(twos, atoms, out);
}

namespace {

// The meet (`up` false) or the join (`up` true) of x and y in the product
// of chains: the least or greatest digit in each place.
int gridBound(const int* dims, int count, int x, int y, bool up) {
  int result = 0, place = 1;
  for (int i = count - 1; i >= 0; --i) {
    int a = x % dims[i], b = y % dims[i];
    result += place * (up == (a > b) ? a : b);
    x /= dims[i], y /= dims[i], place *= dims[i];
  }
  return result;
}

int gridSize(const int* dims, int count) {
  int n = 1;
  for (int i = 0; i < count; ++i) n *= dims[i];
  return n;
}

}  // namespace

void makeGridLattice(const int* dims, int count, SampleAlgebra& out) {
  int n = gridSize(dims, count);
  out.reset(n);
  for (int operation = 1; operation <= 2; ++operation)
    for (int x = 0; x < n; ++x)
      for (int y = 0; y < n; ++y)
        out.add(x, y, gridBound(dims, count, x, y, operation == 2), operation);
}

void makeGridMeetSemilattice(const int* dims, int count, SampleAlgebra& out) {
  int n = gridSize(dims, count);
  out.reset(n);
  for (int x = 0; x < n; ++x)
    for (int y = 0; y < n; ++y) out.add(x, y, gridBound(dims, count, x, y, false));
}

void makeDiamondLattice(SampleAlgebra& out) {
  // 0 below the atoms 1, 2, 3, all below 4.
  Order leq = {};
  for (int x = 0; x < 5; ++x) leq[0][x] = leq[x][4] = leq[x][x] = true;
  makeLatticeOfOrder(5, leq, out);
}

void makePentagonLattice(SampleAlgebra& out) {
  // 0 < 1 < 2 < 4 and 0 < 3 < 4.
  Order leq = {};
  for (int x = 0; x < 5; ++x) leq[0][x] = leq[x][4] = leq[x][x] = true;
  leq[1][2] = true;
  makeLatticeOfOrder(5, leq, out);
}

namespace {

// The elements of a permutation group, found one by one, with a hash
// table from a permutation to its number.
class PermutationList {
 public:
  explicit PermutationList(int points) : points_(points) {
    for (int& slot : slots_) slot = -1;
  }
  int size() const { return size_; }
  const uint8_t* at(int e) const { return elements_[e]; }
  // The number of `p`, or -1 when it is not in the list.
  int find(const uint8_t* p) const {
    for (int slot = hash(p);; slot = (slot + 1) % kSlots) {
      int e = slots_[slot];
      if (e < 0 || std::memcmp(elements_[e], p, points_) == 0) return e;
    }
  }
  // Adds `p` (not in the list); false when the list is full.
  bool add(const uint8_t* p) {
    if (size_ == kMaxSampleElements) return false;
    std::memcpy(elements_[size_], p, points_);
    int slot = hash(p);
    while (slots_[slot] >= 0) slot = (slot + 1) % kSlots;
    slots_[slot] = size_++;
    return true;
  }

 private:
  static constexpr int kSlots = 4 * kMaxSampleElements;
  int hash(const uint8_t* p) const {
    uint32_t h = 2166136261u;
    for (int i = 0; i < points_; ++i) h = (h ^ p[i]) * 16777619u;
    return static_cast<int>(h % kSlots);
  }
  int points_;
  int size_ = 0;
  uint8_t elements_[kMaxSampleElements][kMaxSampleElements] = {};
  int slots_[kSlots];
};

}  // namespace

bool makePermutationGroupTable(int points, const int (*generators)[kMaxSampleElements],
                               int generatorCount, OperationTable& out) {
  auto list = std::make_unique<PermutationList>(points);
  uint8_t product[kMaxSampleElements];
  for (int i = 0; i < points; ++i) product[i] = static_cast<uint8_t>(i);
  list->add(product);
  // Close the identity under right multiplication by the generators.
  for (int e = 0; e < list->size(); ++e) {
    for (int g = 0; g < generatorCount; ++g) {
      for (int i = 0; i < points; ++i) product[i] = list->at(e)[generators[g][i]];
      if (list->find(product) < 0 && !list->add(product)) {
        out.size = 0;
        return false;
      }
    }
  }
  int order = list->size();
  out.size = order;
  for (int a = 0; a < order; ++a) {
    for (int b = 0; b < order; ++b) {
      for (int i = 0; i < points; ++i) product[i] = list->at(a)[list->at(b)[i]];
      out.product[a][b] = static_cast<uint8_t>(list->find(product));
    }
  }
  return true;
}

void makePermutationGroup(int points, const int (*generators)[kMaxSampleElements],
                          int generatorCount, SampleAlgebra& out) {
  auto table = std::make_unique<OperationTable>();
  makePermutationGroupTable(points, generators, generatorCount, *table);
  makeTableAlgebra(*table, out);
}

void makeSymmetricGroup4(SampleAlgebra& out) {
  const int generators[2][kMaxSampleElements] = {{1, 0, 2, 3}, {1, 2, 3, 0}};
  makePermutationGroup(4, generators, 2, out);
}

void makeAlternatingGroup4(SampleAlgebra& out) {
  const int generators[2][kMaxSampleElements] = {{1, 2, 0, 3}, {0, 2, 3, 1}};
  makePermutationGroup(4, generators, 2, out);
}

void makeDihedralGroup8(SampleAlgebra& out) {
  // The symmetries of a square with corners 0, 1, 2, 3.
  const int generators[2][kMaxSampleElements] = {{1, 2, 3, 0}, {0, 3, 2, 1}};
  makePermutationGroup(4, generators, 2, out);
}

void makeQuaternionGroup(SampleAlgebra& out) {
  // i and j acting on the group itself: (0 1 2 3)(4 5 6 7), (0 4 2 6)(1 7 3 5).
  const int generators[2][kMaxSampleElements] = {{1, 2, 3, 0, 5, 6, 7, 4},
                                                 {4, 7, 6, 5, 2, 1, 0, 3}};
  makePermutationGroup(8, generators, 2, out);
}

void makeCyclicGroup(int n, SampleAlgebra& out) {
  out.reset(n);
  for (int x = 0; x < n; ++x)
    for (int y = 0; y < n; ++y) out.add(x, y, (x + y) % n, 2);
}

void makeFullTransformationSemigroup3(SampleAlgebra& out) {
  // Map m sends i to digit i of m in base 3; m*n is "first n, then m".
  auto image = [](int map, int i) { return i == 0 ? map % 3 : i == 1 ? map / 3 % 3 : map / 9; };
  out.reset(27);
  for (int m = 0; m < 27; ++m) {
    for (int n = 0; n < 27; ++n) {
      int product = 0;
      for (int i = 2; i >= 0; --i) product = product * 3 + image(m, image(n, i));
      out.add(m, n, product);
    }
  }
}

void makeDisjointTriples(int n, int k, SampleAlgebra& out) {
  out.reset(n);
  for (int i = 0; i < k; ++i) out.add(3 * i, 3 * i + 1, 3 * i + 2);
}

void makeIdempotents(int n, SampleAlgebra& out) {
  out.reset(n);
  for (int x = 0; x < n; ++x) out.add(x, x, x);
}

void makeSuccessorChain(int n, SampleAlgebra& out) {
  out.reset(n);
  for (int x = 0; x + 1 < n; ++x) out.add(x, x, x + 1);
}

void makeRandomPartialAlgebra(int n, int count, uint64_t seed, SampleAlgebra& out) {
  SampleRandom random(seed);
  out.reset(n);
  for (int i = 0; i < count; ++i) {
    int left = random.below(n), right = random.below(n);
    out.add(left, right, random.below(n));
  }
}

void addAwkwardConstraint(SampleRandom& random, int left, int right, int result,
                          SampleAlgebra& out) {
  switch (random.below(6)) {
    case 0:
      right = left;
      break;
    case 1:
      result = random.below(2) == 0 ? left : right;
      break;
    case 2:
      if (out.constraintCount > 0) {
        const Constraint& earlier = out.constraints[random.below(out.constraintCount)];
        left = earlier.left - 1, right = earlier.right - 1;
      }
      break;
    default:
      break;
  }
  out.add(left, right, result);
}

void makeAwkwardAlgebra(SampleRandom& random, int n, int named, int block, int count,
                        SampleAlgebra& out) {
  out.reset(n);
  for (int i = 0; i < count; ++i) {
    const int base = block > 0 ? random.below(named - block + 1) : 0;
    const int width = block > 0 ? block : named;
    const int a = base + random.below(width), b = base + random.below(width);
    const int c = base + random.below(width);
    addAwkwardConstraint(random, a, b, c, out);
  }
}

void makeLeftZeroBand(int k, OperationTable& out) {
  out.size = k;
  for (int x = 0; x < k; ++x)
    for (int y = 0; y < k; ++y) out.product[x][y] = static_cast<uint8_t>(x);
}

void makeRightZeroBand(int k, OperationTable& out) {
  out.size = k;
  for (int x = 0; x < k; ++x)
    for (int y = 0; y < k; ++y) out.product[x][y] = static_cast<uint8_t>(y);
}

void makeNullSemigroup(int k, OperationTable& out) {
  out.size = k;
  for (int x = 0; x < k; ++x)
    for (int y = 0; y < k; ++y) out.product[x][y] = 0;
}

void makeCyclicGroupTable(int k, OperationTable& out) {
  out.size = k;
  for (int x = 0; x < k; ++x)
    for (int y = 0; y < k; ++y) out.product[x][y] = static_cast<uint8_t>((x + y) % k);
}

void makeChainSemilattice(int k, OperationTable& out) {
  out.size = k;
  for (int x = 0; x < k; ++x)
    for (int y = 0; y < k; ++y) out.product[x][y] = static_cast<uint8_t>(x < y ? x : y);
}

void makeDihedralGroupTable(int n, OperationTable& out) {
  // (s^a r^i)(s^b r^j) = s^(a+b) r^(j + (-1)^b i).
  out.size = 2 * n;
  for (int x = 0; x < 2 * n; ++x) {
    for (int y = 0; y < 2 * n; ++y) {
      int a = x / n, i = x % n, b = y / n, j = y % n;
      int rotation = (j + (b == 0 ? i : n - i)) % n;
      out.product[x][y] = static_cast<uint8_t>((a + b) % 2 * n + rotation);
    }
  }
}

void makeDicyclicGroupTable(int m, OperationTable& out) {
  // (x^i y^a)(x^j y^b) = x^(i + (-1)^a j) y^(a+b), and y^2 = x^m.
  int half = 2 * m;
  out.size = 2 * half;
  for (int u = 0; u < 2 * half; ++u) {
    for (int v = 0; v < 2 * half; ++v) {
      int a = u / half, i = u % half, b = v / half, j = v % half;
      int power = i + (a == 0 ? j : half - j);
      if (a + b == 2) power += m;
      out.product[u][v] = static_cast<uint8_t>((a + b) % 2 * half + power % half);
    }
  }
}

namespace {

// The table's entries read as the digits of a number, after renaming
// element x to rename[x]: equal for isomorphic tables under the renaming
// that maps one onto the other.
uint32_t tableCode(const OperationTable& table, const int* rename) {
  int n = table.size;
  int inverse[3] = {};
  for (int x = 0; x < n; ++x) inverse[rename[x]] = x;
  uint32_t code = 0;
  for (int x = 0; x < n; ++x)
    for (int y = 0; y < n; ++y)
      code = code * static_cast<uint32_t>(n) +
             static_cast<uint32_t>(rename[table.product[inverse[x]][inverse[y]]]);
  return code;
}

bool isAssociative(const OperationTable& t) {
  for (int x = 0; x < t.size; ++x)
    for (int y = 0; y < t.size; ++y)
      for (int z = 0; z < t.size; ++z)
        if (t.product[t.product[x][y]][z] != t.product[x][t.product[y][z]]) return false;
  return true;
}

}  // namespace

int listSemigroups(int n, OperationTable* out, int capacity) {
  if (n < 1 || n > 3) return 0;
  static const int kRenamings[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2},
                                       {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
  int cells = n * n;
  uint32_t tables = 1;
  for (int i = 0; i < cells; ++i) tables *= static_cast<uint32_t>(n);
  int found = 0;
  for (uint32_t code = 0; code < tables && found < capacity; ++code) {
    OperationTable table;
    table.size = n;
    uint32_t rest = code;
    for (int i = cells - 1; i >= 0; --i) {
      table.product[i / n][i % n] = static_cast<uint8_t>(rest % static_cast<uint32_t>(n));
      rest /= static_cast<uint32_t>(n);
    }
    if (!isAssociative(table)) continue;
    // Keep the table whose code is the least of its isomorphism class.
    bool least = true;
    for (const int* rename : kRenamings) {
      bool permutes = true;
      for (int x = 0; x < n; ++x) permutes = permutes && rename[x] < n;
      if (permutes && tableCode(table, rename) < code) least = false;
    }
    if (least) out[found++] = table;
  }
  return found;
}

void makeProductTable(const OperationTable& a, const OperationTable& b, OperationTable& out) {
  OperationTable result;
  result.size = a.size * b.size;
  for (int x = 0; x < result.size; ++x)
    for (int y = 0; y < result.size; ++y)
      result.product[x][y] = static_cast<uint8_t>(a.product[x / b.size][y / b.size] * b.size +
                                                  b.product[x % b.size][y % b.size]);
  out = result;
}

void addTable(const OperationTable& table, int operation, SampleAlgebra& out) {
  for (int x = 0; x < table.size; ++x)
    for (int y = 0; y < table.size; ++y) out.add(x, y, table.product[x][y], operation);
}

void makeTableAlgebra(const OperationTable& table, SampleAlgebra& out) {
  out.reset(table.size);
  addTable(table, 1, out);
}

void makeMeetSemilatticeOfOrder(int n, const bool (*lessOrEqual)[kMaxSampleElements],
                                SampleAlgebra& out) {
  out.reset(n);
  for (int x = 0; x < n; ++x)
    for (int y = 0; y < n; ++y) out.add(x, y, bound(n, lessOrEqual, x, y, false));
}

void makeTreeSemilattice(int n, const int* parent, SampleAlgebra& out) {
  int depth[kMaxSampleElements] = {};
  for (int x = 1; x < n; ++x) depth[x] = depth[parent[x]] + 1;
  out.reset(n);
  for (int x = 0; x < n; ++x) {
    for (int y = 0; y < n; ++y) {
      int a = x, b = y;
      while (a != b) {
        if (depth[a] >= depth[b])
          a = parent[a];
        else
          b = parent[b];
      }
      out.add(x, y, a);
    }
  }
}

void renumberElements(const int* newIndex, SampleAlgebra& algebra) {
  auto renamed = [&](uint8_t position) { return static_cast<uint8_t>(newIndex[position - 1] + 1); };
  for (int i = 0; i < algebra.constraintCount; ++i) {
    Constraint& c = algebra.constraints[i];
    c = Constraint{renamed(c.left), renamed(c.right), renamed(c.result), c.operation};
  }
}

void shuffleElements(SampleRandom& random, SampleAlgebra& algebra) {
  int newIndex[kMaxSampleElements];
  for (int x = 0; x < algebra.size; ++x) newIndex[x] = x;
  for (int x = algebra.size - 1; x > 0; --x) {
    int y = random.below(x + 1);
    int swapped = newIndex[x];
    newIndex[x] = newIndex[y];
    newIndex[y] = swapped;
  }
  renumberElements(newIndex, algebra);
}

}  // namespace tallyra
