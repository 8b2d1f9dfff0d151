// A search for jobs that the engine counts slowly: random starting jobs
// (random partial algebras, products of random small tables, the
// benchmark's families, and gadgets: shared results, hubs, chains of
// pairs), improved by random changes (a constraint's result changed, a
// constraint added or dropped, the elements renumbered) as long as they
// make the count slower. Run by hand; it is no test.
//
//   tallyra_hard_search [--size N] [--seconds S] [--seed N] [--write FILE]
//                       [--engine OPTIONS]
//
// --size (10..237, 30 unless given) sets the number of elements: the random
// algebras and the gadgets have that many, the products and the families'
// jobs at most that many. Prints every new slowest job found and, at the
// end, the slowest of all (as a job file with --write). Each candidate's
// time is the fastest of three counts, so that noise does not pass for
// progress. --engine sets the engine's options by name (see
// bench/README.md); each slowest job is printed with the engine's
// statistics.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/engine_flag.h"
#include "counting/subuniverse_engine.h"
#include "tests/algebras/algebra_families.h"
#include "tests/algebras/count_text.h"
#include "tests/algebras/job_file_writing.h"
#include "tests/algebras/sample_algebras.h"

namespace tallyra {
namespace {

using Clock = std::chrono::steady_clock;

SubuniverseEngine engine;
SampleAlgebra current, candidate, slowest;

struct Measure {
  double milliseconds;
  EngineStatistics statistics;
  SubsetCount count;
};

Measure measure(const SampleAlgebra& algebra) {
  Measure best{0, {}, 0};
  for (int run = 0; run < 3; ++run) {
    auto start = Clock::now();
    best.count = engine.count(algebra.size, algebra.constraints, algebra.constraintCount);
    double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (run == 0 || ms < best.milliseconds) best.milliseconds = ms;
    best.statistics = engine.statistics();
  }
  return best;
}

// A random table on `n` elements in which each entry is, by chance, the
// left operand, the right one, a fixed element or anything.
void randomTable(SampleRandom& random, int n, OperationTable& out) {
  out.size = n;
  int style = random.below(4);
  int fixed = random.below(n);
  for (int x = 0; x < n; ++x) {
    for (int y = 0; y < n; ++y) {
      int pick = random.below(4) < style ? random.below(4) : 3;
      int z = pick == 0 ? x : pick == 1 ? y : pick == 2 ? fixed : random.below(n);
      out.product[x][y] = static_cast<uint8_t>(z);
    }
  }
}

void addRandomConstraints(SampleRandom& random, int count, SampleAlgebra& out) {
  for (int i = 0; i < count; ++i)
    out.add(random.below(out.size), random.below(out.size), random.below(out.size));
}

// Shared results: the edges {x, y} of a cycle (or of a random graph) on
// some elements each force the same results h, x*y = h for every edge and
// every h; a few random constraints besides.
void makeSharedResults(SampleRandom& random, int n, SampleAlgebra& out, char* origin) {
  int vertices = 3 + random.below(n - 5);  // and at least 3 shared results
  int shared = n - vertices;
  bool cycle = random.below(2) == 0;
  out.reset(n);
  int edges = cycle ? vertices : vertices + random.below(2 * vertices);
  for (int e = 0; e < edges; ++e) {
    int x = cycle ? e : random.below(vertices);
    int y = cycle ? (e + 1) % vertices : random.below(vertices);
    for (int h = vertices; h < n; ++h) out.add(x, y, h);
  }
  addRandomConstraints(random, random.below(n), out);
  std::snprintf(origin, kJobNameSize, "shared%s%d-%d", cycle ? "cycle" : "graph", vertices, shared);
}

// Hubs: elements that combine with every other one, the result being the
// other element's successor, a fixed element or drawn at random; random
// constraints besides.
void makeHubs(SampleRandom& random, int n, SampleAlgebra& out, char* origin) {
  int hubs = 1 + random.below(3);
  out.reset(n);
  addRandomConstraints(random, random.below(3 * n), out);
  for (int i = 0; i < hubs; ++i) {
    int hub = random.below(n), style = random.below(3), fixed = random.below(n);
    for (int x = 0; x < n; ++x) {
      if (x == hub) continue;
      int result = style == 0 ? (x + 1) % n : style == 1 ? fixed : random.below(n);
      out.add(hub, x, result);
    }
  }
  std::snprintf(origin, kJobNameSize, "hubs%d", hubs);
}

// Chains of pairs: a_i * b_i = a_(i+1) and b_(i+1), so that a whole pair
// brings in the next one; sometimes a_i * a_i = b_i too; random
// constraints besides.
void makePairChain(SampleRandom& random, int n, SampleAlgebra& out, char* origin) {
  int pairs = n / 2;
  bool unary = random.below(2) == 0;
  out.reset(n);
  for (int i = 0; i + 1 < pairs; ++i) {
    out.add(2 * i, 2 * i + 1, 2 * i + 2);
    out.add(2 * i, 2 * i + 1, 2 * i + 3);
    if (unary) out.add(2 * i, 2 * i, 2 * i + 1);
  }
  addRandomConstraints(random, random.below(2 * n), out);
  std::snprintf(origin, kJobNameSize, "pairs%d%s", pairs, unary ? "-unary" : "");
}

// A starting job of `size` elements (at most `size` for the products and
// the families' jobs).
void startJob(SampleRandom& random, int size, SampleAlgebra& out, char* origin) {
  switch (random.below(6)) {
    case 0: {
      int count = size + random.below(6 * size);
      makeRandomPartialAlgebra(size, count, random.next(), out);
      std::snprintf(origin, kJobNameSize, "random%d-%d", size, count);
      break;
    }
    case 1: {
      OperationTable a, b;
      int m = 2 + random.below(4);
      int n = 2 + random.below(size / m - 1);
      randomTable(random, m, a);
      randomTable(random, n, b);
      OperationTable product;
      makeProductTable(a, b, product);
      makeTableAlgebra(product, out);
      std::snprintf(origin, kJobNameSize, "gadgets%dx%d", m, n);
      break;
    }
    case 2:
      makeSharedResults(random, size, out, origin);
      break;
    case 3:
      makeHubs(random, size, out, origin);
      break;
    case 4:
      makePairChain(random, size, out, origin);
      break;
    default: {
      // A job of at most `size` elements of a family other than the fixed
      // list: of the first families, up to the first whose jobs are all
      // larger (so that, up to 64 elements, the draws are those of the
      // families of up to 64 elements alone).
      const std::span<const AlgebraFamily> families = algebraFamilies();
      int eligible = 0;
      while (eligible < static_cast<int>(families.size()) &&
             families[eligible].fewestElements <= size)
        ++eligible;
      const AlgebraFamily* family;
      do {
        do {
          family = &families[random.below(eligible)];
        } while (family == findFamily(kFixedListFamily) || family->onlyByName);
        family->make(random.below(family->jobCount), origin, out);
      } while (out.size > size);
      break;
    }
  }
  shuffleElements(random, out);
}

void mutate(SampleRandom& random, SampleAlgebra& algebra) {
  int changes = 1 + random.below(3);
  for (int i = 0; i < changes; ++i) {
    int n = algebra.size;
    int kind = random.below(8);
    if (kind == 0 || algebra.constraintCount == 0) {
      algebra.add(random.below(n), random.below(n), random.below(n));
    } else if (kind == 1 && algebra.constraintCount > 1) {
      int at = random.below(algebra.constraintCount);
      algebra.constraints[at] = algebra.constraints[--algebra.constraintCount];
    } else if (kind == 2) {
      shuffleElements(random, algebra);
    } else {
      Constraint& c = algebra.constraints[random.below(algebra.constraintCount)];
      c.result = static_cast<uint8_t>(1 + random.below(n));
    }
  }
}

int run(int argc, char** argv) {
  double seconds = 60;
  uint64_t seed = 1;
  int size = 30;
  const char* output = nullptr;
  EngineOptions options;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc) {
      size = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
      seconds = std::atof(argv[++i]);
    } else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
      seed = std::strtoull(argv[++i], nullptr, 10);
    } else if (std::strcmp(argv[i], "--write") == 0 && i + 1 < argc) {
      output = argv[++i];
    } else if (std::strcmp(argv[i], "--engine") == 0 && i + 1 < argc) {
      if (!parseEngineFlag(argv[++i], options)) return 2;
    } else {
      std::fprintf(stderr,
                   "usage: %s [--size N] [--seconds S] [--seed N] [--write FILE] [--engine "
                   "OPTIONS]\n",
                   argv[0]);
      return 2;
    }
  }
  engine.setOptions(options);
  std::printf("engine: ");
  printEngineOptions(stdout, engine.options());
  // The gadgets and products need a few elements; the sample algebras
  // hold 237.
  if (size < 10 || size > kMaxSampleElements) {
    std::fprintf(stderr, "%s: --size must be 10..%d\n", argv[0], kMaxSampleElements);
    return 2;
  }
  SampleRandom random(seed);
  auto start = Clock::now();
  auto elapsed = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
  Measure worst{0, {}, 0};
  char worstOrigin[kJobNameSize] = "";
  int restarts = 0;
  while (elapsed() < seconds) {
    char origin[kJobNameSize];
    startJob(random, size, current, origin);
    ++restarts;
    Measure here = measure(current);
    // Climb for a while: keep a change that makes the count slower.
    for (int step = 0, stale = 0; stale < 60 && elapsed() < seconds; ++step) {
      candidate = current;
      mutate(random, candidate);
      Measure next = measure(candidate);
      if (next.milliseconds > here.milliseconds) {
        current = candidate;
        here = next;
        stale = 0;
      } else {
        ++stale;
      }
    }
    if (here.milliseconds > worst.milliseconds) {
      worst = here;
      slowest = current;
      std::snprintf(worstOrigin, sizeof worstOrigin, "%s", origin);
      std::printf(
          "%7.1f s  restart %d: %.3f ms, %lld nodes, N = %s, %d elements, %d "
          "constraints, from %s\n          ",
          elapsed(), restarts, here.milliseconds, static_cast<long long>(here.statistics.nodes),
          countText(here.count).digits, current.size, current.constraintCount, origin);
      printEngineStatistics(stdout, here.statistics);
      std::printf("\n");
      std::fflush(stdout);
    }
  }
  std::printf("slowest: %.3f ms, %lld nodes, N = %s, from %s (%d restarts)\n", worst.milliseconds,
              static_cast<long long>(worst.statistics.nodes), countText(worst.count).digits,
              worstOrigin, restarts);
  printEngineStatistics(stdout, worst.statistics);
  std::printf("\n");
  if (output) {
    FILE* file = std::fopen(output, "w");
    if (!file) return 1;
    writeJobFileStart(file);
    writeJob(file, "slowest", slowest);
    writeJobFileEnd(file);
    if (std::fclose(file) != 0) return 1;
  }
  return 0;
}

}  // namespace
}  // namespace tallyra

int main(int argc, char** argv) { return tallyra::run(argc, argv); }
