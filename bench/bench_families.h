// The benchmark's algebras in families: today's fixed list, products of
// small semigroups, the bands L_k x N2, lattices and semilattices written
// as full tables. The benchmark times them (in several element orders) and
// the tests check samples of them against the plain enumeration.
//
// A family is a list of jobs numbered 0..jobCount-1; the same index gives
// the same algebra, in the same element order, on every platform.
#ifndef TALLYRA_BENCH_BENCH_FAMILIES_H_
#define TALLYRA_BENCH_BENCH_FAMILIES_H_

#include <cstdio>

#include "bench/sample_algebras.h"

namespace tallyra {

constexpr int kJobNameSize = 48;

struct BenchFamily {
  const char* name;
  const char* description;
  int jobCount;
  // Makes job `index` (0..jobCount-1) and its name (at most
  // kJobNameSize - 1 characters).
  void (*make)(int index, char* name, SampleAlgebra& out);
};

extern const BenchFamily kBenchFamilies[];
extern const int kBenchFamilyCount;

// Job files for the program itself (elements 0-9 and A-T, operation
// symbols * and +): the header and \beginjob, one job, and \enddata.
void writeJobFileStart(FILE* file);
void writeJob(FILE* file, const char* name, const SampleAlgebra& algebra);
void writeJobFileEnd(FILE* file);

}  // namespace tallyra

#endif  // TALLYRA_BENCH_BENCH_FAMILIES_H_
