// The constraints of a job, folded into bit masks for the fast counter.
//
// A constraint x*y=z whose result is x or y never excludes a subset and is
// dropped; repeated constraints fold into the same bits; the operation
// symbol plays no part. Words is the width of the job's element sets (1,
// 2 or 4, see element_set.h).
#ifndef TALLYRA_COUNTING_CLOSURE_RULES_H_
#define TALLYRA_COUNTING_CLOSURE_RULES_H_

#include "counting/element_set.h"
#include "run/job_model.h"

namespace tallyra {

template <int Words>
struct ClosureRules {
  using Set = ElementSetOf<Words>;
  static constexpr int kMaxSize = kSetCapacity<Set>;

  int size = 0;
  Set all{};  // the whole of A
  // forced[x][y] (= forced[y][x]), for y in partners[x]: the results that
  // a closed set holding x and y must hold and that neither forces alone;
  // forced[x][x]: what x alone forces, its whole closure but x (for every
  // x). Never holds x or y themselves. Other entries are left over from
  // earlier jobs (or never written).
  Set forced[kMaxSize][kMaxSize];
  // partners[x]: the y with forced[x][y] non-empty (x itself included when
  // x forces something alone).
  Set partners[kMaxSize];
  // results[x]: the union of forced[x][y] over the other elements y.
  Set results[kMaxSize];
  // pairsTo[x][z], for z in results[x]: the other elements y with z in
  // forced[x][y]; filled by buildPairsTo(), only when needed.
  Set pairsTo[kMaxSize][kMaxSize];
  bool pairsToBuilt = false;
  // produced[z]: the pairs {x, y} with z in forced[x][y].
  int produced[kMaxSize];
  // The closures of single elements while the rules are built (then in
  // forced[x][x]).
  Set alone[kMaxSize];
  // While they are built: first a set that holds the closure of x (the
  // intersection of the closures found so far that hold x), then the
  // partners of x among the elements before it.
  Set within[kMaxSize];
};

// Fills `rules` from constraints[0..count-1]; positions are 1..size and
// size is 1..ClosureRules<Words>::kMaxSize. A constraint with a position
// outside 1..size cannot come from a job file and is ignored.
template <int Words>
void buildClosureRules(int size, const Constraint* constraints, int count,
                       ClosureRules<Words>& rules);

// The same in three steps, for rules known as their pairs' results rather
// than as constraints: startClosureRules() for a job of `size` elements;
// addPairResults() for each pair x <= y (0-based, x == y for what x forces
// alone) with the results it forces, which hold neither x nor y; then
// finishClosureRules().
template <int Words>
void startClosureRules(int size, ClosureRules<Words>& rules);
template <int Words>
inline void addPairResults(ClosureRules<Words>& rules, int x, int y,
                           const ElementSetOf<Words>& results) {
  using Set = ElementSetOf<Words>;
  Set& forced = rules.forced[x][y];
  if (!has(rules.partners[x], y)) {
    forced = Set{};
    rules.partners[x] |= single<Set>(y);
    rules.partners[y] |= single<Set>(x);
  }
  forced |= results;
}
template <int Words>
void finishClosureRules(ClosureRules<Words>& rules);

// Writes the rules as constraints x*y=z (positions 1..size, each pair once,
// x <= y, operation 1) to out[0..most-1]: a job with the same closed sets.
// Their number, or -1 when there are more than `most`.
template <int Words>
int writeConstraints(const ClosureRules<Words>& rules, Constraint* out, int most);

// Fills rules.pairsTo from the rest of the rules.
template <int Words>
void buildPairsTo(ClosureRules<Words>& rules);

// The smallest closed superset of `set`.
template <int Words>
ElementSetOf<Words> closeSet(const ClosureRules<Words>& rules, ElementSetOf<Words> set);

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_CLOSURE_RULES_H_
