#include "counting/closure_rules.h"

namespace tallyra {

namespace {

// Whether s holds x, and x put into s, touching only the word that holds
// it (x as an unsigned number, whose word and bit take a shift and a mask).
inline bool holds(uint64_t s, unsigned x) { return (s >> x & 1) != 0; }
template <int Words>
inline bool holds(const WideSet<Words>& s, unsigned x) {
  return (s.word[x / 64] >> (x % 64) & 1) != 0;
}
inline void addElement(uint64_t& s, unsigned x) { s |= uint64_t{1} << x; }
template <int Words>
inline void addElement(WideSet<Words>& s, unsigned x) {
  s.word[x / 64] |= uint64_t{1} << (x % 64);
}

// The closure of {x} while the rules are built: the pairs' results are
// only in forced[a][b] for a <= b yet, the closures of the elements below
// x are in alone[], and within[x] holds the closure of x. Each pair of the
// closure is combined once, when the later of its two elements is taken;
// an element below x brings its whole closure at once; and the closure is
// complete when it has grown to within[x].
template <int Words>
ElementSetOf<Words> closeAlone(const ClosureRules<Words>& rules, int x) {
  using Set = ElementSetOf<Words>;
  const Set limit = rules.within[x];
  Set set = single<Set>(x);
  Set taken{};
  Set todo = set;
  while (!isEmpty(todo)) {
    const int z = lowest(todo);
    todo = withoutLowest(todo);
    addElement(taken, static_cast<unsigned>(z));
    const Set with = rules.partners[z] & taken;
    const Set lower = below<Set>(z);
    Set add = z < x ? rules.alone[z] : Set{};
    forEach(with & lower, [&](int y) { add |= rules.forced[y][z]; });
    forEach(with & ~lower, [&](int y) { add |= rules.forced[z][y]; });
    add &= ~set;
    set |= add;
    todo |= add;
    if (set == limit) break;
  }
  return set;
}

}  // namespace

template <int Words>
void startClosureRules(int size, ClosureRules<Words>& rules) {
  using Set = ElementSetOf<Words>;
  rules.size = size;
  rules.all = firstElements<Set>(size);
  // Only forced[x][x] and forced[x][y] for the partners y of x are ever
  // read, so an entry is cleared when its pair first turns up: the work is
  // in proportion to the job, not to the tables. A pair's results are
  // gathered in forced[x][y] for x < y alone and copied to forced[y][x]
  // once they are final.
  for (int x = 0; x < size; ++x) {
    rules.forced[x][x] = Set{};
    rules.partners[x] = Set{};
  }
}

template <int Words>
void buildClosureRules(int size, const Constraint* constraints, int count,
                       ClosureRules<Words>& rules) {
  using Set = ElementSetOf<Words>;
  startClosureRules(size, rules);
  // A bit at a time, as addPairResults() does a set at a time.
  for (int i = 0; i < count; ++i) {
    const Constraint& c = constraints[i];
    if (c.result == c.left || c.result == c.right) continue;
    // Positions outside 1..size are left out (as unsigned, 0 and below
    // wrap to above size).
    const unsigned bound = static_cast<unsigned>(size);
    const unsigned ux = static_cast<unsigned>(c.left) - 1;
    const unsigned uy = static_cast<unsigned>(c.right) - 1;
    const unsigned uz = static_cast<unsigned>(c.result) - 1;
    if ((ux >= bound) | (uy >= bound) | (uz >= bound)) continue;
    const unsigned x = ux < uy ? ux : uy, y = ux < uy ? uy : ux;
    Set& forced = rules.forced[x][y];
    if (!holds(rules.partners[x], y)) {
      forced = Set{};
      addElement(rules.partners[x], y);
      addElement(rules.partners[y], x);
    }
    addElement(forced, uz);
  }
  finishClosureRules(rules);
}

template <int Words>
void finishClosureRules(ClosureRules<Words>& rules) {
  using Set = ElementSetOf<Words>;
  const int size = rules.size;
  // Each element alone forces its whole closure, and a pair forces nothing
  // that one of its elements forces alone. The closed sets stay the same:
  // a closed set holding x holds the closure of {x}, so the new single
  // rules hold in it, and the pair rules left are a part of the old ones;
  // conversely, for a set closed under the new rules and a constraint
  // x*y=z with x and y in it, z is forced by x alone, by y alone (the set
  // then holds the closure of that element, z among it) or still by the
  // pair. (closeAlone() sees only the old rules while the alone sets are
  // found, so each is the true closure.)
  // An element that forces nothing by itself (x*x=z) is closed alone.
  // The closure of x holds the closure of each of its elements y, so it
  // bounds the closure of y (which is what the search for a group's
  // elements mostly stops at).
  Set* alone = rules.alone;
  for (int x = 0; x < size; ++x) rules.within[x] = rules.all;
  for (int x = 0; x < size; ++x) {
    if (isEmpty(rules.forced[x][x])) {
      alone[x] = Set{};
      continue;
    }
    const Set closure = closeAlone(rules, x);
    alone[x] = closure & ~single<Set>(x);
    forEach(alone[x] & above<Set>(x), [&](int y) { rules.within[y] &= closure; });
  }
  // Each pair is reduced once, when its earlier element x is reached, and
  // is then put into the partners and results of both elements (those of
  // the later element y gathered in within[y] and results[y] until y is
  // reached) and counted in produced[].
  for (int x = 0; x < size; ++x) {
    rules.produced[x] = 0;
    rules.within[x] = Set{};
    rules.results[x] = Set{};
  }
  for (int x = 0; x < size; ++x) {
    rules.forced[x][x] = alone[x];
    Set partners = rules.within[x];
    if (!isEmpty(alone[x])) addElement(partners, static_cast<unsigned>(x));
    Set results = rules.results[x];
    const Set keep = ~alone[x];
    forEach(rules.partners[x] & above<Set>(x), [&](int y) {
      const Set forced = rules.forced[x][y] & keep & ~alone[y];
      rules.forced[x][y] = forced;
      rules.forced[y][x] = forced;
      if (isEmpty(forced)) return;
      addElement(partners, static_cast<unsigned>(y));
      addElement(rules.within[y], static_cast<unsigned>(x));
      results |= forced;
      rules.results[y] |= forced;
      forEach(forced, [&](int z) { ++rules.produced[z]; });
    });
    rules.partners[x] = partners;
    rules.results[x] = results;
  }
  rules.pairsToBuilt = false;
}

template <int Words>
int writeConstraints(const ClosureRules<Words>& rules, Constraint* out, int most) {
  using Set = ElementSetOf<Words>;
  int n = 0;
  for (int x = 0; x < rules.size; ++x) {
    const auto left = static_cast<uint8_t>(x + 1);
    forEach(rules.partners[x] & ~below<Set>(x), [&](int y) {
      forEach(rules.forced[x][y], [&](int z) {
        if (n < most)
          out[n] = Constraint{left, static_cast<uint8_t>(y + 1), static_cast<uint8_t>(z + 1), 1};
        ++n;
      });
    });
  }
  return n <= most ? n : -1;
}

template <int Words>
void buildPairsTo(ClosureRules<Words>& rules) {
  using Set = ElementSetOf<Words>;
  for (int x = 0; x < rules.size; ++x) {
    // pairsTo[x][z] is read only for the results z of x.
    forEach(rules.results[x], [&](int z) { rules.pairsTo[x][z] = Set{}; });
    forEach(rules.partners[x] & ~single<Set>(x), [&](int y) {
      forEach(rules.forced[x][y], [&](int z) { rules.pairsTo[x][z] |= single<Set>(y); });
    });
  }
  rules.pairsToBuilt = true;
}

template <int Words>
ElementSetOf<Words> closeSet(const ClosureRules<Words>& rules, ElementSetOf<Words> set) {
  using Set = ElementSetOf<Words>;
  // Every element of `todo` still has to be combined with the whole set;
  // a pair is combined when the later of its two elements is taken.
  Set todo = set;
  while (!isEmpty(todo)) {
    const int z = lowest(todo);
    todo = withoutLowest(todo);
    Set add{};
    forEach(rules.partners[z] & set, [&](int y) { add |= rules.forced[z][y]; });
    add &= ~set;
    set |= add;
    todo |= add;
    if (set == rules.all) break;
  }
  return set;
}

#define TALLYRA_CLOSURE_RULES_FOR(Words)                                                     \
  template void buildClosureRules<Words>(int, const Constraint*, int, ClosureRules<Words>&); \
  template void startClosureRules<Words>(int, ClosureRules<Words>&);                         \
  template void finishClosureRules<Words>(ClosureRules<Words>&);                             \
  template int writeConstraints<Words>(const ClosureRules<Words>&, Constraint*, int);        \
  template void buildPairsTo<Words>(ClosureRules<Words>&);                                   \
  template ElementSetOf<Words> closeSet<Words>(const ClosureRules<Words>&, ElementSetOf<Words>);
TALLYRA_CLOSURE_RULES_FOR(1)
TALLYRA_CLOSURE_RULES_FOR(2)
TALLYRA_CLOSURE_RULES_FOR(4)
#undef TALLYRA_CLOSURE_RULES_FOR

}  // namespace tallyra
