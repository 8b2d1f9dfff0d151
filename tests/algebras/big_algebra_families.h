// The families of algebras of 65 to 237 elements that algebra_families.h
// lists: groups from GAP's library and by formula, lattices, semilattices,
// bands and free algebras, and disjoint unions of independent parts. Each
// family's jobs are made by its `make` function below and numbered
// 0..count-1; its `known` function gives a job's number of subuniverses
// from a source of its own (a formula, a recursion, GAP or the OEIS, named
// beside each), or 0 where none is known. The formulas are checked against
// the closed-set listing on small cases (counting/closed_set_listing_test.cc).
#ifndef TALLYRA_TESTS_ALGEBRAS_BIG_ALGEBRA_FAMILIES_H_
#define TALLYRA_TESTS_ALGEBRAS_BIG_ALGEBRA_FAMILIES_H_

#include "tests/algebras/sample_algebras.h"

namespace tallyra {

// --- Counts known by formula, for any size the sample algebras hold.

// The sublattices of the Boolean lattice of the subsets of `atoms` points
// (0..7), the empty one included.
SubsetCount booleanSublattices(int atoms);
// The sublattices of the grid 2 x n (n >= 1) with meet and join, the empty
// one included.
SubsetCount twoRowGridSublattices(int n);
// The subsets of the grid 2 x n (n >= 1) closed under meet.
SubsetCount twoRowGridMeetClosedSets(int n);
// The subsets of the tree with parent[x] < x (x = 1..n-1) closed under the
// deepest common ancestor (makeTreeSemilattice()).
SubsetCount treeMeetClosedSets(int n, const int* parent);
// The subsets of the Boolean lattice of the subsets of `points` points
// (0..7) closed under intersection: twice the closure systems on them.
SubsetCount cubeMeetClosedSets(int points);

// --- The families.

// SmallGroup(n, i) of GAP's library for n = 65..200: every group of the
// orders with at most 250 groups, and a choice of those of orders 128 and
// 192 (small_groups.h).
int groups200Jobs();
void makeGroups200Job(int index, char* name, SampleAlgebra& out);
SubsetCount knownGroups200Count(int index);

// Z_n (n = 65..237), D_2n (2n = 66..236), the dicyclic groups of order
// 68..236, elementary abelian groups and products of groups of coprime
// orders.
constexpr int kGroups237Jobs = 173 + 86 + 43 + 10;
void makeGroups237Job(int index, char* name, SampleAlgebra& out);
SubsetCount knownGroups237Count(int index);

// With meet and join: chains of 65..237 elements, the Boolean lattice of
// 128 elements, grids 2 x n of 66..236 elements and other grids (products
// of chains) of 66 to 237 elements.
constexpr int kLattices237Jobs = 8 + 1 + 8 + 8;
void makeLattices237Job(int index, char* name, SampleAlgebra& out);
SubsetCount knownLattices237Count(int index);

// Grids of 100 to 237 elements with meet and join, 10 x 10 to 15 x 15 and
// others, whose counts are unknown. Counted only by name: the engine took
// more than half a minute for each of those tried.
constexpr int kGrids237Jobs = 14;
void makeGrids237Job(int index, char* name, SampleAlgebra& out);

// One full table of meet: chains, trees and grids 2 x n of 65 to 237
// elements.
constexpr int kSemilattices237Jobs = 6 + 14 + 6;
void makeSemilattices237Job(int index, char* name, SampleAlgebra& out);
SubsetCount knownSemilattices237Count(int index);

// Free algebras (no constraint), left-zero and right-zero bands, both
// tables of them together, null semigroups, of 65 to 237 elements; L_k x N2
// and N2 x L_k for k = 33..118.
constexpr int kBands237Jobs = 5 * 7 + 2 * 6;
void makeBands237Job(int index, char* name, SampleAlgebra& out);
SubsetCount knownBands237Count(int index);

// Disjoint unions of independent parts (groups, Boolean lattices, chains,
// null semigroups, free elements) of 65 to 237 elements, the parts' elements
// in turn or one part after the other: the count is the product of the
// parts' counts.
constexpr int kSums237Jobs = 12;
void makeSums237Job(int index, char* name, SampleAlgebra& out);
SubsetCount knownSums237Count(int index);

// The meet semilattice of the 7-cube: the subsets of 7 points under
// intersection, 128 elements. Not a test: no engine may count it quickly.
constexpr int kCube7Jobs = 1;
void makeCube7Job(int index, char* name, SampleAlgebra& out);
SubsetCount knownCube7Count(int index);

}  // namespace tallyra

#endif  // TALLYRA_TESTS_ALGEBRAS_BIG_ALGEBRA_FAMILIES_H_
