#include "tests/fake_platform.h"

#include <algorithm>
#include <cstring>

#include "run/channels.h"
#include "run/run_state.h"

namespace tallyra {

FakePlatform::FakePlatform() {
  setPlatform(this);
  setFailureCause(nullptr);
  resetRunState();
  resetChannels();
}

FakePlatform::~FakePlatform() {
  resetChannels();
  setPlatform(nullptr);
}

void FakePlatform::openJobFile(const std::string& content) {
  files["job.txt"] = content;
  jobFile.attach(openForReading("job.txt"));
  FileHandle result;
  createNew("result.txt", &result);
  resultFile.attach(result);
}

const char* FakePlatform::firstArgument() { return hasArgument ? argument.c_str() : nullptr; }

bool FakePlatform::nextWriteFails() {
  ++writes_;
  return failWriteNumber != 0 && writes_ == failWriteNumber;
}

bool FakePlatform::writeScreen(const char* data, size_t size) {
  if (screenFailing_ || nextWriteFails()) {
    screenFailing_ = true;
    return false;
  }
  screen.append(data, size);
  return true;
}

bool FakePlatform::screenIsConsole() { return screenConsole; }

long FakePlatform::readKeyboard(char* buffer, size_t capacity) {
  ++keyboardReads;
  if (keyboardClosed) return kKeyboardClosed;
  // Hand out one line at a time, as a console does.
  size_t left = keyboardInput.size() - keyboardPos_;
  size_t n = 0;
  while (n < left && n < capacity) {
    char c = keyboardInput[keyboardPos_ + n++];
    if (c == '\n') break;
  }
  std::copy_n(keyboardInput.begin() + static_cast<std::ptrdiff_t>(keyboardPos_), n, buffer);
  keyboardPos_ += n;
  return static_cast<long>(n);
}

FileHandle FakePlatform::openForReading(const char* name) {
  auto failure = systemFailures.find(name);
  setFailureCause(failure != systemFailures.end() ? failure->second.c_str() : nullptr);
  if (failure != systemFailures.end()) return kNoFile;
  auto it = files.find(name);
  if (it == files.end() || unreadable.count(name)) return kNoFile;
  int h = nextHandle_++;
  open_[h] = OpenFile{name, false, 0, false};
  return h;
}

bool FakePlatform::nameExists(const char* name) {
  return files.count(name) || otherNames.count(name);
}

CreateOutcome FakePlatform::createNew(const char* name, FileHandle* file) {
  *file = kNoFile;
  setFailureCause(nullptr);
  if (nameExists(name)) return CreateOutcome::kAlreadyExists;
  if (uncreatable.count(name)) return CreateOutcome::kDenied;
  auto failure = systemFailures.find(name);
  if (failure != systemFailures.end()) {
    setFailureCause(failure->second.c_str());
    return CreateOutcome::kFailed;
  }
  files[name] = "";
  int h = nextHandle_++;
  open_[h] = OpenFile{name, true, 0, false};
  *file = h;
  return CreateOutcome::kCreated;
}

long FakePlatform::readFile(FileHandle file, char* buffer, size_t capacity) {
  ++fileReads_;
  if (failFileReads || fileReads_ == failReadNumber) return -1;
  OpenFile& f = open_.at(file);
  const std::string& content = files.at(f.name);
  size_t n = std::min(capacity, content.size() - f.position);
  std::memcpy(buffer, content.data() + f.position, n);
  f.position += n;
  return static_cast<long>(n);
}

bool FakePlatform::writeFile(FileHandle file, const char* data, size_t size) {
  OpenFile& f = open_.at(file);
  if (f.failing || nextWriteFails()) {
    f.failing = true;
    return false;
  }
  files[f.name].append(data, size);
  return true;
}

bool FakePlatform::closeFile(FileHandle file) {
  auto it = open_.find(file);
  if (it == open_.end()) return false;
  bool fails = failingCloses.count(it->second.name) != 0;
  open_.erase(it);
  return !fails;
}

TimeOfDay FakePlatform::localTimeOfDay() {
  if (clockReadings.empty()) return TimeOfDay{};
  TimeOfDay t = clockReadings[std::min(clockIndex_, clockReadings.size() - 1)];
  ++clockIndex_;
  return t;
}

void FakePlatform::endProcess(int status) { throw ProcessEnded{status}; }

}  // namespace tallyra
