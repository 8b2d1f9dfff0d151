// The four text channels of a run: Screen, Keyboard, JobFile, ResultFile.
//
// Output lines end with CR LF on every platform. Screen is line-buffered
// (a piece written without a line end shows only after flush()); ResultFile
// is block-buffered and written out by flush() and close(). Input is read
// as bytes; a physical line ends at LF, CR or CR LF. Every failed operation
// ends the run through the runtime error stop, so callers never see one.
#ifndef TALLYRA_RUN_CHANNELS_H_
#define TALLYRA_RUN_CHANNELS_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/platform.h"
#include "run/text_line.h"

namespace tallyra {

class OutputChannel {
 public:
  enum class Kind { kScreen, kFile };
  explicit OutputChannel(Kind kind) : kind_(kind) {}

  // Attaches an open file (ResultFile only); the channel takes ownership.
  void attach(FileHandle file);
  bool isOpen() const { return kind_ == Kind::kScreen || file_ != kNoFile; }

  void write(std::string_view text);
  void write(char c) { write(std::string_view(&c, 1)); }
  void writeNumber(int64_t n);
  void endLine();
  void writeLine(std::string_view text) {
    write(text);
    endLine();
  }
  void flush();
  // Writes out what is buffered and closes the file (ResultFile only).
  void close();
  // For the runtime error stop: writes out what it can, reporting nothing.
  void flushQuietly();
  // Drops the buffer and forgets the file without touching it (tests).
  void reset();

 private:
  static constexpr size_t kBufferSize = size_t{64} * 1024;
  bool writeOut();

  Kind kind_;
  FileHandle file_ = kNoFile;
  size_t used_ = 0;
  char buffer_[kBufferSize];
};

class InputChannel {
 public:
  enum class Kind { kKeyboard, kFile };
  explicit InputChannel(Kind kind) : kind_(kind) {}

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
  // are kept and the rest of the line is skipped. Returns false, with `line`
  // empty, when no character was left to read.
  bool readLine(TextLine& line);
  // Skips to just after the current line's end (or to the end of input).
  void skipRestOfLine();

  void close();
  void reset();

 private:
  static constexpr size_t kBufferSize = size_t{64} * 1024;
  bool fill();

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

// Resets all four channels to their state at process start (tests).
void resetChannels();

}  // namespace tallyra

#endif  // TALLYRA_RUN_CHANNELS_H_
