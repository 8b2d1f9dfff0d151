#include "tests/engine_check.h"

#include <cstdio>
#include <cstdlib>

#include "counting/closed_set_listing.h"
#include "tests/algebras/count_text.h"
#include "tests/algebras/job_file_writing.h"

namespace tallyra {
namespace {

constexpr int kMostFailureFiles = 20;  // in one run of the tests

// The path for the failing algebra: $TMPDIR/Suite.Test-label.txt, every
// character of the test's name and the label other than a letter, a digit,
// '.' or '_' written as '-'.
void failurePath(const char* label, char* path, int size) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const char* directory = std::getenv("TMPDIR");
  int used = std::snprintf(path, size, "%s/", directory != nullptr ? directory : ".");
  int start = used;
  used += std::snprintf(path + used, size - used, "%s.%s-%s", test ? test->test_suite_name() : "",
                        test ? test->name() : "", label);
  if (used >= size - 4) used = size - 5;
  for (int i = start; i < used; ++i) {
    char c = path[i];
    bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                c == '.' || c == '_';
    if (!kept) path[i] = '-';
  }
  std::snprintf(path + used, size - used, ".txt");
}

}  // namespace

uint64_t listedCount(const SampleAlgebra& algebra) {
  static ClosedSetListing listing;
  return listing.count(algebra.size, algebra.constraints, algebra.constraintCount, kListingLimit);
}

::testing::AssertionResult engineCounts(SubuniverseEngine& engine, const SampleAlgebra& algebra,
                                        SubsetCount expected, const char* label) {
  SubsetCount counted = engine.count(algebra.size, algebra.constraints, algebra.constraintCount);
  if (counted == expected) return ::testing::AssertionSuccess();
  ::testing::AssertionResult failure = ::testing::AssertionFailure();
  failure << label << " (" << algebra.size << " elements, " << algebra.constraintCount
          << " constraints): the engine counts " << countText(counted).digits << ", expected "
          << countText(expected).digits << "; ";
  // A broken engine fails everywhere: the first few failing jobs are
  // enough to look at.
  static int filesWritten = 0;
  if (filesWritten == kMostFailureFiles) return failure << "no more job files are written";
  char path[512];
  failurePath(label, path, sizeof path);
  if (!writeSingleJobFile(path, label, algebra)) return failure << "cannot write " << path;
  ++filesWritten;
  return failure << "the job is written to " << path;
}

SubuniverseEngine& checkedEngine(int setting) {
  struct Engines {
    SubuniverseEngine engines[kCheckedSettings];
    Engines() {
      // The defaults; a long search from the first node with exact keys, in
      // the plain form; no trying and no dense parts, long from the 16th
      // node, every component of at most 63 elements of a wide job counted
      // in one word; nothing tried, exact keys, and no component of a wide
      // job counted in one word; the widest tries with exact keys,
      // checked; a long search with residual keys, every component keyed
      // by an image under the job's symmetries, plain and checked; the
      // same without symmetries.
      const SubuniverseEngine::Options settings[kCheckedSettings] = {
          {},
          {.longSearchAfter = 0,
           .triedElements = kWordTriedElements,
           .pairsRuleAbove = 0,
           .triedJobWork = 0,
           .residualKeys = false,
           .plainInstructions = true},
          {.longSearchAfter = 16,
           .triedElements = 0,
           .denseAbove = 0,
           .narrowAbove = 0,
           .triedJobWork = 0},
          {.longSearchAfter = 0,
           .triedElements = 0,
           .pairsRuleAbove = 0,
           .narrowAbove = 64,
           .triedJobWork = 0,
           .residualKeys = false},
          {.longSearchAfter = 0,
           .triedElements = kMaxTriedElements,
           .triedJobWork = 0,
           .residualKeys = false,
           .checkComponents = true},
          {.longSearchAfter = 0,
           .symmetryAbove = 0,
           .triedJobWork = 0,
           .plainInstructions = true,
           .checkComponents = true},
          {.longSearchAfter = 0, .triedJobWork = 0, .symmetry = false}};
      for (int i = 0; i < kCheckedSettings; ++i) engines[i].setOptions(settings[i]);
    }
  };
  static Engines* all = new Engines;  // too large for the stack, kept to the end
  return all->engines[setting];
}

::testing::AssertionResult everySettingCounts(const SampleAlgebra& algebra, SubsetCount expected,
                                              const char* label) {
  for (int setting = 0; setting < kCheckedSettings; ++setting) {
    const SubuniverseEngine::Options& o = checkedEngine(setting).options();
    // The label names every option that differs from its default.
    char named[400];
    int used = std::snprintf(named, sizeof named, "%s", label);
    const SubuniverseEngine::Options defaults;
    for (const EngineOptionName& option : engineOptionNames()) {
      const int64_t value = option.get(o);
      if (value != option.get(defaults) && used < static_cast<int>(sizeof named))
        used += std::snprintf(named + used, sizeof named - used, "-%s%lld", option.name,
                              static_cast<long long>(value));
    }
    ::testing::AssertionResult result =
        engineCounts(checkedEngine(setting), algebra, expected, named);
    if (!result) return result;
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult engineAgreesWithListing(SubuniverseEngine& engine,
                                                   const SampleAlgebra& algebra,
                                                   const char* label) {
  uint64_t listed = listedCount(algebra);
  if (listed > kListingLimit) {
    return ::testing::AssertionFailure()
           << label << " has more than " << kListingLimit << " closed sets: too many to list";
  }
  return engineCounts(engine, algebra, listed, label);
}

}  // namespace tallyra
