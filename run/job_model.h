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
#include "run/wide_unsigned.h"

namespace tallyra {

// The most elements a job can have: its elements line is a text line, and
// of the 256 byte values, CR and LF end a line and 17 are reserved, so at
// most 237 distinct element characters fit in one.
constexpr int kMaxElements = 237;
// The most constraints of one job: two full tables of 256 elements.
constexpr int kMaxConstraints = 131072;

// A number of subsets of a job's elements, 0..2^237, exact at every size.
using SubsetCount = WideUnsigned<4>;

// The element symbols of a job: one character per element; an element's
// identity is its 1-based position here. As long as a text line, so that
// the checks of an elements line see all of it.
using ElementSymbols = TextLine;

// Settings read once from the job file's header.
struct RunOptions {
  bool verbose = false;
  int32_t subtrahend = 0;     // k, 0..20
  TextLine operationSymbols;  // one character per operation
};

// One constraint x*y=z as positions: left, right and result in the element
// symbols (1..|A|), operation in the operation symbols (1..255). No stored
// entry holds 0. Like the built-in integers, a Constraint made without a
// value holds none (`Constraint c{}` is all 0), so that the job's table
// costs nothing until a job fills it.
struct Constraint {
  uint8_t left;
  uint8_t right;
  uint8_t result;
  uint8_t operation;
};

// One job, as the job file parser fills it and the engine and the report
// read it; about half a megabyte, so passed by reference and kept in static
// storage.
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
