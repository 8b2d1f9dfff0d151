#include "frontend/startup.h"

#include <cstring>

#include "frontend/help.h"
#include "frontend/program_texts.h"
#include "platform/platform.h"
#include "run/channels.h"
#include "run/data_error_stop.h"
#include "run/runtime_error_stop.h"

namespace tallyra {

TextLine inputFileName;
TextLine resultFileName;

namespace {

// A text line as a NUL-terminated name for the platform.
struct CName {
  explicit CName(const TextLine& line) {
    std::memcpy(text, line.data(), static_cast<size_t>(line.length()));
    text[line.length()] = '\0';
  }
  char text[TextLine::kCapacity + 1];
};

bool tryOpenJobFile(const TextLine& name) {
  if (name.position('\0') != 0) return false;  // no file has such a name
  FileHandle file = platform().openForReading(CName(name).text);
  if (file == kNoFile) return false;
  jobFile.attach(file);
  return true;
}

void chooseJobFile() {
  const char* argument = platform().firstArgument();
  inputFileName.assign(argument != nullptr ? argument : "");
  if (!inputFileName.empty() && tryOpenJobFile(inputFileName)) return;
  for (;;) {
    // Kept as it is, "quotion" and all: users' scripts see these bytes.
    screen.write("Enter the name of input file or enter \"help\" (without quotion marks): ");
    screen.showNow();
    if (!keyboard.readLine(inputFileName)) {
      // When the last name tried failed for a reason of the system's (too
      // many open files, say), that is what the user has to know.
      if (*failureCause() != '\0') runtimeErrorStop(RuntimeError::kOpenFailed, failureCause());
      runtimeErrorStop(RuntimeError::kReadPastEnd);
    }
    if (inputFileName == "help") printHelp();
    if (inputFileName.empty()) continue;
    if (tryOpenJobFile(inputFileName)) return;
    screen.write("This file does not exist!");
    screen.write('\a');
    screen.endLine();
  }
}

void createResultFile() {
  TextLine ext = fileExtension(inputFileName);
  std::string_view base = inputFileName.view();
  base.remove_suffix(static_cast<size_t>(ext.length()));
  for (const char* mark = kResultFileMarks; *mark != '\0'; ++mark) {
    resultFileName.assign(base);
    resultFileName.append("_r");
    resultFileName.append(*mark);
    resultFileName.append(ext.view());
    CName name(resultFileName);
    // Anything at all under the name, even a file we may not read, makes it
    // taken: an existing file is never touched.
    if (platform().nameExists(name.text)) continue;
    FileHandle file;
    switch (platform().createNew(name.text, &file)) {
      case CreateOutcome::kCreated:
        resultFile.attach(file);
        return;
      case CreateOutcome::kAlreadyExists:  // it appeared meanwhile
        continue;
      case CreateOutcome::kDenied:
        runtimeErrorStop(RuntimeError::kAccessDenied);
      case CreateOutcome::kFailed:
        runtimeErrorStop(RuntimeError::kCreateFailed, failureCause());
    }
  }
  dataErrorStop("Error: delete some of the ", inputFileName.view(), "_r? files!");
}

}  // namespace

TextLine fileExtension(const TextLine& name) {
  for (int i = name.length(); i >= 1; --i) {
    char c = name.at(i);
    if (c == '.') return TextLine(name.view().substr(static_cast<size_t>(i - 1)));
    if (c == '/' || c == '\\' || c == ':') break;
  }
  return TextLine();
}

void openJobAndResultFiles() {
  screen.write("Tallyra, ver. ");
  screen.write(kVersionText);
  screen.write(", to compute |Sub(A)|; ");
  screen.writeLine(kBannerAuthorshipNote);
  screen.writeLine(kAcknowledgementLine);
  screen.writeLine("");
  chooseJobFile();
  screen.write(inputFileName.view());
  screen.writeLine(" has been opened.");
  // A screen that takes no writes ends the run before any result file is
  // made, whether it shows every line at once or takes them in blocks.
  screen.writeOut();
  createResultFile();
}

}  // namespace tallyra
