// The --engine flag of the benchmark tools: any option of the counting
// engine set by name ("--engine longSearchAfter=0,triedElements=4"), and the
// engine's statistics printed by name.
#ifndef TALLYRA_BENCH_ENGINE_FLAG_H_
#define TALLYRA_BENCH_ENGINE_FLAG_H_

#include <cstdio>

#include "counting/engine_settings.h"

namespace tallyra {

// Sets the options that `list` names in `options`; false, with a message on
// standard error that lists the options, when it cannot.
bool parseEngineFlag(const char* list, EngineOptions& options);

// "longSearchAfter=4096 residualKeys=1 ..." and a line end.
void printEngineOptions(FILE* out, const EngineOptions& options);

// "nodes=1762 cacheLookups=... ..." (without a line end).
void printEngineStatistics(FILE* out, const EngineStatistics& statistics);

// The engine's options (name, default, bounds, meaning) and its statistics
// (name, meaning) as two Markdown tables.
void printEngineTables(FILE* out);

}  // namespace tallyra

#endif  // TALLYRA_BENCH_ENGINE_FLAG_H_
