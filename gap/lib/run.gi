#############################################################################
##
##  run.gi: one run of the program for a list of jobs, and its counts.
##
##  A session has one folder in GAP's temporary directory, made at its first
##  count (GAP removes it when the session ends); each run writes its job
##  file there, and removes the job file and the result file afterwards.
##  A shell started once, on a pseudo terminal, runs the program
##  there: a run costs GAP no new process, which for a GAP of some hundred
##  megabytes takes longer than the program does for most algebras.  The
##  shell keeps the program's screen in memory, never on the disk, and
##  sends it only when a run fails.
##
#############################################################################

# The folder that GAP's temporary directories are made in.
TALLYRA.temporaryRoot := function()
  if IsBound(GAPInfo.SystemEnvironment.TMPDIR) and
     GAPInfo.SystemEnvironment.TMPDIR <> "" then
    return Concatenation(GAPInfo.SystemEnvironment.TMPDIR, " (TMPDIR)");
  fi;
  return "/tmp";
end;

# The session's folder; `busy` is true from a request to the shell until
# its answer, so still true after a count stopped with Ctrl-C.
TALLYRA.sessionDir := fail;
TALLYRA.shell := fail;
TALLYRA.shellProgram := fail;
TALLYRA.shellInput := "";
TALLYRA.busy := false;

# The session's folder, made when there is none, or when it has gone.
TALLYRA.sessionFolder := function()
  local problem;
  if TALLYRA.sessionDir <> fail and
     IsDirectoryPath(Filename(TALLYRA.sessionDir, "")) = true then
    return TALLYRA.sessionDir;
  fi;
  TALLYRA.stopShell();
  TALLYRA.sessionDir := DirectoryTemporary();
  if TALLYRA.sessionDir = fail then
    problem := LastSystemError().message;
    if problem = "no error" then
      problem := "it is missing, or not writable";
    fi;
    ErrorNoReturn("TallyraCount: cannot make a temporary folder in ",
      TALLYRA.temporaryRoot(), ": ", problem, "; start GAP with TMPDIR ",
      "set to a folder where you may write");
  fi;
  return TALLYRA.sessionDir;
end;

# Removes every file of the session's folder: the job file, the result
# file, and what a program stopped halfway may have left.
TALLYRA.clearFolder := function(dir)
  local name;
  for name in DirectoryContents(Filename(dir, "")) do
    if name <> "." and name <> ".." then
      RemoveFile(Filename(dir, name));
    fi;
  od;
end;

# The count of a line "Result for A=<name>:  |Sub(A)| = <N>, whence".
TALLYRA.countFromLine := function(line)
  local text, p;
  if not EndsWith(line, ", whence") then
    return fail;
  fi;
  text := line{[1 .. Length(line) - 8]};
  p := Length(text);
  while p > 0 and IsDigitChar(text[p]) do
    p := p - 1;
  od;
  if p = Length(text) or not EndsWith(text{[1 .. p]}, "|Sub(A)| = ") then
    return fail;
  fi;
  return Int(text{[p + 1 .. Length(text)]});
end;

# The counts of the result file, in job order; fail in place of a count
# that cannot be read.  Only the result lines are looked at.
TALLYRA.readCounts := function(path)
  local counts, text, key, p, e;
  counts := [];
  text := StringFile(path);
  if text = fail then
    return counts;
  fi;
  key := "Result for A=";
  p := PositionSublist(text, key);
  while p <> fail do
    e := Position(text, '\n', p);
    if e = fail then
      e := Length(text) + 1;
    fi;
    if p = 1 or text[p - 1] = '\n' then
      Add(counts, TALLYRA.countFromLine(TALLYRA.stripLineEnd(text{[p .. e - 1]})));
    fi;
    p := PositionSublist(text, key, e);
  od;
  return counts;
end;

# The lines of a screen's text, without their ends.
TALLYRA.screenLines := text ->
  List(SplitString(text, "\n"), TALLYRA.stripLineEnd);

# Why the run gave fewer counts than jobs or ended with another status
# than 0, from the last lines of its screen.
TALLYRA.failureText := function(screen, status, counts, jobs)
  local i, heading, message, where, kind, last;
  heading := fail;
  message := fail;
  for i in [1 .. Length(screen) - 1] do
    if heading = fail then
      if PositionSublist(screen[i], "Error in data; possibly/appeared at:") <> fail then
        heading := "stopped on bad data";
        message := screen[i + 1];
      elif PositionSublist(screen[i], "An unhandled exception occurred at") <> fail then
        heading := Concatenation("stopped with a runtime error (exit status ",
                                 String(status), ")");
        message := screen[i + 1];
      fi;
    fi;
  od;
  if Length(counts) < Length(jobs) then
    where := Concatenation("\nin job ", String(Length(counts) + 1), " (",
                           jobs[Length(counts) + 1].name, ")");
  else
    where := "";
  fi;
  if heading <> fail then
    return Concatenation("TallyraCount: the program ", heading, where, ":\n",
                         message);
  fi;
  if fail in counts then
    kind := "a result line it could not read";
  else
    kind := Concatenation(String(Length(counts)), " count(s) for ",
                          String(Length(jobs)), " job(s)");
  fi;
  last := screen{[Maximum(1, Length(screen) - 4) .. Length(screen)]};
  return Concatenation("TallyraCount: the program ended with exit status ",
                       String(status), " and ", kind, where,
                       "; the last lines on its screen:\n",
                       JoinStringsWithSeparator(last, "\n"));
end;

TALLYRA.interrupted :=
  "TallyraCount: the count was interrupted (Ctrl-C), no count was returned";

# What the shell does: on "run", runs the program in its folder on
# jobs.txt with no input, keeps its screen in memory, and answers with the
# program's exit status; on "screen", answers with the last bytes of the
# screen of the last run.  Each answer ends with a line of its own.  The
# trap keeps the shell alive when the program's process group is sent
# SIGINT; the program itself is stopped by it as usual.  The shell's own
# messages (such as "Killed") would go to GAP's terminal: they are dropped.
TALLYRA.screenTail := 3000;
TALLYRA.shellMark := "(tallyra run) ";
TALLYRA.statusMark := Concatenation(TALLYRA.shellMark, "exit status ");
TALLYRA.shellScript := Concatenation(
  "exec 2>/dev/null\n",
  "trap : INT\n",
  "while IFS= read -r request; do\n",
  "  case $request in\n",
  "  run) out=$(\"$1\" jobs.txt </dev/null 2>&1)\n",
  "    printf '%sexit status %s\\n' \"$2\" \"$?\" ;;\n",
  "  screen) printf '%s\\n' \"$out\" | tail -c ", String(TALLYRA.screenTail), "\n",
  "    printf '\\n%send\\n' \"$2\" ;;\n",
  "  esac\n",
  "done\n");

TALLYRA.stopShell := function()
  if TALLYRA.shell <> fail then
    CloseStream(TALLYRA.shell);
  fi;
  TALLYRA.shell := fail;
  TALLYRA.shellInput := "";
  TALLYRA.busy := false;
end;

# The shell for the program in the session's folder: the running one, or a
# new one; fail when none can be started.
TALLYRA.shellFor := function(program, dir)
  local sh;
  if TALLYRA.shell <> fail and TALLYRA.shellProgram = program then
    return TALLYRA.shell;
  fi;
  TALLYRA.stopShell();
  sh := Filename(DirectoriesSystemPrograms(), "sh");
  if sh = fail then
    return fail;
  fi;
  TALLYRA.shell := InputOutputLocalProcess(dir, sh,
    ["-c", TALLYRA.shellScript, "tallyra-run", program, TALLYRA.shellMark]);
  TALLYRA.shellProgram := program;
  return TALLYRA.shell;
end;

# Sends a request to the shell and returns the lines of its answer, without
# their ends and without the last line, which starts with the mark; fail
# when the shell has ended.  The wait is a second at a time, so that Ctrl-C
# stops it (the program, in GAP's process group, stops too; a later count
# starts another shell, in another folder).
TALLYRA.ask := function(request)
  local shell, fd, lines, p, line, chunk;
  shell := TALLYRA.shell;
  TALLYRA.busy := true;
  if WriteLine(shell, request) <> true then
    TALLYRA.stopShell();
    return fail;
  fi;
  fd := FileDescriptorOfStream(shell);
  lines := [];
  while true do
    p := Position(TALLYRA.shellInput, '\n');
    if p <> fail then
      line := TALLYRA.stripLineEnd(TALLYRA.shellInput{[1 .. p]});
      TALLYRA.shellInput := TALLYRA.shellInput{[p + 1 .. Length(TALLYRA.shellInput)]};
      if StartsWith(line, TALLYRA.shellMark) then
        Add(lines, line);
        TALLYRA.busy := false;
        return lines;
      fi;
      Add(lines, line);
    elif UNIXSelect([fd], [], [], 1, 0) > 0 then
      chunk := ReadAll(shell, 65536);
      if chunk = fail then
        TALLYRA.stopShell();
        return fail;
      fi;
      Append(TALLYRA.shellInput, chunk);
    fi;
  od;
end;

# The status of a program ended by a signal, as the shell gives it: 128 plus
# the signal's number.
TALLYRA.statusProblem := function(status)
  if status = 130 then
    return TALLYRA.interrupted;
  elif status > 128 and status <= 128 + 64 then
    return Concatenation("TallyraCount: the program was stopped by ",
      "signal ", String(status - 128), " before it ended");
  fi;
  return fail;
end;

# Runs the program in the folder, its job file written; returns
# rec(status := <the program's exit status or fail>, screen := <a function
# that gives the lines of its screen>, problem := <text or fail>).
TALLYRA.runProgram := function(program, dir)
  local shell, answer, status, screen, out, text;
  shell := TALLYRA.shellFor(program, dir);
  if shell = fail then
    # Without a shell, the screen goes to a file.
    out := OutputTextFile(Filename(dir, "screen.txt"), false);
    if out = fail then
      return rec(status := fail, screen := fail,
        problem := Concatenation("TallyraCount: cannot make a file in ",
          Filename(dir, ""), ": ", LastSystemError().message));
    fi;
    status := Process(dir, program, InputTextNone(), out, ["jobs.txt"]);
    CloseStream(out);
    text := StringFile(Filename(dir, "screen.txt"));
    screen := function()
      if text = fail then
        return [];
      fi;
      return TALLYRA.screenLines(text);
    end;
    if status = -1 then
      status := 130;
    fi;
  else
    answer := TALLYRA.ask("run");
    if answer = fail then
      return rec(status := fail, screen := fail,
        problem := "TallyraCount: the shell that runs the program ended");
    fi;
    status := Int(Last(answer){[Length(TALLYRA.statusMark) + 1 .. Length(Last(answer))]});
    screen := function()
      local lines;
      lines := TALLYRA.ask("screen");
      if lines = fail then
        return [];
      fi;
      Remove(lines);
      if Length(lines) > 0 and Last(lines) = "" then
        Remove(lines);
      fi;
      return lines;
    end;
  fi;
  return rec(status := status, screen := screen,
             problem := TALLYRA.statusProblem(status));
end;

# Counts the jobs in one run; returns the list of counts.
TALLYRA.runJobs := function(jobs)
  local where, dir, jobFile, problem, run, counts;
  where := TALLYRA.findProgram(TALLYRA.folder);
  if IsBound(where.problem) then
    ErrorNoReturn("TallyraCount: ", where.problem);
  fi;
  if TALLYRA.busy then
    # A count stopped with Ctrl-C: its program may still write in its
    # folder, so the next one runs in another.
    TALLYRA.stopShell();
    TALLYRA.sessionDir := fail;
  fi;
  dir := TALLYRA.sessionFolder();
  TALLYRA.clearFolder(dir);
  jobFile := Filename(dir, "jobs.txt");
  problem := TALLYRA.writeFile(jobFile, TALLYRA.jobFileText(jobs));
  if problem <> fail then
    ErrorNoReturn("TallyraCount: writing the job file ", jobFile,
                  " failed: ", problem, "; nothing was counted");
  fi;
  run := TALLYRA.runProgram(where.path, dir);
  problem := run.problem;
  if problem = fail then
    counts := TALLYRA.readCounts(Filename(dir, "jobs_r0.txt"));
    if run.status <> 0 or Length(counts) <> Length(jobs) or fail in counts then
      problem := TALLYRA.failureText(run.screen(), run.status, counts, jobs);
    fi;
  fi;
  TALLYRA.clearFolder(dir);
  if problem <> fail then
    ErrorNoReturn(problem);
  fi;
  return counts;
end;
