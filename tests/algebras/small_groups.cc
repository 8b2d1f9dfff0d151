#include "tests/algebras/small_groups.h"

#include <cstdlib>
#include <memory>

namespace tallyra {
namespace {

// The most generators of a pcgs of a group of at most kMaxSampleElements
// elements (2^7 = 128 <= 237 < 256 = 2^8).
constexpr int kMostPcGenerators = 7;

// Reads the numbers of a presentation one by one; the separators ";" and
// ":" end a part.
class NumberText {
 public:
  explicit NumberText(const char* text) : text_(text) {}
  // The next number of the current part into `value`; false at the end of
  // the part (which is then left) or of the text.
  bool next(int& value) {
    while (*text_ == ' ') ++text_;
    if (*text_ == ';' || *text_ == ':') {
      ++text_;
      return false;
    }
    if (*text_ < '0' || *text_ > '9') return false;
    char* end = nullptr;
    long number = std::strtol(text_, &end, 10);
    text_ = end;
    if (number > 100000) return false;
    value = static_cast<int>(number);
    return true;
  }
  bool atEnd() const { return *text_ == '\0'; }

 private:
  const char* text_;
};

// Whether every row and every column of the table holds every element.
bool isLatinSquare(const OperationTable& table) {
  int n = table.size;
  for (int x = 0; x < n; ++x) {
    bool inRow[kMaxSampleElements] = {}, inColumn[kMaxSampleElements] = {};
    for (int y = 0; y < n; ++y) {
      inRow[table.product[x][y]] = true;
      inColumn[table.product[y][x]] = true;
    }
    for (int y = 0; y < n; ++y)
      if (!inRow[y] || !inColumn[y]) return false;
  }
  return true;
}

// The table of a pc presentation (small_groups.h). Element g_i^a y of
// G_i = <g_i, .., g_k>, with y in G_(i+1), is numbered a |G_(i+1)| + y, so
// the table of G_i holds that of G_(i+1) in its first rows and columns;
// the tables are built from G_k up to G_1 in place. In G_i, with g = g_i,
// p = p_i and phi(y) = g^-1 y g (an automorphism of G_(i+1)),
//   (g^a y)(g^b z) = g^(a+b) phi^b(y) z,
// and g^(a+b) = g^(a+b-p) g^p when a + b >= p, where g^p lies in G_(i+1).
bool makePcGroupTable(const char* text, int order, OperationTable& out) {
  NumberText numbers(text);
  int primes[kMostPcGenerators], powers[kMostPcGenerators];
  int commutators[kMostPcGenerators][kMostPcGenerators] = {};
  int k = 0, value;
  while (numbers.next(value)) {
    if (k == kMostPcGenerators || value < 2) return false;
    primes[k++] = value;
  }
  // sizes[i] = |G_i| = p_i .. p_k (0-based), sizes[k] = 1.
  int sizes[kMostPcGenerators + 1];
  sizes[k] = 1;
  for (int i = k - 1; i >= 0; --i) sizes[i] = sizes[i + 1] * primes[i];
  if (sizes[0] != order || order > kMaxSampleElements) return false;
  for (int i = 0; i < k; ++i)
    if (!numbers.next(powers[i]) || powers[i] >= sizes[i + 1]) return false;
  if (numbers.next(value)) return false;
  for (int i = 0; i < k; ++i)
    for (int j = i + 1; j < k; ++j)
      if (!numbers.next(commutators[i][j]) || commutators[i][j] >= sizes[i + 1]) return false;
  if (numbers.next(value) || !numbers.atEnd()) return false;

  out.size = order;
  out.product[0][0] = 0;
  for (int i = k - 1; i >= 0; --i) {
    const int below = sizes[i + 1], p = primes[i];
    auto times = [&out](int x, int y) { return static_cast<int>(out.product[x][y]); };
    // phi(g_j) = g_j Comm(g_j, g_i) for j > i, and phi of y = g_(i+1)^e_(i+1)
    // .. g_k^e_k the product of the phi(g_j)^e_j.
    int phiOfGenerator[kMostPcGenerators];
    for (int j = i + 1; j < k; ++j) phiOfGenerator[j] = times(sizes[j + 1], commutators[i][j]);
    // phiPower[b * below + y] = phi^b(y), b = 0..p-1.
    int phiPower[kMaxSampleElements];
    for (int y = 0; y < below; ++y) {
      phiPower[y] = y;
      if (p == 1) continue;
      int image = 0;
      for (int j = i + 1; j < k; ++j)
        for (int e = y / sizes[j + 1] % primes[j]; e > 0; --e)
          image = times(image, phiOfGenerator[j]);
      phiPower[below + y] = image;
    }
    for (int b = 2; b < p; ++b)
      for (int y = 0; y < below; ++y)
        phiPower[b * below + y] = phiPower[below + phiPower[(b - 1) * below + y]];
    for (int a = 0; a < p; ++a) {
      for (int y = 0; y < below; ++y) {
        for (int b = 0; b < p; ++b) {
          for (int z = 0; z < below; ++z) {
            int rest = times(phiPower[b * below + y], z);
            int result =
                a + b < p ? (a + b) * below + rest : (a + b - p) * below + times(powers[i], rest);
            out.product[a * below + y][b * below + z] = static_cast<uint8_t>(result);
          }
        }
      }
    }
  }
  return isLatinSquare(out);
}

bool makePermutationTable(const char* text, int order, OperationTable& out) {
  NumberText numbers(text);
  int degree;
  if (!numbers.next(degree) || degree < 1 || degree > kMaxSampleElements) return false;
  if (numbers.next(degree)) return false;  // the ":" after the degree
  auto generators = std::make_unique<int[][kMaxSampleElements]>(kMostPcGenerators);
  int count = 0;
  while (!numbers.atEnd()) {
    if (count == kMostPcGenerators) return false;
    int points = 0, image;
    bool seen[kMaxSampleElements] = {};
    while (numbers.next(image)) {
      if (points == degree || image >= degree || seen[image]) return false;
      seen[image] = true;
      generators[count][points++] = image;
    }
    if (points != degree) return false;
    ++count;
  }
  return makePermutationGroupTable(degree, generators.get(), count, out) && out.size == order &&
         isLatinSquare(out);
}

}  // namespace

bool makeSmallGroupTable(const SmallGroupData& group, OperationTable& out) {
  return group.permutations ? makePermutationTable(group.presentation, group.order, out)
                            : makePcGroupTable(group.presentation, group.order, out);
}

}  // namespace tallyra
