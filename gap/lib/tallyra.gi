#############################################################################
##
##  tallyra.gi: counting subuniverses with the program tallyra.
##
##  TallyraCount writes the algebras as one job file in a folder of GAP's
##  temporary directory, runs the program there with no input, reads the
##  counts from its result file and removes the folder.  Every file is
##  written with print formatting off, so that no line is broken.
##
#############################################################################

BindGlobal("TALLYRA", rec());

# Element characters: distinct bytes, none of them a blank or one of the
# characters that a job file reserves (%\-*+=()[]'{}?.,), nor CR, LF, tab,
# Ctrl-Z or NUL.  The printable ones first, then the upper half, then the
# other control characters (last, since a terminal may act on them).
TALLYRA.elementChars := Concatenation("0123456789abcdefghijklmnopqrstuvwxyz",
  "ABCDEFGHIJKLMNOPQRSTUVWXYZ#@", "!\"$&/:;<>^_`|~",
  List([128 .. 255], CharInt),
  List(Concatenation([1 .. 8], [11, 12], [14 .. 25], [27 .. 31], [127]),
       CharInt));
MakeImmutable(TALLYRA.elementChars);

# Operation symbols: the reserved characters that may stand second in a
# constraint (never \ = ( ) % , or blank, which the reader treats
# specially), then printable characters that may also be elements.
TALLYRA.operationChars := Immutable(Concatenation("*+-?.'[]{}",
  "#@!\"$&/:;<>^_`|~",
  "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"));

# Constraints a line: 40 of five characters and a blank stay well under
# the 255 characters at which the program cuts a line.
TALLYRA.perLine := 40;

# The last bytes of the program's screen that a run keeps.
TALLYRA.screenTail := 3000;

# The package's folder, and how to find the program from there.
TALLYRA.folder := DirectoriesPackageLibrary("tallyra", "")[1]![1];
TALLYRA.findProgram := ReadAsFunction(Filename(
  DirectoriesPackageLibrary("tallyra", "lib"), "program.g"))();

TALLYRA.stripLineEnd := function(line)
  while Length(line) > 0 and line[Length(line)] in "\r\n" do
    Remove(line);
  od;
  return line;
end;

# Writes text to a new file at path with print formatting off; returns
# fail, or the system's message when the file cannot be made or written
# whole (the file is then removed).
TALLYRA.writeFile := function(path, texts)
  local out, text, problem;
  out := OutputTextFile(path, false);
  if out = fail then
    return LastSystemError().message;
  fi;
  SetPrintFormattingStatus(out, false);
  problem := fail;
  for text in texts do
    if WriteAll(out, text) <> true then
      problem := LastSystemError().message;
      break;
    fi;
  od;
  CloseStream(out);
  if problem <> fail then
    RemoveFile(path);
  fi;
  return problem;
end;

# The text of an object as View shows it, on one line.
TALLYRA.viewName := function(A)
  local text, out;
  text := "";
  out := OutputTextString(text, false);
  SetPrintFormattingStatus(out, false);
  PrintTo1(out, function() ViewObj(A); end);
  CloseStream(out);
  return text;
end;

# The job's name, made safe for its line of the job file: no comment (%),
# no command (\), no comma (the program makes it a blank), no control
# character; at most 200 characters; never empty.
TALLYRA.jobName := function(name, i)
  local safe, c;
  safe := "";
  for c in name do
    if c = '%' then
      Add(safe, '_');
    elif c = '\\' then
      Add(safe, '/');
    elif c = ',' then
      Add(safe, ';');
    elif IntChar(c) < 32 or IntChar(c) = 127 then
      Add(safe, ' ');
    else
      Add(safe, c);
    fi;
  od;
  safe := NormalizedWhitespace(safe);
  if Length(safe) > 200 then
    safe := safe{[1 .. 200]};
  fi;
  if safe = "" then
    safe := Concatenation("A", String(i));
  fi;
  return safe;
end;

TALLYRA.isEntry := n -> (e -> IsInt(e) and 0 <= e and e <= n);
TALLYRA.isTable := n -> (t -> IsDenseList(t) and Length(t) = n and
  ForAll(t, row -> IsDenseList(row) and Length(row) = n and
                   ForAll(row, TALLYRA.isEntry(n))));
TALLYRA.isUnary := n -> (f -> IsDenseList(f) and Length(f) = n and
  ForAll(f, TALLYRA.isEntry(n)));

# The tables of the operations of a domain: for each operation, the table
# of positions in the sorted list of the elements.
TALLYRA.tablesOf := function(elements, operations)
  return List(operations, op -> List(elements, x -> List(elements,
    y -> PositionSorted(elements, op(x, y)))));
end;

# The operations of a record rec(size, binary, unary) or rec(size,
# operations) as rec(binary := true or false, table := ...), checked;
# bad(...) raises the error.
TALLYRA.recordOperations := function(A, n, bad)
  local form, ops, k, op, names;
  form := Concatenation("rec(size := n, binary := [table, ...], ",
    "unary := [list, ...]), each table a list of n rows of n entries and ",
    "each unary operation a list of n entries, entries in [0..n]");
  for k in RecNames(A) do
    if not k in ["name", "size", "binary", "unary", "operations"] then
      bad("a record has the components name, size, binary and unary ",
          "(or operations), not ", k, ": ", form);
    fi;
  od;
  ops := [];
  if IsBound(A.operations) then
    if IsBound(A.binary) or IsBound(A.unary) then
      bad("give binary and unary, or operations, not both: ", form);
    fi;
    if not IsList(A.operations) then
      bad("operations must be a list of tables: ", form);
    fi;
    # n lists of n integers would be n unary operations, but they are what
    # a binary table given without its list looks like.
    if Length(A.operations) = n and IsDenseList(A.operations) and
       ForAll(A.operations, TALLYRA.isUnary(n)) then
      bad("operations is a list of ", n, " lists of ", n, " integers: ",
          "for one binary table write operations := [ table ] or ",
          "binary := [ table ]; for ", n, " unary operations write ",
          "unary := [ f1, ..., f", n, " ]");
    fi;
    for k in [1 .. Length(A.operations)] do
      if not IsBound(A.operations[k]) then
        bad("operation ", k, " is missing");
      fi;
      op := A.operations[k];
      if TALLYRA.isTable(n)(op) then
        Add(ops, rec(binary := true, table := op));
      elif TALLYRA.isUnary(n)(op) then
        Add(ops, rec(binary := false, table := op));
      else
        bad("operation ", k, " must be an n x n table or a list of n ",
            "entries in [0..n], n = ", n, ": ", form);
      fi;
    od;
    return ops;
  fi;
  for names in [["binary", TALLYRA.isTable(n), true, "an n x n table", "table"],
                ["unary", TALLYRA.isUnary(n), false, "a list of n entries", "f"]] do
    if IsBound(A.(names[1])) then
      if not IsList(A.(names[1])) then
        bad(names[1], " must be a list of operations, each ", names[4],
            " with entries in [0..n], n = ", n, ": ", form);
      elif Length(A.(names[1])) > 0 and names[2](A.(names[1])) then
        bad(names[1], " is one operation, not a list of them: write ",
            names[1], " := [ ", names[5], " ]");
      fi;
      for k in [1 .. Length(A.(names[1]))] do
        if not IsBound(A.(names[1])[k]) or not names[2](A.(names[1])[k]) then
          bad(names[1], " operation ", k, " must be ", names[4],
              " with entries in [0..n], n = ", n, ": ", form);
        fi;
        Add(ops, rec(binary := names[3], table := A.(names[1])[k]));
      od;
    fi;
  od;
  return ops;
end;

# rec(name, size, operations) with every operation as rec(binary := true
# or false, table := ...), checked; `where` names the algebra in messages.
TALLYRA.normalizedJob := function(A, where, i, caller)
  local n, name, ops, elements, bad, checkSize;
  bad := function(arg)
    CallFuncList(ErrorNoReturn, Concatenation([caller, ": ", where], arg));
  end;
  checkSize := function(n)
    if n > Length(TALLYRA.elementChars) then
      bad("it has ", n, " elements, but a job file can name only ",
          Length(TALLYRA.elementChars), " (one character each)");
    fi;
  end;
  if IsRecord(A) then
    if not IsBound(A.size) or not IsPosInt(A.size) then
      bad("size must be a positive integer");
    fi;
    n := A.size;
    checkSize(n);
    name := "";
    if IsBound(A.name) then
      if not IsString(A.name) then
        bad("name must be a string");
      fi;
      name := A.name;
    fi;
    ops := TALLYRA.recordOperations(A, n, bad);
    if Length(ops) > Length(TALLYRA.operationChars) then
      bad("it has ", Length(ops), " operations, but a job file gives only ",
          Length(TALLYRA.operationChars), " operation symbols");
    fi;
  elif IsRing(A) or IsAdditiveMagma(A) or IsMagma(A) then
    if not IsFinite(A) then
      bad("it is not finite");
    fi;
    n := Size(A);
    checkSize(n);
    if HasName(A) then
      name := Name(A);
    elif IsGroup(A) and HasIdGroup(A) then
      name := Concatenation("SmallGroup(", String(IdGroup(A)[1]), ";",
                            String(IdGroup(A)[2]), ")");
    else
      name := TALLYRA.viewName(A);
    fi;
    # A ring counts with its addition and its multiplication, an additive
    # group with its addition, a magma with its multiplication.
    if IsRing(A) then
      elements := AsSSortedList(A);
      ops := TALLYRA.tablesOf(elements, [\+, \*]);
    elif IsMagma(A) then
      ops := [MultiplicationTable(A)];
    else
      elements := AsSSortedList(A);
      ops := TALLYRA.tablesOf(elements, [\+]);
    fi;
    ops := List(ops, t -> rec(binary := true, table := t));
  else
    bad("not a finite group, semigroup, monoid, magma, ring or field, nor ",
        "a record rec(name := \"...\", size := n, binary := [...], ",
        "unary := [...])");
  fi;
  return rec(name := TALLYRA.jobName(name, i), size := n, operations := ops);
end;

# An algebra or a list of algebras: the list of their jobs.
TALLYRA.normalizedJobs := function(algebras, caller)
  if IsList(algebras) then
    return List([1 .. Length(algebras)], function(i)
      if not IsBound(algebras[i]) then
        ErrorNoReturn(caller, ": algebra ", i, " is missing from the list");
      fi;
      return TALLYRA.normalizedJob(algebras[i],
        Concatenation("algebra ", String(i), ": "), i, caller);
    end);
  fi;
  return [TALLYRA.normalizedJob(algebras, "", 1, caller)];
end;

# The constraint lines of a job, as one string.  A fact x*y=z says that a
# subuniverse holding x and y holds z.  Left out: facts that can never
# exclude a subset (z is x or y), and facts that say what an earlier fact
# of the job said (y*x=z after x*y=z, in any of the operations).
TALLYRA.constraintLines := function(job)
  local n, chars, text, onLine, seen, add, k, op, symbol, x, y;
  n := job.size;
  chars := TALLYRA.elementChars;
  text := "";
  onLine := 0;
  seen := [];
  add := function(x, y, z, symbol)
    local key;
    if z = x or z = y then
      return;
    fi;
    if x <= y then
      key := (x - 1) * n + y;
    else
      key := (y - 1) * n + x;
    fi;
    if not IsBound(seen[key]) then
      seen[key] := [z];
    elif z in seen[key] then
      return;
    else
      Add(seen[key], z);
    fi;
    if onLine = TALLYRA.perLine then
      Add(text, '\n');
      onLine := 0;
    elif onLine > 0 then
      Add(text, ' ');
    fi;
    Append(text, [chars[x], symbol, chars[y], '=', chars[z]]);
    onLine := onLine + 1;
  end;
  for k in [1 .. Length(job.operations)] do
    op := job.operations[k];
    symbol := TALLYRA.operationChars[k];
    for x in [1 .. n] do
      if op.binary then
        for y in [1 .. n] do
          if op.table[x][y] <> 0 then
            add(x, y, op.table[x][y], symbol);
          fi;
        od;
      elif op.table[x] <> 0 then
        add(x, x, op.table[x], symbol);
      fi;
    od;
  od;
  if onLine > 0 then
    Add(text, '\n');
  fi;
  return text;
end;

# The texts of the job file for `jobs` (normalized).
TALLYRA.jobFileTexts := function(jobs)
  local nops, texts, job;
  nops := Maximum(Concatenation([0], List(jobs, j -> Length(j.operations))));
  texts := [Concatenation(
    "% Written by the GAP package tallyra: ", String(Length(jobs)), " job(s).\n",
    "\\verbose=false\n",
    "\\subtrahend-in-exponent=0\n",
    "\\operationsymbols=", TALLYRA.operationChars{[1 .. nops]}, "\n",
    "\\beginjob\n")];
  for job in jobs do
    Add(texts, Concatenation(
      "\n\\name\n", job.name, "\n\\size\n", String(job.size),
      "\n\\elements\n", TALLYRA.elementChars{[1 .. job.size]},
      "\n\\constraints\n", TALLYRA.constraintLines(job), "\\endofjob\n"));
  od;
  Add(texts, "\\enddata\n");
  return texts;
end;

# The folder that GAP's temporary directories are made in.
TALLYRA.temporaryRoot := function()
  if IsBound(GAPInfo.SystemEnvironment.TMPDIR) and
     GAPInfo.SystemEnvironment.TMPDIR <> "" then
    return Concatenation(GAPInfo.SystemEnvironment.TMPDIR, " (TMPDIR)");
  fi;
  return "/tmp";
end;

# GAP's temporary directory for the session (GAP removes it when it ends)
# holds a folder for each run, removed after the run.
TALLYRA.sessionDir := fail;
TALLYRA.runNumber := 0;
TALLYRA.runFolder := function()
  local path, problem;
  if TALLYRA.sessionDir = fail or
     IsDirectoryPath(Filename(TALLYRA.sessionDir, "")) <> true then
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
  fi;
  repeat
    TALLYRA.runNumber := TALLYRA.runNumber + 1;
    path := Filename(TALLYRA.sessionDir,
                     Concatenation("run", String(TALLYRA.runNumber)));
  until not IsExistingFile(path);
  if CreateDir(path) <> true then
    ErrorNoReturn("TallyraCount: cannot make the folder ", path, ": ",
                  LastSystemError().message);
  fi;
  return path;
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
# that cannot be read.
TALLYRA.readCounts := function(path)
  local counts, input, line;
  counts := [];
  if not IsExistingFile(path) then
    return counts;
  fi;
  input := InputTextFile(path);
  while true do
    line := ReadLine(input);
    if line = fail then
      break;
    fi;
    if StartsWith(line, "Result for A=") then
      Add(counts, TALLYRA.countFromLine(TALLYRA.stripLineEnd(line)));
    fi;
  od;
  CloseStream(input);
  return counts;
end;

# The lines of the screen file, without their ends.
TALLYRA.screenLines := function(path)
  if not IsExistingFile(path) then
    return [];
  fi;
  return List(SplitString(StringFile(path), "\n"), TALLYRA.stripLineEnd);
end;

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

# The program's screen goes through a pipe into the last bytes that the
# shell keeps in memory, and is written out only after the run, when the
# job file has been removed: so it is kept even when the disk fills up
# during the run.  The last line, after a line end of its own in case the
# program's last line has none, says the program's exit status.
TALLYRA.runScript := Concatenation(
  "out=$( { \"$1\" jobs.txt 2>&1; status=$?; echo;",
  " echo \"(tallyra run) exit status $status\"; } |",
  " tail -c ", String(TALLYRA.screenTail), " )\n",
  "rm -f jobs.txt\n",
  "{ printf '%s\\n' \"$out\" > screen.txt; } 2>/dev/null || exit 1\n");

TALLYRA.interrupted :=
  "TallyraCount: the count was interrupted (Ctrl-C), no count was returned";

# Runs the program in the folder (its job file written); returns
# rec(status := <the program's exit status or fail>, screen := <lines>,
# problem := <text or fail>).
TALLYRA.runProgram := function(program, folder)
  local dir, sh, tail, status, screen, out, marker;
  dir := Directory(folder);
  sh := Filename(DirectoriesSystemPrograms(), "sh");
  tail := Filename(DirectoriesSystemPrograms(), "tail");
  if sh <> fail and tail <> fail then
    status := Process(dir, sh, InputTextNone(), OutputTextNone(),
                      ["-c", TALLYRA.runScript, "tallyra-run", program]);
    if status = -1 then
      return rec(status := fail, screen := [],
        problem := TALLYRA.interrupted);
    elif status <> 0 then
      return rec(status := fail, screen := [],
        problem := Concatenation("TallyraCount: the program's screen could not ",
          "be kept in ", folder, ": is the disk full?"));
    fi;
    screen := TALLYRA.screenLines(Filename(dir, "screen.txt"));
    marker := "(tallyra run) exit status ";
    if Length(screen) = 0 or not StartsWith(Last(screen), marker) then
      return rec(status := fail, screen := screen,
        problem := "TallyraCount: the program's screen lacks its exit status");
    fi;
    status := Int(Last(screen){[Length(marker) + 1 .. Length(Last(screen))]});
    Remove(screen);
    if Length(screen) > 0 and Last(screen) = "" then
      Remove(screen);
    fi;
  else
    # Without a shell, the screen goes to a file.
    out := OutputTextFile(Filename(dir, "screen.txt"), false);
    if out = fail then
      return rec(status := fail, screen := [],
        problem := Concatenation("TallyraCount: cannot make a file in ",
          folder, ": ", LastSystemError().message));
    fi;
    status := Process(dir, program, InputTextNone(), out, ["jobs.txt"]);
    CloseStream(out);
    screen := TALLYRA.screenLines(Filename(dir, "screen.txt"));
    if status = -1 then
      status := 130;
    fi;
  fi;
  if status = 130 then
    return rec(status := status, screen := screen,
      problem := TALLYRA.interrupted);
  elif status > 128 and status <= 128 + 64 then
    # The shell's exit status of a program ended by signal N is 128 + N.
    return rec(status := status, screen := screen,
      problem := Concatenation("TallyraCount: the program was stopped by ",
        "signal ", String(status - 128), " before it ended"));
  fi;
  return rec(status := status, screen := screen, problem := fail);
end;

# Counts the jobs in one run; returns the list of counts.
TALLYRA.runJobs := function(jobs)
  local where, folder, jobFile, problem, run, counts;
  where := TALLYRA.findProgram(TALLYRA.folder);
  if IsBound(where.problem) then
    ErrorNoReturn("TallyraCount: ", where.problem);
  fi;
  folder := TALLYRA.runFolder();
  jobFile := Filename(Directory(folder), "jobs.txt");
  problem := TALLYRA.writeFile(jobFile, TALLYRA.jobFileTexts(jobs));
  if problem <> fail then
    RemoveDirectoryRecursively(ShallowCopy(folder));
    ErrorNoReturn("TallyraCount: writing the job file ", jobFile,
                  " failed: ", problem, "; nothing was counted");
  fi;
  run := TALLYRA.runProgram(where.path, folder);
  problem := run.problem;
  if problem = fail then
    counts := TALLYRA.readCounts(Filename(Directory(folder), "jobs_r0.txt"));
    if run.status <> 0 or Length(counts) <> Length(jobs) or fail in counts then
      problem := TALLYRA.failureText(run.screen, run.status, counts, jobs);
    fi;
  fi;
  RemoveDirectoryRecursively(ShallowCopy(folder));
  if problem <> fail then
    ErrorNoReturn(problem);
  fi;
  return counts;
end;

InstallGlobalFunction(TallyraCount, function(A)
  if IsList(A) and not IsDomain(A) then
    if Length(A) = 0 then
      return [];
    fi;
    return TALLYRA.runJobs(TALLYRA.normalizedJobs(A, "TallyraCount"));
  fi;
  return TALLYRA.runJobs(TALLYRA.normalizedJobs(A, "TallyraCount"))[1];
end);

InstallGlobalFunction(TallyraWriteJobFile, function(path, algebras)
  local jobs, problem;
  if not IsString(path) or path = "" then
    ErrorNoReturn("TallyraWriteJobFile: the path must be a string");
  fi;
  if IsExistingFile(path) then
    ErrorNoReturn("TallyraWriteJobFile: ", path, " exists already; ",
                  "remove it or choose another name");
  fi;
  jobs := TALLYRA.normalizedJobs(algebras, "TallyraWriteJobFile");
  if Length(jobs) = 0 then
    ErrorNoReturn("TallyraWriteJobFile: no algebra to write");
  fi;
  problem := TALLYRA.writeFile(path, TALLYRA.jobFileTexts(jobs));
  if problem <> fail then
    ErrorNoReturn("TallyraWriteJobFile: writing ", path, " failed: ", problem);
  fi;
end);

InstallGlobalFunction(TallyraProgram, function()
  local where;
  where := TALLYRA.findProgram(TALLYRA.folder);
  if IsBound(where.problem) then
    ErrorNoReturn("TallyraProgram: ", where.problem);
  fi;
  return where.path;
end);

InstallGlobalFunction(SetTallyraProgram, function(program)
  local before, where;
  if not IsString(program) then
    ErrorNoReturn("SetTallyraProgram: give the program's name or path as ",
                  "a string (\"\" for the program installed with the package)");
  fi;
  before := UserPreference("tallyra", "TallyraProgram");
  SetUserPreference("tallyra", "TallyraProgram", program);
  where := TALLYRA.findProgram(TALLYRA.folder);
  if IsBound(where.problem) then
    SetUserPreference("tallyra", "TallyraProgram", before);
    ErrorNoReturn("SetTallyraProgram: ", where.problem);
  fi;
end);
