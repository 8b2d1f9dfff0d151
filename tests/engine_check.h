// The engine's count of a sample algebra checked against the closed-set
// listing (counting/closed_set_listing.h), for differential tests that run
// an engine with any of its settings.
//
// When the engine's count differs, the algebra is written as a job file
// named after the running test and the label, in $TMPDIR (in the current
// folder when TMPDIR is not set), and the failure message names the file,
// so that the program itself can be run on the algebra (the first 20
// failing algebras of a run only).
#ifndef TALLYRA_TESTS_ENGINE_CHECK_H_
#define TALLYRA_TESTS_ENGINE_CHECK_H_

#include <gtest/gtest.h>

#include <cstdint>

#include "counting/subuniverse_engine.h"
#include "tests/algebras/sample_algebras.h"

namespace tallyra {

// The most closed sets the check lists; an algebra with more is no case
// for it.
constexpr uint64_t kListingLimit = 4'000'000;

// The listing's count of the algebra's closed sets, or kListingLimit + 1
// when it has more.
uint64_t listedCount(const SampleAlgebra& algebra);

// Success when the engine counts `expected` subuniverses of the algebra.
::testing::AssertionResult engineCounts(SubuniverseEngine& engine, const SampleAlgebra& algebra,
                                        SubsetCount expected, const char* label);

// The same with the listing's count as `expected`; a failure, and no job
// file, when the algebra has more than kListingLimit closed sets.
::testing::AssertionResult engineAgreesWithListing(SubuniverseEngine& engine,
                                                   const SampleAlgebra& algebra, const char* label);

// The settings that the differential tests count with, so that every path
// of the engine runs in the normal test run: the program's own (small jobs
// counted by trying all their subsets at once); then, with every job
// searched: exact cache keys from the first node, with the pair-weighing
// branching rule for components of every size, in the instructions of
// every 64-bit x86 processor (EngineOptions::plainInstructions); no part
// counted by trying and no dense part taken whole, every component
// branched on down to single elements; all of these but the plain
// instructions; and exact keys from the first node with parts of up to 12
// elements tried from there and every part of up to 16 elements counted
// again as the engine counts it or finds it in the cache
// (EngineOptions::checkComponents), so that a wrong key or count stops the
// test at the first part it touches; and residual cache keys and parts of
// up to ten elements tried from the first node, the pair-weighing rule
// everywhere from the 16th, in plain instructions, checked so.
constexpr int kCheckedSettings = 7;
SubuniverseEngine& checkedEngine(int setting);  // 0..kCheckedSettings-1

// Success when the engines of every checked setting count `expected`.
::testing::AssertionResult everySettingCounts(const SampleAlgebra& algebra, SubsetCount expected,
                                              const char* label);

}  // namespace tallyra

#endif  // TALLYRA_TESTS_ENGINE_CHECK_H_
