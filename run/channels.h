// The four text channels of a run: Screen, Keyboard, JobFile, ResultFile.
//
// Output lines end with CR LF on every platform. Output is buffered;
// showNow() makes what was written show at once where someone may watch
// it: on Screen when it is a console or terminal (which also shows every
// line as soon as it ends), and on ResultFile always. Screen on a file or pipe
// is written out in blocks instead, and always before Keyboard is read and
// before the run ends, so the bytes are the same either way. Input is read
// as bytes; a physical line ends at LF, CR or CR LF. Every failed operation
// ends the run as the runtime error stop does (the channels are written out
// quietly, then the error is reported), so callers never see one.
#ifndef TALLYRA_RUN_CHANNELS_H_
#define TALLYRA_RUN_CHANNELS_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/platform.h"
#include "run/text_line.h"

namespace tallyra {

class OutputChannel {
 public:
  enum class Kind { kScreen, kFile };
  explicit OutputChannel(Kind kind) : kind_(kind) {}
  OutputChannel(const OutputChannel&) = delete;
  OutputChannel& operator=(const OutputChannel&) = delete;

  // Attaches an open file (ResultFile only); the channel takes ownership.
  void attach(FileHandle file);
  bool isOpen() const { return kind_ == Kind::kScreen || file_ != kNoFile; }
  // Screen only: whether someone may be watching it (a console), so that
  // every line and every flushed piece must show at once. True at start.
  void setWatched(bool watched) { watched_ = watched; }

  void write(std::string_view text) {
    if (text.size() <= kBufferSize - used_ && isOpen()) {
      std::memcpy(buffer_ + used_, text.data(), text.size());
      used_ += text.size();
    } else {
      writeLong(text);
    }
  }
  void write(char c) { write(std::string_view(&c, 1)); }
  void writeNumber(int64_t n);
  void endLine() {
    write("\r\n");
    if (kind_ == Kind::kScreen && watched_) writeOut();
  }
  void writeLine(std::string_view text) {
    write(text);
    endLine();
  }
  // Shows what was written at once where someone may watch it (see above):
  // writes it out unless this is a Screen that nobody watches.
  void showNow() {
    if (kind_ == Kind::kFile || watched_) writeOut();
  }
  // Hands everything buffered to the system now, whoever watches.
  void writeOut();
  // Writes out what is buffered and closes the file (ResultFile only).
  void close();
  // For the runtime error stop: writes out what it can, reporting nothing.
  void writeOutIgnoringFailure();
  // Drops the buffer and forgets the file without touching it (tests).
  void reset();

 private:
  static constexpr size_t kBufferSize = size_t{64} * 1024;
  void writeLong(std::string_view text);
  // Hands the buffer to the system; false when that fails.
  bool tryWriteOut();

  Kind kind_;
  bool watched_ = true;
  FileHandle file_ = kNoFile;
  size_t used_ = 0;
  char buffer_[kBufferSize];
};

class InputChannel {
 public:
  enum class Kind { kKeyboard, kFile };
  explicit InputChannel(Kind kind) : kind_(kind) {}
  InputChannel(const InputChannel&) = delete;
  InputChannel& operator=(const InputChannel&) = delete;

  // Attaches an open file (JobFile only); the channel takes ownership.
  void attach(FileHandle file);
  bool isOpen() const { return kind_ == Kind::kKeyboard || file_ != kNoFile; }

  // The job file's end test: no character left, or the next one is Ctrl-Z.
  bool atEnd();
  // The next byte without taking it, or -1 when none is left.
  int peek();
  // Takes the next byte, or answers -1 when none is left.
  int get();
  // Reads one physical line without its line end; the first 255 characters
  // are kept and the rest of the line is skipped, handed piece by piece to
  // `cutOff` (a callable taking a std::string_view) for a caller that must
  // know what was lost. Returns false, with `line` empty, when no character
  // was left to read. Reading Keyboard first writes out Screen.
  template <typename CutOff>
  bool readLine(TextLine& line, CutOff&& cutOff);
  bool readLine(TextLine& line) {
    return readLine(line, [](std::string_view) {});
  }
  // Skips to just after the current line's end (or to the end of input).
  void skipRestOfLine();

  void close();
  void reset();

 private:
  static constexpr size_t kBufferSize = size_t{64} * 1024;
  // The bytes that can be taken without another read (reading more when
  // none are left), an LF that ends a CR's line already skipped; empty only
  // at the end of the input.
  std::string_view available();
  void take(size_t n) { pos_ += n; }
  bool fill();
  void beforeLine();
  // The position of the first CR or LF in `bytes`, or its size.
  static size_t lineEnd(std::string_view bytes);

  Kind kind_;
  FileHandle file_ = kNoFile;
  bool ended_ = false;
  bool skipLf_ = false;  // the last line ended with CR: an LF next belongs to it
  size_t pos_ = 0;
  size_t filled_ = 0;
  char buffer_[kBufferSize];
};

extern OutputChannel screen;
extern OutputChannel resultFile;
extern InputChannel keyboard;
extern InputChannel jobFile;

// For the runtime error stop: writes out what Screen and ResultFile hold,
// reporting nothing, so that a failing write cannot come back to the stop.
void writeOutChannelsIgnoringFailure();

// Resets all four channels to their state at process start (tests).
void resetChannels();

template <typename CutOff>
bool InputChannel::readLine(TextLine& line, CutOff&& cutOff) {
  beforeLine();
  line.clear();
  std::string_view bytes = available();
  if (bytes.empty()) return false;
  for (;;) {
    size_t end = lineEnd(bytes);
    size_t room = static_cast<size_t>(TextLine::kCapacity - line.length());
    if (end <= room) {
      line.append(bytes.substr(0, end));
    } else {
      line.append(bytes.substr(0, room));
      cutOff(bytes.substr(room, end - room));
    }
    if (end < bytes.size()) {
      skipLf_ = bytes[end] == '\r';
      take(end + 1);
      return true;
    }
    take(end);
    bytes = available();
    if (bytes.empty()) return true;
  }
}

}  // namespace tallyra

#endif  // TALLYRA_RUN_CHANNELS_H_
