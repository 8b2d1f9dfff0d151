// Sample algebras written as job files, for the program itself: elements
// 0-9, A-Z, a-z, ! and # (the first 30 are 0-9 and A-T; 64 in all), then the
// other printable characters that are not reserved, the bytes 128..255 and
// the control characters but CR and LF (up to 237), operation symbols * and
// +, 40 constraints to a line.
#ifndef TALLYRA_TESTS_ALGEBRAS_JOB_FILE_WRITING_H_
#define TALLYRA_TESTS_ALGEBRAS_JOB_FILE_WRITING_H_

#include <cstdio>

#include "tests/algebras/sample_algebras.h"

namespace tallyra {

// The header and \beginjob; then one call of writeJob() per job; then
// \enddata.
void writeJobFileStart(FILE* file);
void writeJob(FILE* file, const char* name, const SampleAlgebra& algebra);
void writeJobFileEnd(FILE* file);

// A job file of one job at `path`; false when it cannot be written.
bool writeSingleJobFile(const char* path, const char* name, const SampleAlgebra& algebra);

}  // namespace tallyra

#endif  // TALLYRA_TESTS_ALGEBRAS_JOB_FILE_WRITING_H_
