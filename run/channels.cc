#include "run/channels.h"

#include "run/runtime_error.h"
#include "run/wide_unsigned.h"

namespace tallyra {

OutputChannel screen(OutputChannel::Kind::kScreen);
OutputChannel resultFile(OutputChannel::Kind::kFile);
InputChannel keyboard(InputChannel::Kind::kKeyboard);
InputChannel jobFile(InputChannel::Kind::kFile);

void writeOutChannelsIgnoringFailure() {
  screen.writeOutIgnoringFailure();
  resultFile.writeOutIgnoringFailure();
}

namespace {

// A channel that fails ends the run as the runtime error stop does: what
// can still be written out is, and then the error is reported.
[[noreturn]] void stopOnFailure(RuntimeError error) {
  writeOutChannelsIgnoringFailure();
  reportRuntimeErrorAndEnd(error, nullptr);
}

}  // namespace

void resetChannels() {
  screen.reset();
  resultFile.reset();
  keyboard.reset();
  jobFile.reset();
}

// ---- output

void OutputChannel::attach(FileHandle file) {
  file_ = file;
  used_ = 0;
}

bool OutputChannel::tryWriteOut() {
  if (used_ == 0) return true;
  size_t n = used_;
  used_ = 0;
  if (kind_ == Kind::kScreen) return platform().writeScreen(buffer_, n);
  if (file_ == kNoFile) return true;
  return platform().writeFile(file_, buffer_, n);
}

void OutputChannel::writeLong(std::string_view text) {
  if (!isOpen()) return;
  while (!text.empty()) {
    if (used_ == kBufferSize) writeOut();
    size_t n = kBufferSize - used_;
    if (n > text.size()) n = text.size();
    std::memcpy(buffer_ + used_, text.data(), n);
    used_ += n;
    text.remove_prefix(n);
  }
}

void OutputChannel::writeNumber(int64_t n) {
  char text[24];
  int len = 0;
  if (n < 0) text[len++] = '-';
  const uint64_t magnitude = n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
  len += writeDecimal(magnitude, text + len);
  write(std::string_view(text, static_cast<size_t>(len)));
}

void OutputChannel::writeOut() {
  if (!tryWriteOut()) stopOnFailure(RuntimeError::kDiskFull);
}

void OutputChannel::close() {
  if (kind_ == Kind::kScreen || file_ == kNoFile) return;
  writeOut();
  FileHandle file = file_;
  file_ = kNoFile;
  if (!platform().closeFile(file)) stopOnFailure(RuntimeError::kDiskFull);
}

void OutputChannel::writeOutIgnoringFailure() {
  if (isOpen()) tryWriteOut();
  used_ = 0;
}

void OutputChannel::reset() {
  file_ = kNoFile;
  used_ = 0;
  watched_ = true;
}

// ---- input

void InputChannel::attach(FileHandle file) {
  reset();
  file_ = file;
}

bool InputChannel::fill() {
  if (pos_ < filled_) return true;
  if (ended_ || !isOpen()) return false;
  long n = kind_ == Kind::kKeyboard ? platform().readKeyboard(buffer_, kBufferSize)
                                    : platform().readFile(file_, buffer_, kBufferSize);
  if (n == kKeyboardClosed) stopOnFailure(RuntimeError::kNotOpenForInput);
  if (n < 0) stopOnFailure(RuntimeError::kDiskReadError);
  pos_ = 0;
  filled_ = static_cast<size_t>(n);
  if (n == 0) ended_ = true;
  return n > 0;
}

std::string_view InputChannel::available() {
  for (;;) {
    if (!fill()) return {};
    if (skipLf_) {
      skipLf_ = false;
      if (buffer_[pos_] == '\n') {
        ++pos_;
        continue;
      }
    }
    return std::string_view(buffer_ + pos_, filled_ - pos_);
  }
}

int InputChannel::peek() {
  std::string_view bytes = available();
  return bytes.empty() ? -1 : static_cast<unsigned char>(bytes[0]);
}

int InputChannel::get() {
  int c = peek();
  if (c >= 0) take(1);
  return c;
}

bool InputChannel::atEnd() {
  int c = peek();
  return c < 0 || c == 26;
}

size_t InputChannel::lineEnd(std::string_view bytes) {
  // Searched in windows, so that a file whose lines end in CR alone is not
  // searched to the end of the buffer for an LF at every line.
  constexpr size_t kWindow = 512;
  for (size_t from = 0; from < bytes.size(); from += kWindow) {
    size_t size = bytes.size() - from < kWindow ? bytes.size() - from : kWindow;
    const char* window = bytes.data() + from;
    const void* lf = std::memchr(window, '\n', size);
    size_t limit =
        lf == nullptr ? size : static_cast<size_t>(static_cast<const char*>(lf) - window);
    const void* cr = std::memchr(window, '\r', limit);
    if (cr != nullptr) return from + static_cast<size_t>(static_cast<const char*>(cr) - window);
    if (lf != nullptr) return from + limit;
  }
  return bytes.size();
}

void InputChannel::beforeLine() {
  // What the user is asked must be on the screen before the keyboard waits.
  if (kind_ == Kind::kKeyboard) screen.writeOut();
}

void InputChannel::skipRestOfLine() {
  TextLine ignored;
  readLine(ignored);
}

void InputChannel::close() {
  if (kind_ != Kind::kFile || file_ == kNoFile) return;
  FileHandle file = file_;
  file_ = kNoFile;
  if (!platform().closeFile(file)) stopOnFailure(RuntimeError::kCloseFailed);
}

void InputChannel::reset() {
  file_ = kNoFile;
  ended_ = false;
  skipLf_ = false;
  pos_ = 0;
  filled_ = 0;
}

}  // namespace tallyra
