// Fuzzes a whole run on one job file: start-up, header, jobs, constraint
// lines, the size read and the count. The run goes through the in-memory
// platform, whose end of the process throws, so every stop comes back here.
//
// Besides the sanitizers' findings, a run must end in one of three ways: a
// complete run, a data error stop (both with exit status 0) or a runtime
// error stop (217), each with its own last screen line. The fuzz build
// also counts every job of at most 16 elements a second time, by the plain
// enumeration, and aborts on a difference (frontend/job_processor.cc).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "frontend/program_run.h"
#include "tests/fake_platform.h"

namespace {

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tallyra::FakePlatform fake;
  fake.files["data.txt"].assign(reinterpret_cast<const char*>(data), size);
  fake.hasArgument = true;
  fake.argument = "data.txt";
  int status = fake.run([] { tallyra::runProgram(); });
  bool complete = endsWith(fake.screen, "Hit <enter> twice to abandon!\r\n");
  bool dataError = endsWith(fake.screen, "  Press <enter> to quit\r\n");
  bool runtimeError =
      fake.screen.find("An unhandled exception occurred at 0x") != std::string::npos;
  if (status == 0 && (complete || dataError)) return 0;
  if (status == 217 && runtimeError) return 0;
  std::abort();  // a run that ended in no known way
}
