// The families of algebras of up to 64 elements that algebra_families.h
// lists: groups, lattices, semilattices, bands and random partial algebras.
// Each family's jobs are made by its `make` function below and numbered
// 0..count-1; its `known` function gives a job's number of subuniverses
// from a source of its own (a formula, a hand count, GAP or the OEIS, named
// beside each), or 0 where none is known.
#ifndef TALLYRA_TESTS_ALGEBRAS_LARGE_ALGEBRA_FAMILIES_H_
#define TALLYRA_TESTS_ALGEBRAS_LARGE_ALGEBRA_FAMILIES_H_

#include "tests/algebras/sample_algebras.h"

namespace tallyra {

// What the known counts are worked out with: base^exponent, and the number
// and the sum of the divisors of n.
SubsetCount powerOf(int base, int exponent);
int divisorCount(int n);
int divisorSum(int n);

// Z_n (n = 1..64), D_2n (2n = 6..64), the dicyclic groups of order 8..64
// (the generalized quaternion groups among them), the elementary abelian
// groups 2^1..2^6 and 3^1..3^3, and other direct products of these.
constexpr int kGroups64Jobs = 161;
void makeGroups64Job(int index, char* name, SampleAlgebra& out);
SubsetCount knownGroups64Count(int index);

// Boolean lattices of 2 to 32 elements, chains of 31 to 45 elements and
// grids (products of chains) of 32 to 45 elements, with meet and join.
constexpr int kLattices64Jobs = 41;
void makeLattices64Job(int index, char* name, SampleAlgebra& out);
SubsetCount knownLattices64Count(int index);

// One full table of meet: chains and trees of 31 to 64 elements and grids
// of up to 64 elements.
constexpr int kSemilattices64Jobs = 29;
void makeSemilattices64Job(int index, char* name, SampleAlgebra& out);
SubsetCount knownSemilattices64Count(int index);

// Left-zero and right-zero bands and null semigroups of 31 to 64 elements;
// L_k x N2 and N2 x L_k for k = 16..32.
constexpr int kBands64Jobs = 55;
void makeBands64Job(int index, char* name, SampleAlgebra& out);
SubsetCount knownBands64Count(int index);

// Random partial algebras of 31 to 64 elements, from n/2 to 4096
// constraints.
constexpr int kRandom64Jobs = 40;
void makeRandom64Job(int index, char* name, SampleAlgebra& out);

}  // namespace tallyra

#endif  // TALLYRA_TESTS_ALGEBRAS_LARGE_ALGEBRA_FAMILIES_H_
