#include "counting/automorphisms.h"

#include <algorithm>
#include <cmath>

namespace tallyra {
namespace {

constexpr int kMaxRules = kMaxConstraints;
constexpr int kMaxVertices = kMaxElements + kMaxRules;
constexpr int kPairCount = kMaxElements * (kMaxElements + 1) / 2;
constexpr int kResultWords = (kMaxElements + 63) / 64;

// What an element's count gains from a rule of the refining cell: one per
// rule with it as one operand, kBothOperands when it is both, kResult when
// it is the result. An element is one operand of fewer than 2^17 rules and
// the result of fewer than 2^15, so the three never run into each other.
constexpr uint64_t kResult = uint64_t{1} << 20;
constexpr uint64_t kBothOperands = uint64_t{1} << 40;

// The index of the unordered pair {x, y}, x <= y.
int pairIndex(int x, int y) { return y * (y + 1) / 2 + x; }

uint64_t mix(uint64_t trace, uint64_t value) {
  uint64_t h = (trace ^ value) * 0x9E3779B97F4A7C15u;
  return h ^ (h >> 29);
}

}  // namespace

AutomorphismSearch::AutomorphismSearch()
    : rules_(kMaxRules),
      ruleBits_(static_cast<size_t>(kPairCount) * kResultWords),
      incidenceStart_(kMaxElements + 1),
      incidence_(3 * static_cast<size_t>(kMaxRules)),
      order_(kMaxVertices),
      position_(kMaxVertices),
      cellOf_(kMaxVertices),
      cellEnd_(kMaxVertices),
      queue_(kMaxVertices),
      queued_(kMaxVertices),
      count_(kMaxVertices),
      touched_(kMaxVertices),
      touchedCells_(kMaxVertices),
      touchedInCell_(kMaxVertices),
      splitLog_(kMaxVertices) {}

bool AutomorphismSearch::isRule(int x, int y, int z) const {
  if (x > y) std::swap(x, y);
  uint64_t word = ruleBits_[static_cast<size_t>(pairIndex(x, y)) * kResultWords + z / 64];
  return (word >> (z % 64) & 1) != 0;
}

void AutomorphismSearch::buildRules(const Constraint* constraints, int count) {
  ruleCount_ = 0;
  const unsigned size = static_cast<unsigned>(size_);
  for (int i = 0; i < count; ++i) {
    const Constraint& c = constraints[i];
    if (c.left - 1u >= size || c.right - 1u >= size || c.result - 1u >= size) continue;
    int x = c.left - 1;
    int y = c.right - 1;
    int z = c.result - 1;
    if (z == x || z == y) continue;
    if (x > y) std::swap(x, y);
    uint64_t& word = ruleBits_[static_cast<size_t>(pairIndex(x, y)) * kResultWords + z / 64];
    const uint64_t bit = uint64_t{1} << (z % 64);
    if ((word & bit) != 0) continue;
    word |= bit;
    rules_[ruleCount_++] =
        Rule{static_cast<uint8_t>(x), static_cast<uint8_t>(y), static_cast<uint8_t>(z)};
  }
  work_ += count;

  // Each element's rules, by counting sort.
  std::fill_n(incidenceStart_.begin(), size_ + 1, 0);
  for (int r = 0; r < ruleCount_; ++r) {
    const Rule& rule = rules_[r];
    ++incidenceStart_[rule.left + 1];
    if (rule.right != rule.left) ++incidenceStart_[rule.right + 1];
    ++incidenceStart_[rule.result + 1];
  }
  for (int x = 0; x < size_; ++x) incidenceStart_[x + 1] += incidenceStart_[x];
  int next[kMaxElements];
  std::copy_n(incidenceStart_.begin(), size_, next);
  for (int r = 0; r < ruleCount_; ++r) {
    const Rule& rule = rules_[r];
    const uint32_t index = static_cast<uint32_t>(r) << 2;
    if (rule.right == rule.left) {
      incidence_[next[rule.left]++] = index | 2;
    } else {
      incidence_[next[rule.left]++] = index | 1;
      incidence_[next[rule.right]++] = index | 1;
    }
    incidence_[next[rule.result]++] = index | 3;
  }
  work_ += ruleCount_;
}

void AutomorphismSearch::clearRules() {
  for (int r = 0; r < ruleCount_; ++r) {
    const Rule& rule = rules_[r];
    ruleBits_[static_cast<size_t>(pairIndex(rule.left, rule.right)) * kResultWords +
              rule.result / 64] = 0;
  }
  ruleCount_ = 0;
}

bool AutomorphismSearch::mapsRulesOntoRules(const uint8_t* image) {
  // The image has as many rules as the job, so into is onto.
  for (int r = 0; r < ruleCount_; ++r) {
    const Rule& rule = rules_[r];
    if (!isRule(image[rule.left], image[rule.right], image[rule.result])) {
      work_ += r + 1;
      return false;
    }
  }
  work_ += ruleCount_;
  return true;
}

// --- The ordered partition and its refinement.

void AutomorphismSearch::resetPartition() {
  vertexCount_ = size_ + ruleCount_;
  for (int v = 0; v < vertexCount_; ++v) {
    order_[v] = v;
    position_[v] = v;
    cellOf_[v] = v < size_ ? 0 : size_;
  }
  cellEnd_[0] = size_;
  if (ruleCount_ > 0) cellEnd_[size_] = vertexCount_;
  elementCells_ = 1;
  splitLogLength_ = 0;
  queueHead_ = 0;
  queueLength_ = 0;
  trace_ = 0;
  // All the elements refine nothing (every rule has all its elements
  // there), so the rules are the one cell to start from.
  if (ruleCount_ > 0) enqueue(size_);
}

void AutomorphismSearch::enqueue(int cell) {
  if (queued_[cell] != 0) return;
  queued_[cell] = 1;
  queue_[(queueHead_ + queueLength_) % kMaxVertices] = cell;
  ++queueLength_;
}

void AutomorphismSearch::touch(int vertex, uint64_t amount) {
  if (count_[vertex] == 0) {
    touched_[touchedCount_++] = vertex;
    const int cell = cellOf_[vertex];
    if (touchedInCell_[cell] == 0) touchedCells_[touchedCellCount_++] = cell;
    // The touched vertices of a cell gather at its end.
    const int to = cellEnd_[cell] - 1 - touchedInCell_[cell];
    const int from = position_[vertex];
    const int other = order_[to];
    order_[from] = other;
    position_[other] = from;
    order_[to] = vertex;
    position_[vertex] = to;
    ++touchedInCell_[cell];
  }
  count_[vertex] += amount;
}

void AutomorphismSearch::countFromElements(int cell) {
  for (int p = cell; p < cellEnd_[cell]; ++p) {
    const int element = order_[p];
    const int begin = incidenceStart_[element];
    const int end = incidenceStart_[element + 1];
    for (int k = begin; k < end; ++k) {
      touch(size_ + static_cast<int>(incidence_[k] >> 2), incidence_[k] & 3);
    }
    work_ += end - begin + 1;
  }
}

void AutomorphismSearch::countFromRules(int cell) {
  for (int p = cell; p < cellEnd_[cell]; ++p) {
    const Rule& rule = rules_[order_[p] - size_];
    if (rule.left == rule.right) {
      touch(rule.left, kBothOperands);
    } else {
      touch(rule.left, 1);
      touch(rule.right, 1);
    }
    touch(rule.result, kResult);
  }
  work_ += int64_t{3} * (cellEnd_[cell] - cell);
}

void AutomorphismSearch::splitCell(int cell) {
  const int end = cellEnd_[cell];
  const int touchedCount = touchedInCell_[cell];
  const int firstTouched = end - touchedCount;
  const auto byCount = [this](int a, int b) { return count_[a] < count_[b]; };
  std::sort(order_.begin() + firstTouched, order_.begin() + end, byCount);
  trace_ = mix(mix(trace_, cell), touchedCount);

  // The fragments: the untouched vertices (if any) keep the cell's start,
  // then one per count, in increasing order.
  int fragment = cell;
  int newCells = 0;
  for (int p = firstTouched; p < end; ++p) {
    const int vertex = order_[p];
    position_[vertex] = p;
    const bool starts = p == firstTouched ? p > cell : count_[vertex] != count_[order_[p - 1]];
    if (starts) {
      cellEnd_[fragment] = p;
      fragment = p;
      splitLog_[splitLogLength_++] = Split{cell, p};
      ++newCells;
      trace_ = mix(trace_, p);
    }
    cellOf_[vertex] = fragment;
  }
  cellEnd_[fragment] = end;
  trace_ = mix(trace_, count_[order_[end - 1]]);
  if (newCells == 0) return;
  if (cell < size_) elementCells_ += newCells;
  work_ += touchedCount;

  // A cell that waits to refine is replaced by all its fragments; one that
  // has refined already by all but its (first) largest, which the others
  // and the cell imply.
  if (queued_[cell] != 0) {
    for (int f = cellEnd_[cell]; f < end; f = cellEnd_[f]) enqueue(f);
    return;
  }
  int largest = cell;
  for (int f = cell; f < end; f = cellEnd_[f]) {
    if (cellEnd_[f] - f > cellEnd_[largest] - largest) largest = f;
  }
  for (int f = cell; f < end; f = cellEnd_[f]) {
    if (f != largest) enqueue(f);
  }
}

void AutomorphismSearch::splitTouchedCells() {
  // In the order of the cells, so that the splits and the queue do not
  // depend on the numbering of the elements.
  std::sort(touchedCells_.begin(), touchedCells_.begin() + touchedCellCount_);
  for (int i = 0; i < touchedCellCount_; ++i) splitCell(touchedCells_[i]);
  for (int i = 0; i < touchedCellCount_; ++i) touchedInCell_[touchedCells_[i]] = 0;
  for (int i = 0; i < touchedCount_; ++i) count_[touched_[i]] = 0;
  touchedCellCount_ = 0;
  touchedCount_ = 0;
}

void AutomorphismSearch::refine() {
  while (queueLength_ > 0 && elementCells_ < size_) {
    if (overBudget()) {
      stopped_ = true;
      break;
    }
    const int cell = queue_[queueHead_];
    queueHead_ = (queueHead_ + 1) % kMaxVertices;
    --queueLength_;
    queued_[cell] = 0;
    if (cell < size_) {
      countFromElements(cell);
    } else {
      countFromRules(cell);
    }
    splitTouchedCells();
  }
  // A discrete partition needs no more refining.
  while (queueLength_ > 0) {
    queued_[queue_[queueHead_]] = 0;
    queueHead_ = (queueHead_ + 1) % kMaxVertices;
    --queueLength_;
  }
  trace_ = mix(trace_, elementCells_);
}

void AutomorphismSearch::individualise(int element) {
  const int cell = cellOf_[element];
  const int end = cellEnd_[cell];
  const int other = order_[cell];
  order_[position_[element]] = other;
  position_[other] = position_[element];
  order_[cell] = element;
  position_[element] = cell;
  cellEnd_[cell] = cell + 1;
  cellEnd_[cell + 1] = end;
  for (int p = cell + 1; p < end; ++p) cellOf_[order_[p]] = cell + 1;
  splitLog_[splitLogLength_++] = Split{cell, cell + 1};
  ++elementCells_;
  work_ += end - cell;
  trace_ = mix(0x5EED, cell);
  enqueue(cell);
}

void AutomorphismSearch::undoTo(int mark) {
  while (splitLogLength_ > mark) {
    --splitLogLength_;
    const int cell = splitLog_[splitLogLength_].cell;
    const int split = splitLog_[splitLogLength_].split;
    const int end = cellEnd_[split];
    for (int p = split; p < end; ++p) cellOf_[order_[p]] = cell;
    cellEnd_[cell] = std::max(cellEnd_[cell], end);
    if (cell < size_) --elementCells_;
    work_ += end - split;
  }
}

int AutomorphismSearch::targetCell() const {
  // The first of the smallest cells of more than one element.
  int best = -1;
  int bestSize = kMaxElements + 1;
  for (int cell = 0; cell < size_; cell = cellEnd_[cell]) {
    const int cellSize = cellEnd_[cell] - cell;
    if (cellSize > 1 && cellSize < bestSize) {
      best = cell;
      bestSize = cellSize;
    }
  }
  return best;
}

// --- The search.

int AutomorphismSearch::orbitRoot(int element) {
  while (orbitParent_[element] != element) {
    orbitParent_[element] = orbitParent_[orbitParent_[element]];
    element = orbitParent_[element];
  }
  return element;
}

void AutomorphismSearch::addGenerator(const uint8_t* image, int level) {
  AutomorphismGroup& out = *out_;
  std::copy_n(image, size_, out.generators[out.generatorCount]);
  out.generatorLevel[out.generatorCount] = level;
  ++out.generatorCount;
  for (int x = 0; x < size_; ++x) {
    int a = orbitRoot(x);
    int b = orbitRoot(image[x]);
    if (a == b) continue;
    if (orbitSize_[a] < orbitSize_[b]) std::swap(a, b);
    orbitParent_[b] = a;
    orbitSize_[a] += orbitSize_[b];
  }
}

bool AutomorphismSearch::tryLeaf() {
  for (int k = 0; k < size_; ++k) image_[firstLeaf_[k]] = static_cast<uint8_t>(order_[k]);
  if (!mapsRulesOntoRules(image_)) return false;
  if (out_->generatorCount == kMaxGenerators) {
    stopped_ = true;
    return false;
  }
  addGenerator(image_, level_);
  return true;
}

bool AutomorphismSearch::searchBelow(int depth) {
  // A symmetry maps the first path's node at this depth to a node with the
  // same trace and target cell, so a node that differs leads to none.
  if (stopped_ || overBudget() || trace_ != firstTrace_[depth]) return false;
  if (depth == firstDepth_) return elementCells_ == size_ && tryLeaf();
  const int cell = targetCell();
  work_ += elementCells_;
  if (cell != firstCell_[depth]) return false;
  const int end = cellEnd_[cell];
  uint8_t* candidates = candidates_[depth];
  for (int p = cell; p < end; ++p) candidates[p - cell] = static_cast<uint8_t>(order_[p]);
  // If a symmetry maps the first path's node here, the levels below are
  // searched already and their orbits known: each element of the orbit of
  // the first path's choice under the symmetries that fix the earlier base
  // points leads to a leaf of one. So once more children have failed than
  // the cell has elements outside that orbit, no symmetry maps onto here.
  const int mayFail = end - cell - out_->orbitLength[depth];
  for (int i = 0; i <= mayFail; ++i) {
    const int mark = splitLogLength_;
    individualise(candidates[i]);
    refine();
    const bool found = searchBelow(depth + 1);
    undoTo(mark);
    if (found) return true;
    if (stopped_) return false;
  }
  return false;
}

bool AutomorphismSearch::knownFailure(int element) {
  const int root = orbitRoot(element);
  for (int i = 0; i < failedCount_; ++i) {
    if (orbitRoot(failed_[i]) == root) return true;
  }
  return false;
}

void AutomorphismSearch::searchLevel(int level) {
  AutomorphismGroup& out = *out_;
  undoTo(firstMark_[level]);
  level_ = level;
  failedCount_ = 0;
  const int cell = firstCell_[level];
  const int end = cellEnd_[cell];
  const int basePoint = out.base[level];
  uint8_t* candidates = candidates_[level];
  for (int p = cell; p < end; ++p) candidates[p - cell] = static_cast<uint8_t>(order_[p]);
  std::sort(candidates, candidates + (end - cell));
  // Every generator found so far was found at this level or below, so it
  // fixes the earlier base points: the orbits of them all are those of
  // the stabiliser that this level's orbit is measured in.
  for (int i = 0; i < end - cell && !stopped_; ++i) {
    const int element = candidates[i];
    if (orbitRoot(element) == orbitRoot(basePoint) || knownFailure(element)) continue;
    const int mark = splitLogLength_;
    individualise(element);
    refine();
    const bool found = searchBelow(level + 1);
    undoTo(mark);
    if (!found && !stopped_) failed_[failedCount_++] = static_cast<uint8_t>(element);
  }
  out.orbitLength[level] = orbitSize_[orbitRoot(basePoint)];
}

void AutomorphismSearch::finish() {
  AutomorphismGroup& out = *out_;
  undoTo(0);
  clearRules();
  out.complete = !stopped_;
  out.order = 1;
  out.log2Order = 0;
  for (int level = 0; level < out.baseLength; ++level) {
    out.order *= out.orbitLength[level];
    out.log2Order += std::log2(static_cast<double>(out.orbitLength[level]));
  }
  int least[kMaxElements];
  for (int x = size_ - 1; x >= 0; --x) least[orbitRoot(x)] = x;
  for (int x = 0; x < size_; ++x) out.orbit[x] = static_cast<uint8_t>(least[orbitRoot(x)]);
  out.work = work_;
}

void AutomorphismSearch::find(int size, const Constraint* constraints, int count, int64_t budget,
                              AutomorphismGroup& out) {
  out_ = &out;
  out.elementCount = size;
  out.generatorCount = 0;
  out.baseLength = 0;
  size_ = size;
  work_ = 0;
  budget_ = budget;
  stopped_ = false;
  for (int x = 0; x < size_; ++x) {
    orbitParent_[x] = x;
    orbitSize_[x] = 1;
  }
  buildRules(constraints, count);
  resetPartition();
  refine();

  // The first path: the first element of the target cell at each depth.
  int depth = 0;
  firstTrace_[0] = trace_;
  while (!stopped_) {
    const int cell = targetCell();
    if (cell < 0) break;
    firstCell_[depth] = cell;
    firstMark_[depth] = splitLogLength_;
    out.base[depth] = static_cast<uint8_t>(order_[cell]);
    out.orbitLength[depth] = 1;
    individualise(order_[cell]);
    refine();
    ++depth;
    firstTrace_[depth] = trace_;
  }
  firstDepth_ = depth;
  out.baseLength = depth;
  for (int k = 0; k < size_; ++k) firstLeaf_[k] = order_[k];

  for (int level = depth - 1; level >= 0 && !stopped_; --level) searchLevel(level);
  finish();
}

}  // namespace tallyra
