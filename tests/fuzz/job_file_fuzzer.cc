// Fuzzes a whole run on one job file: start-up, header, jobs, constraint
// lines, the size read and the count. The run goes through the in-memory
// platform, whose end of the process throws, so every stop comes back here.
//
// Besides the sanitizers' findings, a run must end in one of three ways: a
// complete run, a data error stop (both with exit status 0) or a runtime
// error stop (217), each with its own last screen line. The fuzz build
// also has the engine count every part of at most 16 elements again from
// the constraints as given (its option checkComponents; every other job
// with residual cache keys and parts of up to ten elements tried from the
// first node, in plain instructions), and checks every job's
// count against the plain enumeration (up to 16 elements) or the
// closed-set listing (larger jobs with at most 20,000 closed sets),
// aborting on a difference (counting/count_check.h,
// frontend/job_processor.cc).
#include <cctype>
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

bool isHexDigits(const std::string& text, size_t from, size_t count) {
  if (from + count > text.size()) return false;
  for (size_t i = from; i < from + count; ++i)
    if (std::isxdigit(static_cast<unsigned char>(text[i])) == 0) return false;
  return true;
}

// Whether the screen ends with a runtime error report: "An unhandled
// exception occurred at 0x<8 hex digits> :", the message, "  0x<8 hex
// digits>" and an empty line. A print line may show the report's first
// words earlier on; only a report at the very end counts.
bool endsWithRuntimeErrorReport(const std::string& screen) {
  const std::string start = "An unhandled exception occurred at 0x";
  size_t at = screen.rfind(start);
  if (at == std::string::npos) return false;
  size_t pos = at + start.size();
  if (!isHexDigits(screen, pos, 8) || screen.compare(pos + 8, 4, " :\r\n") != 0) return false;
  pos += 12;
  size_t messageEnd = screen.find("\r\n", pos);
  if (messageEnd == std::string::npos || messageEnd == pos) return false;
  if (screen.find('\n', pos) < messageEnd) return false;  // one line
  pos = messageEnd + 2;
  if (screen.compare(pos, 4, "  0x") != 0 || !isHexDigits(screen, pos + 4, 8)) return false;
  return screen.size() == pos + 12 + 4 && endsWith(screen, "\r\n\r\n");
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
  bool runtimeError = endsWithRuntimeErrorReport(fake.screen);
  if (status == 0 && (complete || dataError)) return 0;
  if (status == 217 && runtimeError) return 0;
  std::abort();  // a run that ended in no known way
}
