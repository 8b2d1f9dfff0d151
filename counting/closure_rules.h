// The constraints of a job, folded into bit masks for the fast counter.
//
// A constraint x*y=z whose result is x or y never excludes a subset and is
// dropped; repeated constraints fold into the same bits; the operation
// symbol plays no part.
#ifndef TALLYRA_COUNTING_CLOSURE_RULES_H_
#define TALLYRA_COUNTING_CLOSURE_RULES_H_

#include "counting/element_set.h"
#include "run/job_model.h"

namespace tallyra {

constexpr int kMaxEngineElements = 64;

struct ClosureRules {
  int size = 0;
  ElementSet all = 0;  // the whole of A
  // forced[x][y] (= forced[y][x]), for y in partners[x]: the results that
  // a closed set holding x and y must hold and that neither forces alone;
  // forced[x][x]: what x alone forces, its whole closure but x (for every
  // x). Never holds x or y themselves. Other entries are left over from
  // earlier jobs (or 0).
  ElementSet forced[kMaxEngineElements][kMaxEngineElements] = {};
  // partners[x]: the y with forced[x][y] non-empty (x itself included when
  // x forces something alone).
  ElementSet partners[kMaxEngineElements];
  // results[x]: the union of forced[x][y] over the other elements y.
  ElementSet results[kMaxEngineElements];
  // pairsTo[x][z], for z in results[x]: the other elements y with z in
  // forced[x][y]; filled by buildPairsTo(), only when needed.
  ElementSet pairsTo[kMaxEngineElements][kMaxEngineElements];
  bool pairsToBuilt = false;
  // produced[z]: the pairs {x, y} with z in forced[x][y].
  int produced[kMaxEngineElements];
};

// Fills `rules` from constraints[0..count-1]; positions are 1..size and
// size is 1..kMaxEngineElements. A constraint with a position outside 1..size
// cannot come from a job file and is ignored.
void buildClosureRules(int size, const Constraint* constraints, int count, ClosureRules& rules);

// Fills rules.pairsTo from the rest of the rules.
void buildPairsTo(ClosureRules& rules);

// The smallest closed superset of `set`.
ElementSet closeSet(const ClosureRules& rules, ElementSet set);

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_CLOSURE_RULES_H_
