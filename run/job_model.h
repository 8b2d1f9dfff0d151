// The job data model: the run's settings, one job and its constraint table,
// in fixed capacities. The process-wide variables of these types are in
// run_state.h.
//
// Nothing here is allocated per job. A new job overwrites the fields of the
// previous one; the constraint table is not cleared between jobs, so only
// its first `constraintCount` entries belong to the current job.
#ifndef TALLYRA_RUN_JOB_MODEL_H_
#define TALLYRA_RUN_JOB_MODEL_H_

#include <cstdint>

#include "run/text_line.h"

namespace tallyra {

constexpr int kMaxElements = 64;       // elements of a job, all of them counted
constexpr int kMaxConstraints = 4096;  // constraints of one job

// A number of subsets of a job's elements, 0..2^64: one bit wider than 64,
// since a job of 64 elements without constraints has 2^64 subuniverses.
__extension__ typedef unsigned __int128 SubsetCount;

// The element symbols of a job: one character per element; an element's
// identity is its 1-based position here.
using ElementSymbols = FixedText<kMaxElements>;

// Settings read once from the job file's header.
struct RunOptions {
  bool verbose = false;
  int32_t subtrahend = 0;     // k, 0..20
  TextLine operationSymbols;  // one character per operation
};

// One constraint x*y=z as positions: left, right and result in the element
// symbols (1..30), operation in the operation symbols (1..255). No stored
// entry holds 0.
struct Constraint {
  uint8_t left = 0;
  uint8_t right = 0;
  uint8_t result = 0;
  uint8_t operation = 0;
};

// The current job.
struct JobRecord {
  TextLine name;
  int32_t size = 0;  // |A|
  ElementSymbols elementSymbols;
  int32_t constraintCount = 0;  // 0..kMaxConstraints
  // constraintTable[i - 1] is constraint number i, i = 1..constraintCount.
  Constraint constraintTable[kMaxConstraints];
};

}  // namespace tallyra

#endif  // TALLYRA_RUN_JOB_MODEL_H_
