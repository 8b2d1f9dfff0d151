// Runs the real program on the end-to-end cases and compares bytes.
//
//   e2e_runner --program PATH [--prefix "COMMAND"] [--platform posix|windows]
//              [--record] CASE_FOLDER...
//
// A case folder holds:
//   case.txt    lines "key: value": about (what the case shows), args (the
//               command line after the program, in shell syntax; none when
//               absent), status (the expected exit status), platforms
//               (optional: the platforms the case applies to), from-repo
//               (optional: files of the repository, by their path from its
//               root, copied into the temporary folder beside in/), stdout
//               (optional: where standard output goes instead of being
//               compared, e.g. /dev/full, or "closed"; screen.txt is then
//               empty), stdin (optional: "closed" starts the program with
//               standard input closed), file-size-limit (optional: a limit
//               in 512-byte blocks on the files the program writes, as
//               "ulimit -f" sets it; standard output then reaches the runner
//               through a pipe, which the limit does not touch),
//               open-files-limit (optional: the most files the program may
//               have open, standard channels included, as "ulimit -n" sets
//               it), stack-limit (optional: the most KiB of stack the
//               program's main thread may grow to, as "ulimit -s" sets it;
//               POSIX only: under Wine the case runs without it, with the
//               stack the Windows program reserves), read-only (optional: a folder of in/, by its
//               path there, that the program may not write into: it becomes readable and searchable
//               but not writable for everyone. Root may write there all the same, so a runner that
//               runs as root runs the program as an unprivileged user, uid and gid 65534, from a
//               copy of the program that user may run, with the case's files made readable to it;
//               where that user cannot be taken on or still may write there, the case is skipped
//               and the reason shown), non-blocking (optional: "stdout",
//               "stdin" or both; the channel is a pipe left in non-blocking
//               mode. Standard output is then read late and slowly through
//               a pipe of one page, so that the program finds it full; each
//               line of stdin.txt is typed only once the program has
//               written nothing for a while, that is, when it waits for the
//               keyboard, and the program must still be running when each
//               is typed), fifo
//               (optional: a file of in/ that is put into the folder as a
//               named pipe instead, which the runner opens and writes the
//               file's bytes into only a while after the program started;
//               the program must have waited for them; they are written at
//               once, so keep the file within the pipe's 64 KiB),
//               signal-at-wait (optional, POSIX: HUP, INT or TERM; standard
//               input is a pipe, each line of stdin.txt is typed when the
//               program waits for the keyboard, as with "non-blocking: stdin"
//               but blocking, and at the wait after the last one the signal
//               goes to the program, as a closed terminal or Ctrl-C sends
//               it; the exit status is then 128 plus the signal's number)
//   stdin.txt   standard input (optional; empty when absent)
//   in/         files put into a fresh temporary folder before the run
//   screen.txt  the expected standard output
//   out/        the files expected in the folder afterwards besides those
//               of in/ (a file of in/ that is also in out/ must have
//               changed into that)
// The clock and duration digits are masked on both sides before comparing.
// With --prefix the program runs under that command (e.g. "wine").
// A skipped case (another platform's, or one whose conditions cannot be
// made here) says so; when every case given is skipped the runner exits
// with 77, which CTest reports as a skipped test.
// With --record the case's screen.txt and out/ are written from the run
// instead of compared: for a new case, whose output must then be read and
// checked by eye before it is committed.
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::map<std::string, std::string> readCase(const fs::path& file) {
  std::map<std::string, std::string> keys;
  std::istringstream lines(readFile(file));
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t colon = line.find(':');
    if (colon == std::string::npos || line[0] == '#') continue;
    std::string value = line.substr(colon + 1);
    if (!value.empty() && value[0] == ' ') value.erase(0, 1);
    keys[line.substr(0, colon)] = value;
  }
  return keys;
}

// The clock and the duration differ from run to run: the digits (with
// their ":" and ".") after these words are replaced by "#".
std::string mask(std::string text) {
  static const char* const kBefore[] = {"running from ", "started at ", "terminated at ",
                                        "it took ", "computation took "};
  for (const char* words : kBefore) {
    std::string w = words;
    for (size_t at = text.find(w); at != std::string::npos; at = text.find(w, at + 1)) {
      size_t from = at + w.size();
      size_t end = from;
      while (end < text.size() && (isdigit(static_cast<unsigned char>(text[end])) ||
                                   text[end] == ':' || text[end] == '.'))
        ++end;
      if (end > from) text.replace(from, end - from, "#");
    }
  }
  return text;
}

// Shows where two texts first differ: the byte and line, and the text
// around it on both sides, with line ends, control characters and bytes
// above 127 written as escapes.
std::string firstDifference(const std::string& want, const std::string& got) {
  size_t i = 0;
  while (i < want.size() && i < got.size() && want[i] == got[i]) ++i;
  size_t line = 1;
  for (size_t j = 0; j < i; ++j) line += want[j] == '\n' ? 1 : 0;
  auto around = [i](const std::string& s) {
    size_t from = i > 40 ? i - 40 : 0;
    std::string part = s.substr(std::min(from, s.size()), 80);
    std::string shown;
    for (char c : part) {
      unsigned char b = static_cast<unsigned char>(c);
      if (c == '\r') {
        shown += "\\r";
      } else if (c == '\n') {
        shown += "\\n";
      } else if (b < 32 || b > 126) {
        static const char kHex[] = "0123456789abcdef";
        shown += "\\x";
        shown += kHex[b >> 4];
        shown += kHex[b & 15];
      } else {
        shown += c;
      }
    }
    return shown.empty() ? std::string("(end)") : shown;
  };
  std::ostringstream s;
  s << "  first difference at byte " << i << " (line " << line << "; expected " << want.size()
    << " bytes, got " << got.size() << ")\n    expected: ..." << around(want)
    << "\n    actual:   ..." << around(got) << "\n";
  return s.str();
}

std::map<std::string, std::string> filesBelow(const fs::path& root) {
  std::map<std::string, std::string> files;
  if (!fs::exists(root)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    std::string rel = fs::relative(entry.path(), root).generic_string();
    if (entry.is_directory())
      files[rel + "/"] = "";
    else if (entry.is_regular_file() && entry.path().filename() != ".keep")
      files[rel] = readFile(entry.path());
  }
  return files;
}

std::string quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

bool record = false;

void recordCase(const fs::path& caseDir, const std::string& screen,
                const std::map<std::string, std::string>& before,
                const std::map<std::string, std::string>& after) {
  std::ofstream(caseDir / "screen.txt", std::ios::binary) << screen;
  fs::remove_all(caseDir / "out");
  for (const auto& [file, content] : after) {
    auto it = before.find(file);
    if (it != before.end() && it->second == content) continue;
    fs::path target = caseDir / "out" / file;
    if (file.back() == '/') {
      fs::create_directories(target);
      std::ofstream keep(target / ".keep");
      continue;
    }
    fs::create_directories(target.parent_path());
    std::ofstream(target, std::ios::binary) << content;
  }
}

// How a run through pipes is fed and read, besides its command.
struct Feed {
  bool slowScreen = false;  // standard output non-blocking, read late and slowly
  bool typedLate = false;   // standard input non-blocking, each line typed when the program waits
  std::string typed;        // what is typed, line by line
  fs::path fifo;            // a named pipe written a while after the start (none when empty)
  std::string fifoBytes;
  int signalAtWait = 0;       // sent at the wait after the last typed line (0: none)
  bool unprivileged = false;  // the program runs as kNobody
};

// The unprivileged user and group that a runner running as root runs a
// read-only case's program as.
constexpr uid_t kNobody = 65534;

// Gives up root for kNobody, in a child process; false when that cannot be
// done (in a user namespace that does not map the id, for instance).
bool becomeNobody() {
  return ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
}

// Why kNobody cannot run a read-only case here (empty when it can): it
// must be able to run `program`, read `readable` and not write `locked`.
std::string nobodyCannotRun(const std::string& program, const std::vector<std::string>& readable,
                            const fs::path& locked) {
  pid_t child = ::fork();
  if (child == 0) {
    if (!becomeNobody()) ::_exit(10);
    if (::access(program.c_str(), X_OK) != 0) ::_exit(11);
    for (const std::string& file : readable)
      if (::access(file.c_str(), R_OK) != 0) ::_exit(12);
    ::_exit(::access(locked.c_str(), W_OK) == 0 ? 13 : 0);
  }
  int raw = -1;
  while (child > 0 && ::waitpid(child, &raw, 0) < 0 && errno == EINTR) {
  }
  const std::string user = "user " + std::to_string(kNobody);
  switch (WIFEXITED(raw) ? WEXITSTATUS(raw) : -1) {
    case 0:
      return "";
    case 10:
      return "run as root, which may write anywhere, and the " + user +
             " cannot be taken on here to be refused";
    case 11:
      return "the " + user + " may not run " + program;
    case 12:
      return "the " + user + " may not read the case's files in " + locked.parent_path().string();
    case 13:
      return "the " + user + " may write into " + locked.string() + " all the same";
    default:
      return "no process to try the " + user + " in";
  }
}

using Clock = std::chrono::steady_clock;

void sleepFor(int milliseconds) {
  struct timespec t = {0, milliseconds * 1000000L};
  ::nanosleep(&t, nullptr);
}

void writeAll(int fd, const std::string& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // the program has gone; the comparison tells
    done += static_cast<size_t>(n);
  }
}

// Runs `command` under the shell with standard output a pipe that this
// reads into `screen`; answers the wait status. What went wrong with the
// feeding goes to `report`.
int runThroughPipes(const std::string& command, const Feed& feed, std::string& screen,
                    std::string& report) {
  int out[2], in[2] = {-1, -1};
  const bool typing = feed.typedLate || feed.signalAtWait != 0;
  if (::pipe2(out, O_CLOEXEC) != 0 || (typing && ::pipe2(in, O_CLOEXEC) != 0)) {
    report += "  no pipe\n";
    return -1;
  }
  if (feed.slowScreen) {
#ifdef F_SETPIPE_SZ
    ::fcntl(out[0], F_SETPIPE_SZ, 4096);
#endif
    ::fcntl(out[1], F_SETFL, ::fcntl(out[1], F_GETFL) | O_NONBLOCK);
  }
  if (feed.typedLate) ::fcntl(in[0], F_SETFL, ::fcntl(in[0], F_GETFL) | O_NONBLOCK);
  pid_t child = ::fork();
  if (child == 0) {
    // A group of its own, which the signal goes to.
    ::setpgid(0, 0);
    ::dup2(out[1], STDOUT_FILENO);
    if (typing) ::dup2(in[0], STDIN_FILENO);
    if (feed.unprivileged && !becomeNobody()) ::_exit(126);
    ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::setpgid(child, child);
  ::close(out[1]);
  if (typing) ::close(in[0]);

  // Quiet for this long: the program waits for the keyboard.
  constexpr auto kQuiet = std::chrono::milliseconds(200);
  const auto fifoTime = Clock::now() + std::chrono::milliseconds(300);
  bool fifoWritten = feed.fifo.empty();
  std::istringstream lines(feed.typed);
  std::string line;
  bool moreLines = typing && static_cast<bool>(std::getline(lines, line));
  bool signalled = feed.signalAtWait == 0;
  if (!moreLines && signalled && in[1] >= 0) ::close(in[1]);
  if (feed.slowScreen) sleepFor(200);
  auto lastActivity = Clock::now();
  for (;;) {
    struct pollfd ready = {out[0], POLLIN, 0};
    if (::poll(&ready, 1, 20) < 0 && errno != EINTR) break;
    if ((ready.revents & (POLLIN | POLLHUP)) != 0) {
      char chunk[4096];
      ssize_t n = ::read(out[0], chunk, feed.slowScreen ? 512 : sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      screen.append(chunk, static_cast<size_t>(n));
      lastActivity = Clock::now();
      if (feed.slowScreen) sleepFor(1);
      continue;
    }
    if (!fifoWritten && Clock::now() >= fifoTime) {
      // Not blocking: a program that is not reading the pipe must not hang
      // the runner; it is tried again at the next turn.
      int fd = ::open(feed.fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd >= 0) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        writeAll(fd, feed.fifoBytes);
        ::close(fd);
        fifoWritten = true;
      }
    }
    if ((moreLines || !signalled) && Clock::now() - lastActivity >= kQuiet) {
      lastActivity = Clock::now();
      if (moreLines) {
        writeAll(in[1], line + "\n");
        moreLines = static_cast<bool>(std::getline(lines, line));
      } else {
        ::kill(-child, feed.signalAtWait);
        signalled = true;
      }
      if (!moreLines && signalled) ::close(in[1]);
    }
  }
  ::close(out[0]);
  if (moreLines || !signalled) {
    ::close(in[1]);
    report += moreLines ? "  the program ended before all of stdin.txt was typed\n"
                        : "  the program ended before the signal was sent\n";
  }
  if (!fifoWritten) report += "  the program ended before the named pipe was written\n";
  int raw = -1;
  while (::waitpid(child, &raw, 0) < 0 && errno == EINTR) {
  }
  return raw;
}

enum class Outcome { passed, failed, skipped };

// Makes what is below `root` readable to everyone, and its folders
// searchable.
void openToEveryone(const fs::path& root) {
  using fs::perms;
  fs::permissions(root,
                  perms::group_read | perms::group_exec | perms::others_read | perms::others_exec,
                  fs::perm_options::add);
  for (const auto& entry : fs::recursive_directory_iterator(root))
    fs::permissions(entry.path(),
                    entry.is_directory() ? perms::group_read | perms::group_exec |
                                               perms::others_read | perms::others_exec
                                         : perms::group_read | perms::others_read,
                    fs::perm_options::add);
}

Outcome runCase(const fs::path& caseDir, std::string program, const std::string& prefix,
                const std::string& platform) {
  std::string name = caseDir.filename().string();
  auto keys = readCase(caseDir / "case.txt");
  if (keys.count("platforms") && keys["platforms"].find(platform) == std::string::npos) {
    std::cout << "skip " << name << " (" << keys["platforms"] << " only)\n";
    return Outcome::skipped;
  }
  fs::path work =
      fs::temp_directory_path() / ("tallyra-e2e-" + name + "-" + std::to_string(::getpid()));
  fs::remove_all(work);
  fs::create_directories(work);
  if (fs::exists(caseDir / "in")) fs::copy(caseDir / "in", work, fs::copy_options::recursive);
  std::istringstream fromRepo(keys["from-repo"]);
  fs::path repoRoot = caseDir.parent_path().parent_path().parent_path();
  for (std::string file; fromRepo >> file;)
    fs::copy_file(repoRoot / file, work / fs::path(file).filename());
  for (const auto& entry : fs::recursive_directory_iterator(work))
    if (entry.path().filename() == ".keep") fs::remove(entry.path());
  Feed feed;
  if (keys.count("fifo")) {
    feed.fifo = work / keys["fifo"];
    feed.fifoBytes = readFile(feed.fifo);
    fs::remove(feed.fifo);
    if (::mkfifo(feed.fifo.c_str(), 0600) != 0) {
      std::cout << "FAIL " << name << "\n  no named pipe\n";
      return Outcome::failed;
    }
  }
  // A folder that the program may not write into; root may all the same,
  // so the program then runs as kNobody, from a copy that it may run.
  fs::path locked;
  fs::path programCopy;
  if (keys.count("read-only")) {
    locked = work / keys["read-only"];
    if (!fs::is_directory(locked)) {
      std::cout << "FAIL " << name << "\n  no folder in/" << keys["read-only"] << "\n";
      return Outcome::failed;
    }
    using fs::perms;
    fs::permissions(locked, perms::owner_read | perms::owner_exec | perms::group_read |
                                perms::group_exec | perms::others_read | perms::others_exec);
    if (::access(locked.c_str(), W_OK) == 0) {
      programCopy = work.string() + ".program";
      fs::copy_file(program, programCopy, fs::copy_options::overwrite_existing);
      fs::permissions(programCopy, perms::owner_all | perms::group_read | perms::group_exec |
                                       perms::others_read | perms::others_exec);
      program = programCopy.string();
      openToEveryone(work);
      std::vector<std::string> readable = {work.string()};
      for (const auto& entry : fs::recursive_directory_iterator(work))
        readable.push_back(entry.path().string());
      std::string why = nobodyCannotRun(program, readable, locked);
      if (!why.empty()) {
        fs::permissions(locked, perms::owner_write, fs::perm_options::add);
        fs::remove_all(work);
        fs::remove(programCopy);
        std::cout << "skip " << name << " (" << why << ")\n";
        return Outcome::skipped;
      }
      feed.unprivileged = true;
    }
  }
  auto before = filesBelow(work);

  fs::path stdinFile = caseDir / "stdin.txt";
  fs::path stdoutFile = work.string() + ".screen";
  auto value = [&keys](const char* key) {
    auto it = keys.find(key);
    return it == keys.end() ? std::string() : it->second;
  };
  std::string nonBlocking = value("non-blocking");
  feed.slowScreen = nonBlocking.find("stdout") != std::string::npos;
  feed.typedLate = nonBlocking.find("stdin") != std::string::npos;
  const std::string signalName = value("signal-at-wait");
  feed.signalAtWait = signalName == "HUP"    ? SIGHUP
                      : signalName == "INT"  ? SIGINT
                      : signalName == "TERM" ? SIGTERM
                                             : 0;
  if (!signalName.empty() && feed.signalAtWait == 0) {
    std::cout << "FAIL " << name << "\n  no signal " << signalName << "\n";
    return Outcome::failed;
  }
  if (feed.typedLate || feed.signalAtWait != 0) feed.typed = readFile(stdinFile);
  std::string input = feed.typedLate || feed.signalAtWait != 0 ? ""
                      : value("stdin") == "closed"             ? "<&-"
                      : fs::exists(stdinFile)                  ? "< " + quote(stdinFile.string())
                                                               : "< /dev/null";
  bool limited = keys.count("file-size-limit") != 0;
  // Through pipes that the runner reads and writes, or to a file.
  bool piped = limited || !nonBlocking.empty() || !feed.fifo.empty() || feed.signalAtWait != 0 ||
               feed.unprivileged;
  std::string output = value("stdout") == "closed" ? ">&-"
                       : keys.count("stdout")      ? "> " + keys["stdout"]
                       : piped                     ? ""
                                                   : "> " + quote(stdoutFile.string());
  std::string limits;
  if (limited) limits += "ulimit -f " + keys["file-size-limit"] + " && ";
  if (keys.count("open-files-limit")) limits += "ulimit -n " + keys["open-files-limit"] + " && ";
  if (keys.count("stack-limit") && platform == "posix")
    limits += "ulimit -s " + keys["stack-limit"] + " && ";
  // The channels are set up before the limits, which the shell's own
  // redirections might not get by.
  // timeout puts the program into a process group of its own unless told
  // to stay in the foreground, where the signal at a wait reaches it.
  const std::string timeout = feed.signalAtWait != 0 ? "timeout --foreground 120 " : "timeout 120 ";
  std::string command = "cd " + quote(work.string()) + " && (" + limits + timeout + prefix + " " +
                        quote(program) + " " + keys["args"] + ") " + input + " " + output;
  int raw;
  std::string feedReport;
  if (piped) {
    std::string screen;
    raw = runThroughPipes(command, feed, screen, feedReport);
    std::ofstream(stdoutFile, std::ios::binary) << screen;
  } else {
    raw = std::system(command.c_str());
  }
  int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  if (!locked.empty()) fs::permissions(locked, fs::perms::owner_write, fs::perm_options::add);
  if (!programCopy.empty()) fs::remove(programCopy);

  if (record) {
    recordCase(caseDir, readFile(stdoutFile), before, filesBelow(work));
    std::cout << "recorded " << name << " (exit status " << status << ")\n";
    fs::remove_all(work);
    fs::remove(stdoutFile);
    return Outcome::passed;
  }
  bool ok = feedReport.empty();
  std::string report = feedReport;
  int wantStatus = std::atoi(keys["status"].c_str());
  if (status != wantStatus) {
    ok = false;
    report += "  exit status " + std::to_string(status) + ", expected " +
              std::to_string(wantStatus) + "\n";
  }
  std::string screen = readFile(stdoutFile);
  std::string wantScreen = readFile(caseDir / "screen.txt");
  if (mask(screen) != mask(wantScreen)) {
    ok = false;
    report += "  screen differs:\n" + firstDifference(mask(wantScreen), mask(screen));
  }
  auto after = filesBelow(work);
  auto expected = before;
  for (auto& [file, content] : filesBelow(caseDir / "out")) expected[file] = content;
  for (auto& [file, content] : expected) {
    if (!after.count(file)) {
      ok = false;
      report += "  missing file " + file + "\n";
    } else if (mask(after[file]) != mask(content)) {
      ok = false;
      report +=
          "  file " + file + " differs:\n" + firstDifference(mask(content), mask(after[file]));
    }
  }
  for (auto& [file, content] : after) {
    if (!expected.count(file)) {
      ok = false;
      report += "  unexpected file " + file + "\n";
    }
  }
  std::cout << (ok ? "ok   " : "FAIL ") << name << "\n" << report;
  if (ok) {
    fs::remove_all(work);
    fs::remove(stdoutFile);
  } else {
    std::cout << "  (left in " << work.string() << ")\n";
  }
  return ok ? Outcome::passed : Outcome::failed;
}

}  // namespace

int main(int argc, char** argv) {
  // Feeding a program that has already ended must not end the runner.
  ::signal(SIGPIPE, SIG_IGN);
  // A case starts with the three standard channels only, whatever this
  // runner was given (CTest leaves descriptors open), so that a limit on
  // open files means the same everywhere.
  for (int fd = STDERR_FILENO + 1; fd < 1024; ++fd) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  std::string program, prefix, platform = "posix";
  int failed = 0, passed = 0, skipped = 0;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--program" && i + 1 < argc)
      program = fs::absolute(argv[++i]).string();
    else if (a == "--prefix" && i + 1 < argc)
      prefix = argv[++i];
    else if (a == "--platform" && i + 1 < argc)
      platform = argv[++i];
    else if (a == "--record")
      record = true;
    else
      switch (runCase(fs::absolute(a), program, prefix, platform)) {
        case Outcome::passed:
          ++passed;
          break;
        case Outcome::failed:
          ++failed;
          break;
        case Outcome::skipped:
          ++skipped;
          break;
      }
  }
  if (program.empty()) {
    std::cerr << "usage: e2e_runner --program PATH [--prefix CMD] [--platform P] CASE...\n";
    return 2;
  }
  std::cout << passed << " passed, " << failed << " failed, " << skipped << " skipped\n";
  if (failed != 0) return 1;
  return passed == 0 && skipped != 0 ? 77 : 0;
}
