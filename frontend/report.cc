#include "frontend/report.h"

#include <type_traits>

#include "frontend/program_texts.h"
#include "frontend/run_clock.h"
#include "run/run_state.h"

namespace tallyra {

namespace {

// The double nearest to n, ties to even (as converting n to a double does):
// mantissa * 2^exponent, mantissa below 2^53.
void nearestDouble(const SubsetCount& n, uint64_t& mantissa, int& exponent) {
  exponent = n.bitWidth() > 53 ? n.bitWidth() - 53 : 0;
  if (exponent == 0) {
    mantissa = n.word(0);
    return;
  }
  const SubsetCount rest = n & ((SubsetCount{1} << exponent) - 1);
  const SubsetCount half = SubsetCount{1} << (exponent - 1);
  mantissa = (n >> exponent).word(0);
  if (rest > half || (rest == half && (mantissa & 1) != 0)) ++mantissa;
  if (mantissa >> 53 != 0) {  // rounded up to the next power of two
    mantissa >>= 1;
    ++exponent;
  }
}

// The first `decimals` decimal digits of the fraction mantissa / 2^shift
// (of its part below 1) into `digits`; answers whether the rest is less
// than (-1), exactly (0) or more than (1) half a unit of the last digit.
// Word has room for shift + 4 bits.
template <typename Word>
int expandFraction(uint64_t mantissa, int shift, int decimals, char* digits) {
  const Word one = Word{1} << shift;
  Word frac = Word{mantissa} & (one - 1);
  for (int i = 0; i < decimals; ++i) {
    frac *= 10;
    const Word digit = frac >> shift;
    if constexpr (std::is_integral_v<Word>)
      digits[i] = static_cast<char>('0' + digit);
    else
      digits[i] = static_cast<char>('0' + digit.word(0));
    frac &= one - 1;
  }
  const Word half = one >> 1;
  return frac < half ? -1 : frac == half ? 0 : 1;
}

}  // namespace

int formatCount(const SubsetCount& count, char* out) { return count.toDecimal(out); }

int formatScaledCount(const SubsetCount& count, int32_t size, int32_t k, int decimals, int width,
                      char* out, size_t capacity) {
  // x = count * 2^(k - size), with count first made a double: a mantissa
  // below 2^53 times 2^exponent. So x = mantissa * 2^-shift, shift at most
  // size: an integer part (at most 2^20, since count <= 2^size) and, when
  // shift > 0, a fraction of shift binary digits, expanded exactly in
  // decimal.
  uint64_t mantissa;
  int exponent;
  nearestDouble(count, mantissa, exponent);
  const int shift = size - k - exponent;
  char digits[20];
  int len = 0;
  uint64_t integer = 0;
  char fraction[32];
  if (shift <= 0) {
    integer = mantissa << (-shift);
    for (int i = 0; i < decimals; ++i) fraction[i] = '0';
  } else {
    integer = shift < 64 ? mantissa >> shift : 0;
    // The fraction is frac / 2^shift; frac * 10 needs shift + 4 bits, so
    // one 64-bit word does up to shift 60, the usual case.
    const int rest = shift <= 60 ? expandFraction<uint64_t>(mantissa, shift, decimals, fraction)
                                 : expandFraction<SubsetCount>(mantissa, shift, decimals, fraction);
    // Round the rest half to even.
    bool lastOdd = decimals > 0 ? ((fraction[decimals - 1] - '0') & 1) != 0 : (integer & 1) != 0;
    if (rest > 0 || (rest == 0 && lastOdd)) {
      int i = decimals - 1;
      while (i >= 0 && fraction[i] == '9') fraction[i--] = '0';
      if (i >= 0)
        ++fraction[i];
      else
        ++integer;
    }
  }
  len = writeDecimal(integer, digits);
  int total = len + (decimals > 0 ? 1 + decimals : 0);
  int pad = width > total ? width - total : 0;
  size_t need = static_cast<size_t>(pad + total) + 1;
  if (need > capacity) {
    if (capacity > 0) out[0] = '\0';
    return 0;
  }
  int n = 0;
  for (int i = 0; i < pad; ++i) out[n++] = ' ';
  for (int i = 0; i < len; ++i) out[n++] = digits[i];
  if (decimals > 0) {
    out[n++] = '.';
    for (int i = 0; i < decimals; ++i) out[n++] = fraction[i];
  }
  out[n] = '\0';
  return n;
}

void writeResultLines(const JobRecord& job, const SubsetCount& count) {
  char scaled[128];
  char countText[SubsetCount::kDecimalCapacity];
  const int countLength = formatCount(count, countText);
  const std::string_view countView(countText, static_cast<size_t>(countLength));
  int32_t k = runOptions.subtrahend;

  int n = formatScaledCount(count, job.size, k, 8, 22, scaled, sizeof scaled);
  screen.write("Result: |Sub(");
  screen.write(job.name.view());
  screen.write(")| = ");
  screen.write(countView);
  screen.write(" = ");
  screen.write(std::string_view(scaled, static_cast<size_t>(n)));
  screen.write("*2^{|A|-");
  screen.writeNumber(k);
  screen.write("}");
  screen.endLine();

  resultFile.write("Result for A=");
  resultFile.write(job.name.view());
  resultFile.write(":  |Sub(A)| = ");
  resultFile.write(countView);
  resultFile.write(", whence");
  resultFile.endLine();

  n = formatScaledCount(count, job.size, k, 16, 21, scaled, sizeof scaled);
  resultFile.write("sigma(A) = |Sub(A)|*2^(");
  resultFile.writeNumber(k);
  resultFile.write("-|A|) = ");
  resultFile.write(std::string_view(scaled, static_cast<size_t>(n)));
  resultFile.write(" .");
  resultFile.endLine();
}

void writeClock(OutputChannel& out, const TimeOfDay& t, bool milliseconds) {
  out.writeNumber(t.hour);
  out.write(":");
  out.writeNumber(t.minute);
  out.write(":");
  out.writeNumber(t.second);
  if (milliseconds) {
    out.write(".");
    out.writeNumber(t.millisecond);
  }
}

void writeReportHeader() {
  screen.writeLine("");
  screen.write("TALLYRA ver. ");
  screen.write(kVersionText);
  screen.write(" (running from ");
  writeClock(screen, startTime, true);
  screen.write(", verbose=");
  screen.write(runOptions.verbose ? "TRUE" : "FALSE");
  screen.writeLine(") reports:");
  screen.writeLine("");

  resultFile.write("TALLYRA version ");
  resultFile.write(kVersionText);
  resultFile.write(" (started at ");
  writeClock(resultFile, startTime, false);
  resultFile.writeLine(") reports:");
  resultFile.writeLine(kAcknowledgementLine);
  resultFile.write("Tallyra is ");
  resultFile.writeLine(kAuthorshipNote);
  resultFile.writeLine("");
}

void writeConstraintListing(const JobRecord& job) {
  for (OutputChannel* out : {&screen, &resultFile}) {
    out->write("The list of all constraints:  ");
    out->showNow();
  }
  for (int i = 1; i <= job.constraintCount; ++i) {
    const Constraint& c = job.constraintTable[i - 1];
    char text[6] = {job.elementSymbols.at(c.left),   runOptions.operationSymbols.at(c.operation),
                    job.elementSymbols.at(c.right),  '=',
                    job.elementSymbols.at(c.result), ' '};
    for (OutputChannel* out : {&screen, &resultFile}) {
      out->write(std::string_view(text, sizeof text));
      out->showNow();
    }
  }
  screen.writeLine(" .");
  resultFile.writeLine(" .");
}

void writeClosingLines(int32_t elapsedMilliseconds) {
  screen.writeLine("");
  resultFile.writeLine("");
  screen.write("The computation terminated at ");
  writeClock(screen, endTime, true);
  screen.write("; it took ");
  screen.writeNumber(elapsedMilliseconds);
  screen.writeLine("/1000 seconds.");
  resultFile.write("The computation took ");
  resultFile.writeNumber(elapsedMilliseconds);
  resultFile.writeLine("/1000 seconds.");
  screen.writeLine("Thank you for using this program.   Hit <enter> twice to abandon!");
}

}  // namespace tallyra
