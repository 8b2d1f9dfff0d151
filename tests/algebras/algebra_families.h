// Families of algebras shared by the tests and the benchmarks: a fixed list
// of named jobs, products of small semigroups, the bands L_k x N2, lattices
// and semilattices written as full tables, all of up to 30 elements; then
// groups, lattices, semilattices, bands and random partial algebras of up
// to 64 elements (large_algebra_families.h); then groups, lattices,
// semilattices, bands, free algebras and disjoint unions of 65 to 237
// elements (big_algebra_families.h). The benchmark times them (in several
// element orders) and the tests check samples of them against the
// references.
//
// A family is a list of jobs numbered 0..jobCount-1; the same index gives
// the same algebra, in the same element order, on every platform.
#ifndef TALLYRA_TESTS_ALGEBRAS_ALGEBRA_FAMILIES_H_
#define TALLYRA_TESTS_ALGEBRAS_ALGEBRA_FAMILIES_H_

#include <span>
#include <string_view>

#include "tests/algebras/sample_algebras.h"

namespace tallyra {

constexpr int kJobNameSize = 48;

struct AlgebraFamily {
  const char* name;
  const char* description;
  int jobCount;
  // Makes job `index` (0..jobCount-1) and its name (at most
  // kJobNameSize - 1 characters).
  void (*make)(int index, char* name, SampleAlgebra& out);
  // Job `index`'s number of subuniverses from a source of its own, or 0
  // when none is known; nullptr when none is known for any job.
  SubsetCount (*known)(int index);
  // No job has fewer elements (the tests choose families by it).
  int fewestElements = 1;
  // Counted only where asked for by name: no engine may count its jobs
  // quickly, so the tests and the benchmark's runs over every family leave
  // it out.
  bool onlyByName = false;
};

// Every family, in a fixed order.
std::span<const AlgebraFamily> algebraFamilies();

// The family called `name`; nullptr when there is none.
const AlgebraFamily* findFamily(std::string_view name);

// The family of twenty jobs that the benchmark has timed from its start
// (chains, Boolean and product lattices, groups, T3, random algebras).
constexpr char kFixedListFamily[] = "fixed-list";

}  // namespace tallyra

#endif  // TALLYRA_TESTS_ALGEBRAS_ALGEBRA_FAMILIES_H_
