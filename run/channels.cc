#include "run/channels.h"

#include <cstring>

#include "run/runtime_error_stop.h"

namespace tallyra {

OutputChannel screen(OutputChannel::Kind::kScreen);
OutputChannel resultFile(OutputChannel::Kind::kFile);
InputChannel keyboard(InputChannel::Kind::kKeyboard);
InputChannel jobFile(InputChannel::Kind::kFile);

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

bool OutputChannel::writeOut() {
  if (used_ == 0) return true;
  size_t n = used_;
  used_ = 0;
  if (kind_ == Kind::kScreen) return platform().writeScreen(buffer_, n);
  if (file_ == kNoFile) return true;
  return platform().writeFile(file_, buffer_, n);
}

void OutputChannel::write(std::string_view text) {
  if (!isOpen()) return;
  while (!text.empty()) {
    if (used_ == kBufferSize && !writeOut()) runtimeErrorStop(RuntimeError::kDiskFull);
    size_t n = kBufferSize - used_;
    if (n > text.size()) n = text.size();
    std::memcpy(buffer_ + used_, text.data(), n);
    used_ += n;
    text.remove_prefix(n);
  }
}

void OutputChannel::writeNumber(int64_t n) {
  char digits[24];
  int len = 0;
  uint64_t magnitude = n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
  do {
    digits[len++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (n < 0) digits[len++] = '-';
  char text[24];
  for (int i = 0; i < len; ++i) text[i] = digits[len - 1 - i];
  write(std::string_view(text, static_cast<size_t>(len)));
}

void OutputChannel::endLine() {
  write("\r\n");
  if (kind_ == Kind::kScreen) flush();
}

void OutputChannel::flush() {
  if (!writeOut()) runtimeErrorStop(RuntimeError::kDiskFull);
}

void OutputChannel::close() {
  if (kind_ == Kind::kScreen || file_ == kNoFile) return;
  flush();
  FileHandle file = file_;
  file_ = kNoFile;
  if (!platform().closeFile(file)) runtimeErrorStop(RuntimeError::kDiskFull);
}

void OutputChannel::flushQuietly() {
  if (isOpen()) writeOut();
  used_ = 0;
}

void OutputChannel::reset() {
  file_ = kNoFile;
  used_ = 0;
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
  if (n < 0) runtimeErrorStop(RuntimeError::kDiskReadError);
  pos_ = 0;
  filled_ = static_cast<size_t>(n);
  if (n == 0) ended_ = true;
  return n > 0;
}

int InputChannel::peek() {
  for (;;) {
    if (!fill()) return -1;
    unsigned char c = static_cast<unsigned char>(buffer_[pos_]);
    if (skipLf_) {
      skipLf_ = false;
      if (c == '\n') {
        ++pos_;
        continue;
      }
    }
    return c;
  }
}

int InputChannel::get() {
  int c = peek();
  if (c >= 0) ++pos_;
  return c;
}

bool InputChannel::atEnd() {
  int c = peek();
  return c < 0 || c == 26;
}

bool InputChannel::readLine(TextLine& line) {
  line.clear();
  if (peek() < 0) return false;
  for (;;) {
    int c = get();
    if (c < 0 || c == '\n') break;
    if (c == '\r') {
      skipLf_ = true;
      break;
    }
    line.append(static_cast<char>(c));
  }
  return true;
}

void InputChannel::skipRestOfLine() {
  TextLine ignored;
  readLine(ignored);
}

void InputChannel::close() {
  if (kind_ != Kind::kFile || file_ == kNoFile) return;
  FileHandle file = file_;
  file_ = kNoFile;
  if (!platform().closeFile(file)) runtimeErrorStop(RuntimeError::kCloseFailed);
}

void InputChannel::reset() {
  file_ = kNoFile;
  ended_ = false;
  skipLf_ = false;
  pos_ = 0;
  filled_ = 0;
}

}  // namespace tallyra
