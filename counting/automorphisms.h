// The symmetries of a job: the permutations of its elements that map its
// closure rules onto themselves, found by colour refinement and a bounded
// individualisation-refinement search.
//
// A closure rule is a triple ({x, y}, z) from a constraint x*y=z with z not
// x and not y: the operand order and the operation symbol play no part,
// repeated rules fold into one, and x may equal y. A permutation that maps
// the set of rules onto itself maps the closed sets onto the closed sets,
// so it is what counting may use; every automorphism of the algebra itself
// (each operation kept) is such a permutation, and the group may be larger
// (it may, for instance, swap the operands of a product or two operations).
//
// The elements are coloured by what can be seen without a choice (how often
// each is an operand or a result, and of what kind of rule), then the
// colours are refined until every element of a colour meets the rules of
// each colour equally often. The search individualises one element at a
// time along a first path to a leaf; then, from the deepest level up, for
// each element of a level's cell that the generators found so far do not
// already map the base point to, it looks for a leaf that gives a
// permutation mapping the earlier base points to themselves and the base
// point to that element. A leaf's permutation counts only after an exact
// check that it maps every rule onto a rule.
//
// The search counts its work (vertices and rules visited) and stops when a
// budget runs out: the generators found until then are still symmetries,
// and the result says that the group may be larger.
#ifndef TALLYRA_COUNTING_AUTOMORPHISMS_H_
#define TALLYRA_COUNTING_AUTOMORPHISMS_H_

#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

#include "run/job_model.h"

namespace tallyra {

// An allocator of storage that starts as zeros without being written: a
// large block comes from the system as pages of zeros that cost nothing
// until used, so a search of a small job touches a small part of its
// tables. Made without a value, an element is left as it is (zero).
template <typename T>
struct ZeroedAllocator {
  using value_type = T;
  ZeroedAllocator() = default;
  template <typename U>
  explicit ZeroedAllocator(const ZeroedAllocator<U>& /*other*/) {}
  T* allocate(size_t n) {
    void* p = std::calloc(n, sizeof(T));
    if (p == nullptr) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void deallocate(T* p, size_t /*n*/) { std::free(p); }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    if constexpr (sizeof...(Args) > 0) ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
  friend bool operator==(const ZeroedAllocator&, const ZeroedAllocator&) { return true; }
};
template <typename T>
using ZeroedVector = std::vector<T, ZeroedAllocator<T>>;

// The most generators kept. A generator found at a level at least doubles
// the orbit of that level's base point, so no level needs more than 8, and
// the free algebra of 237 elements needs one per level, 236 in all.
constexpr int kMaxGenerators = 256;

// The group found, elements numbered 0..elementCount-1.
struct AutomorphismGroup {
  int elementCount = 0;
  // generators[g][x]: the image of x. Generator g was found at level
  // generatorLevel[g] and fixes base[0..generatorLevel[g]-1]: together they
  // are a strong generating set relative to the base.
  int generatorCount = 0;
  uint8_t generators[kMaxGenerators][kMaxElements] = {};
  int generatorLevel[kMaxGenerators] = {};
  // The base points, and for each level the length of the orbit of
  // base[level] under the generators that fix base[0..level-1].
  int baseLength = 0;
  uint8_t base[kMaxElements] = {};
  int orbitLength[kMaxElements] = {};
  // The product of the orbit lengths: the group's order when complete,
  // else the order of the group the generators generate (a lower bound).
  double order = 1;
  double log2Order = 0;
  // False when the budget or the room for generators ran out first.
  bool complete = false;
  // orbit[x]: the least element of x's orbit under all the generators.
  uint8_t orbit[kMaxElements] = {};
  // The work spent, in the units of the budget.
  int64_t work = 0;
};

// A budget that no job reaches.
constexpr int64_t kUnlimitedSymmetryWork = INT64_MAX / 4;

// The search with its working storage, sized once for the largest job (a
// few megabytes, of which a job touches what its size needs); a search may
// be run for any number of jobs in turn.
class AutomorphismSearch {
 public:
  AutomorphismSearch();

  // Finds the group of the job of `size` elements (1..kMaxElements) given
  // by constraints[0..count-1] (positions 1..size; a constraint with a
  // position outside cannot come from a job file and is ignored), spending
  // at most about `budget` units of work.
  void find(int size, const Constraint* constraints, int count, int64_t budget,
            AutomorphismGroup& out);

 private:
  struct Rule {
    uint8_t left;  // left <= right
    uint8_t right;
    uint8_t result;
  };

  void buildRules(const Constraint* constraints, int count);
  void clearRules();
  [[nodiscard]] bool isRule(int x, int y, int z) const;
  [[nodiscard]] bool mapsRulesOntoRules(const uint8_t* image);

  // The ordered partition of the vertices: the elements 0..size-1 and the
  // rules size..size+ruleCount-1, never in one cell together.
  void resetPartition();
  void refine();
  void countFromElements(int cell);
  void countFromRules(int cell);
  void touch(int vertex, uint64_t amount);
  void splitTouchedCells();
  void splitCell(int cell);
  void enqueue(int cell);
  void individualise(int element);
  void undoTo(int mark);
  [[nodiscard]] int targetCell() const;
  [[nodiscard]] bool overBudget() const { return work_ > budget_; }

  bool searchBelow(int depth);
  bool tryLeaf();
  void searchLevel(int level);
  [[nodiscard]] bool knownFailure(int element);
  void addGenerator(const uint8_t* image, int level);
  int orbitRoot(int element);
  void finish();

  int size_ = 0;
  int ruleCount_ = 0;
  int vertexCount_ = 0;
  ZeroedVector<Rule> rules_;
  // Bit z of the four words of pair {x, y} (x <= y): ({x, y}, z) is a rule.
  ZeroedVector<uint64_t> ruleBits_;
  // The rules each element is in: incidence_[incidenceStart_[x]..
  // incidenceStart_[x+1]-1], each rule index times 4 plus its role (1: one
  // operand, 2: both operands, 3: the result).
  ZeroedVector<int> incidenceStart_;
  ZeroedVector<uint32_t> incidence_;

  // order_[position] is a vertex, position_[vertex] its position; a cell is
  // the positions cell..cellEnd_[cell]-1 and cellOf_[vertex] its first.
  ZeroedVector<int> order_;
  ZeroedVector<int> position_;
  ZeroedVector<int> cellOf_;
  ZeroedVector<int> cellEnd_;
  int elementCells_ = 0;
  // Cells waiting to refine the others, first in first out.
  ZeroedVector<int> queue_;
  ZeroedVector<uint8_t> queued_;
  int queueHead_ = 0;
  int queueLength_ = 0;
  // The counts of one refining step: the touched vertices, their cells and
  // how many of each cell are touched (moved to the cell's end).
  ZeroedVector<uint64_t> count_;
  ZeroedVector<int> touched_;
  int touchedCount_ = 0;
  ZeroedVector<int> touchedCells_;
  int touchedCellCount_ = 0;
  ZeroedVector<int> touchedInCell_;
  // The splits made, undone in reverse.
  struct Split {
    int cell;
    int split;  // the first position of the part split off
  };
  ZeroedVector<Split> splitLog_;
  int splitLogLength_ = 0;
  uint64_t trace_ = 0;

  // The first path: per depth its trace, target cell and the split log's
  // length; its leaf's element order.
  uint64_t firstTrace_[kMaxElements + 1] = {};
  int firstCell_[kMaxElements + 1] = {};
  int firstMark_[kMaxElements + 1] = {};
  int firstLeaf_[kMaxElements] = {};
  int firstDepth_ = 0;
  int level_ = 0;  // the level whose generators are searched for
  // The candidates of each depth of a search below the first path.
  uint8_t candidates_[kMaxElements + 1][kMaxElements] = {};
  uint8_t image_[kMaxElements] = {};
  // Elements of the current level with no symmetry mapping the base point
  // to them.
  uint8_t failed_[kMaxElements] = {};
  int failedCount_ = 0;
  int orbitParent_[kMaxElements] = {};
  int orbitSize_[kMaxElements] = {};

  int64_t work_ = 0;
  int64_t budget_ = 0;
  bool stopped_ = false;
  AutomorphismGroup* out_ = nullptr;
};

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_AUTOMORPHISMS_H_
