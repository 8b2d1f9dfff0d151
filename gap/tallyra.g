#############################################################################
##
##  tallyra.g: counting subuniverses with the program tallyra, from GAP.
##
##    gap> Read("/usr/share/tallyra/gap/tallyra.g");
##    gap> TallyraCount(SymmetricGroup(4));
##    31
##
##  (30 subgroups, and the empty set.)  Defined here:
##
##  TallyraProgram
##    the program to run: a name looked up on the PATH ("tallyra", the
##    default; "tallyra.exe" is tried too) or a path to the program.  Set
##    it before or after reading this file; reading the file again keeps it.
##
##  TallyraCount( A )
##    |Sub(A)|, the number of subuniverses of A (the subsets closed under
##    every operation, the empty set included), as an integer.  A is
##    - a finite group, semigroup, monoid or magma: its multiplication is
##      the operation (an identity element is not an operation of its own,
##      so the subuniverses of a monoid are its subsemigroups and the empty
##      set);
##    - or a record rec( name := "...", size := n, operations := [ ... ] )
##      (name is optional) whose operations are
##        binary: an n x n table, a list of n rows of n entries, where
##                table[x][y] in [1..n] is x*y and 0 leaves x*y undefined,
##        unary:  a list of n entries, f[x] in [1..n] or 0 for undefined.
##    For a list of algebras it returns the list of their counts, from one
##    job file and one run of the program.  The program runs in a folder
##    of GAP's temporary directory with no input; TallyraCount reads the
##    counts from its result file and then removes the files of the run.
##    When the program stops with a data error or a runtime error (an
##    algebra larger than it counts, too many constraints for one job, a
##    full disk), TallyraCount raises an error that shows the program's own
##    message.
##
##  TallyraWriteJobFile( path, algebras )
##    writes the job file that TallyraCount would run for an algebra or a
##    list of algebras, for those who keep job files.  An existing file is
##    never overwritten.
##
##  In the job file, the elements 1..n are the characters 0-9, a-z, A-Z, #
##  and @ (the first 64), then 14 more printable characters, then the bytes
##  128 to 255; for a GAP magma they are numbered as in AsSSortedList(A),
##  as MultiplicationTable(A) numbers them.  Each operation has a symbol
##  of its own (*, +, -, ?, ... in the order of the operations); a unary
##  operation f with the symbol ? is written as the constraints x?x=f(x),
##  which the program reads as "x in S implies f(x) in S".  Table entries 0 give no
##  constraint.  How many elements and constraints a job may have is the
##  program's to decide; its message says so.
##
#############################################################################

if not IsBound(TallyraProgram) then
  TallyraProgram := "tallyra";
fi;
TallyraCount := fail;
TallyraWriteJobFile := fail;

CallFuncList(function()
  local elementChars, operationChars, perLine, stripLineEnd, jobName,
        normalizedJob, normalizedJobs, constraintLines, writeJobFile,
        programPath, sessionDir, runNumber, runFolder, countFromLine,
        readCounts, failureText, runJobs;

  # Element characters: distinct bytes, none of them a blank or one of
  # the characters that a job file reserves (%\-*+=()[]'{}?.,); printable
  # ones first.
  elementChars := Concatenation("0123456789abcdefghijklmnopqrstuvwxyz",
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ#@", "!\"$&/:;<>^_`|~",
    List([128 .. 255], CharInt));

  # Operation symbols: the reserved characters that may stand second in a
  # constraint (never \ = ( ) % , or blank, which the reader treats
  # specially), then printable characters that may also be elements.
  operationChars := Concatenation("*+-?.'[]{}", "#@!\"$&/:;<>^_`|~",
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");

  # Constraints a line: 40 of five characters and a blank stay well under
  # the 255 characters at which the program cuts a line.
  perLine := 40;

  stripLineEnd := function(line)
    while Length(line) > 0 and line[Length(line)] in "\r\n" do
      Unbind(line[Length(line)]);
    od;
    return line;
  end;

  # The job's name, made safe for its line of the job file: no comment
  # (%), no command (\), no comma (the program makes it a blank), no
  # control character; at most 200 characters; never empty.
  jobName := function(name, i)
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

  # rec(name, size, operations) with every operation as
  # rec(binary := true or false, table := ...), checked; `where` names the
  # algebra in messages.
  normalizedJob := function(A, where, i, caller)
    local n, name, ops, op, k, bad, checkSize;
    bad := function(arg)
      CallFuncList(ErrorNoReturn, Concatenation([caller, ": ", where], arg));
    end;
    checkSize := function(n)
      if n > Length(elementChars) then
        bad("it has ", n, " elements, but a job file can name only ",
            Length(elementChars), " (one character each)");
      fi;
    end;
    if IsRecord(A) then
      for k in RecNames(A) do
        if not k in ["name", "size", "operations"] then
          bad("a record has the components name, size and operations, ",
              "not ", k);
        fi;
      od;
      if not IsBound(A.size) or not IsPosInt(A.size) then
        bad("size must be a positive integer");
      fi;
      n := A.size;
      checkSize(n);
      if not IsBound(A.operations) or not IsList(A.operations) then
        bad("operations must be a list of tables");
      fi;
      name := "";
      if IsBound(A.name) then
        if not IsString(A.name) then
          bad("name must be a string");
        fi;
        name := A.name;
      fi;
      if Length(A.operations) > Length(operationChars) then
        bad("it has ", Length(A.operations), " operations, but a job file ",
            "gives only ", Length(operationChars), " operation symbols");
      fi;
      ops := [];
      for k in [1 .. Length(A.operations)] do
        if not IsBound(A.operations[k]) then
          bad("operation ", k, " is missing");
        fi;
        op := A.operations[k];
        if not IsDenseList(op) or Length(op) <> n then
          bad("operation ", k, " must be a list of ", n, " rows or entries");
        elif ForAll(op, IsDenseList) then
          if not ForAll(op, row -> Length(row) = n and
                          ForAll(row, e -> IsInt(e) and 0 <= e and e <= n)) then
            bad("operation ", k, " must be an n x n table with entries in ",
                "[0..n], n = ", n);
          fi;
          Add(ops, rec(binary := true, table := op));
        elif ForAll(op, e -> IsInt(e) and 0 <= e and e <= n) then
          Add(ops, rec(binary := false, table := op));
        else
          bad("operation ", k, " must be an n x n table or a list of n ",
              "entries in [0..n], n = ", n);
        fi;
      od;
    elif IsMagma(A) then
      if not IsFinite(A) then
        bad("the magma is not finite");
      fi;
      n := Size(A);
      checkSize(n);
      if HasName(A) then
        name := Name(A);
      elif IsGroup(A) and HasIdGroup(A) then
        name := Concatenation("SmallGroup(", String(IdGroup(A)[1]), ";",
                              String(IdGroup(A)[2]), ")");
      else
        name := ViewString(A);
      fi;
      ops := [rec(binary := true, table := MultiplicationTable(A))];
    else
      bad("not a finite group, semigroup, monoid or magma, nor a record ",
          "rec(name := ..., size := n, operations := [...])");
    fi;
    return rec(name := jobName(name, i), size := n, operations := ops);
  end;

  # An algebra or a list of algebras: the list of their jobs.
  normalizedJobs := function(algebras, caller)
    if IsList(algebras) then
      return List([1 .. Length(algebras)], function(i)
        if not IsBound(algebras[i]) then
          ErrorNoReturn(caller, ": algebra ", i, " is missing from the list");
        fi;
        return normalizedJob(algebras[i],
                             Concatenation("algebra ", String(i), ": "), i, caller);
      end);
    fi;
    return [normalizedJob(algebras, "", 1, caller)];
  end;

  # The constraint lines of operation k of a job, as one string.
  constraintLines := function(job, k)
    local op, symbol, text, onLine, add, x, y;
    op := job.operations[k];
    symbol := operationChars[k];
    text := "";
    onLine := 0;
    add := function(x, y, z)
      if onLine = perLine then
        Add(text, '\n');
        onLine := 0;
      elif onLine > 0 then
        Add(text, ' ');
      fi;
      Append(text, [elementChars[x], symbol, elementChars[y], '=',
                    elementChars[z]]);
      onLine := onLine + 1;
    end;
    if op.binary then
      # A row a line (rows longer than perLine on more lines).
      for x in [1 .. job.size] do
        for y in [1 .. job.size] do
          if op.table[x][y] <> 0 then
            add(x, y, op.table[x][y]);
          fi;
        od;
        if onLine > 0 then
          Add(text, '\n');
          onLine := 0;
        fi;
      od;
    else
      for x in [1 .. job.size] do
        if op.table[x] <> 0 then
          add(x, x, op.table[x]);
        fi;
      od;
      if onLine > 0 then
        Add(text, '\n');
      fi;
    fi;
    return text;
  end;

  # Writes the job file for `jobs` (normalized) to the file `path`.
  writeJobFile := function(path, jobs, caller)
    local nops, out, write, job, k;
    nops := Maximum(Concatenation([0], List(jobs, j -> Length(j.operations))));
    out := OutputTextFile(path, false);
    if out = fail then
      ErrorNoReturn(caller, ": cannot write ", path, ": ",
                    LastSystemError().message);
    fi;
    SetPrintFormattingStatus(out, false);
    write := function(text)
      if WriteAll(out, text) <> true then
        CloseStream(out);
        RemoveFile(path);
        ErrorNoReturn(caller, ": writing ", path, " failed: ",
                      LastSystemError().message);
      fi;
    end;
    write(Concatenation(
      "% Written by tallyra.g from GAP: ", String(Length(jobs)), " job(s).\n",
      "\\verbose=false\n",
      "\\subtrahend-in-exponent=0\n",
      "\\operationsymbols=", operationChars{[1 .. nops]}, "\n",
      "\\beginjob\n"));
    for job in jobs do
      write(Concatenation(
        "\n\\name\n", job.name, "\n\\size\n", String(job.size),
        "\n\\elements\n", elementChars{[1 .. job.size]}, "\n\\constraints\n"));
      for k in [1 .. Length(job.operations)] do
        write(constraintLines(job, k));
      od;
      write("\\endofjob\n");
    od;
    write("\\enddata\n");
    CloseStream(out);
  end;

  # The program to run, as a path: a name without a slash is looked up on
  # the PATH; a relative path is taken from GAP's current directory (the
  # program runs elsewhere).
  programPath := function()
    local prog, path, pwd, cwd, out, absolute;
    prog := TallyraProgram;
    if not IsString(prog) or prog = "" then
      ErrorNoReturn("TallyraCount: TallyraProgram must be a string, the ",
                    "program's name or path");
    fi;
    if '/' in prog or '\\' in prog then
      prog := UserHomeExpand(prog);
      absolute := prog[1] in "/\\" or
                  (Length(prog) >= 3 and prog[2] = ':' and prog[3] in "/\\");
      if absolute then
        path := prog;
      else
        pwd := Filename(DirectoriesSystemPrograms(), "pwd");
        cwd := "";
        if pwd <> fail then
          out := OutputTextString(cwd, true);
          Process(DirectoryCurrent(), pwd, InputTextNone(), out, []);
          CloseStream(out);
          cwd := stripLineEnd(cwd);
        fi;
        if cwd = "" then
          ErrorNoReturn("TallyraCount: cannot find the current directory; ",
                        "give TallyraProgram as an absolute path");
        fi;
        path := Concatenation(cwd, "/", prog);
      fi;
    else
      path := Filename(DirectoriesSystemPrograms(), prog);
      if path = fail then
        path := Filename(DirectoriesSystemPrograms(),
                         Concatenation(prog, ".exe"));
      fi;
      if path = fail then
        ErrorNoReturn("TallyraCount: the program \"", prog, "\" is not on ",
                      "the PATH; set TallyraProgram to its path, for example\n",
                      "TallyraProgram := \"/usr/bin/tallyra\";");
      fi;
    fi;
    if IsExecutableFile(path) <> true then
      ErrorNoReturn("TallyraCount: TallyraProgram, ", path, ", is not an ",
                    "executable program");
    fi;
    return path;
  end;

  # GAP's temporary directory for the session (GAP removes it when it
  # ends) holds a folder for each run, removed after the run.
  sessionDir := fail;
  runNumber := 0;
  runFolder := function()
    local path;
    if sessionDir = fail or IsDirectoryPath(Filename(sessionDir, "")) <> true then
      sessionDir := DirectoryTemporary();
      if sessionDir = fail then
        ErrorNoReturn("TallyraCount: cannot make a temporary directory: ",
                      LastSystemError().message);
      fi;
    fi;
    repeat
      runNumber := runNumber + 1;
      path := Filename(sessionDir, Concatenation("run", String(runNumber)));
    until not IsExistingFile(path);
    if CreateDir(path) <> true then
      ErrorNoReturn("TallyraCount: cannot make the folder ", path, ": ",
                    LastSystemError().message);
    fi;
    return path;
  end;

  # The count of a line "Result for A=<name>:  |Sub(A)| = <N>, whence".
  countFromLine := function(line)
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
  readCounts := function(path)
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
        Add(counts, countFromLine(stripLineEnd(line)));
      fi;
    od;
    CloseStream(input);
    return counts;
  end;

  # Why the run gave fewer counts than jobs or ended with another status
  # than 0, from its screen.
  failureText := function(screenPath, status, counts, jobs)
    local input, line, last, heading, message, where, kind;
    heading := fail;
    message := fail;
    last := [];
    if IsExistingFile(screenPath) then
      input := InputTextFile(screenPath);
      while true do
        line := ReadLine(input);
        if line = fail then
          break;
        fi;
        line := stripLineEnd(line);
        if heading <> fail and message = fail then
          message := line;
        elif heading = fail then
          if PositionSublist(line, "Error in data; possibly/appeared at:") <> fail then
            heading := "stopped on bad data";
          elif PositionSublist(line, "An unhandled exception occurred at") <> fail then
            heading := Concatenation("stopped with a runtime error (exit status ",
                                     String(status), ")");
          fi;
        fi;
        Add(last, line);
        if Length(last) > 5 then
          Remove(last, 1);
        fi;
      od;
      CloseStream(input);
    fi;
    if Length(counts) < Length(jobs) then
      where := Concatenation("\nin job ", String(Length(counts) + 1), " (",
                             jobs[Length(counts) + 1].name, ")");
    else
      where := "";
    fi;
    if heading <> fail and message <> fail then
      return Concatenation("TallyraCount: the program ", heading, where, ":\n",
                           message);
    fi;
    if fail in counts then
      kind := "a result line it could not read";
    else
      kind := Concatenation(String(Length(counts)), " count(s) for ",
                            String(Length(jobs)), " job(s)");
    fi;
    return Concatenation("TallyraCount: the program ended with exit status ",
                         String(status), " and ", kind, where,
                         "; the last lines on its screen:\n",
                         JoinStringsWithSeparator(last, "\n"));
  end;

  # Counts the jobs in one run; returns the list of counts.
  runJobs := function(jobs)
    local program, folder, dir, screen, status, counts, problem;
    program := programPath();
    folder := runFolder();
    dir := Directory(folder);
    writeJobFile(Filename(dir, "jobs.txt"), jobs, "TallyraCount");
    screen := OutputTextFile(Filename(dir, "screen.txt"), false);
    if screen = fail then
      RemoveDirectoryRecursively(ShallowCopy(folder));
      ErrorNoReturn("TallyraCount: cannot make a file in ", folder, ": ",
                    LastSystemError().message);
    fi;
    status := Process(dir, program, InputTextNone(), screen, ["jobs.txt"]);
    CloseStream(screen);
    counts := readCounts(Filename(dir, "jobs_r0.txt"));
    problem := fail;
    if status <> 0 or Length(counts) <> Length(jobs) or fail in counts then
      problem := failureText(Filename(dir, "screen.txt"), status, counts, jobs);
    fi;
    RemoveDirectoryRecursively(ShallowCopy(folder));
    if problem <> fail then
      ErrorNoReturn(problem);
    fi;
    return counts;
  end;

  TallyraCount := function(A)
    if IsList(A) then
      if Length(A) = 0 then
        return [];
      fi;
      return runJobs(normalizedJobs(A, "TallyraCount"));
    fi;
    return runJobs(normalizedJobs(A, "TallyraCount"))[1];
  end;

  TallyraWriteJobFile := function(path, algebras)
    local jobs;
    if not IsString(path) or path = "" then
      ErrorNoReturn("TallyraWriteJobFile: the path must be a string");
    fi;
    if IsExistingFile(path) then
      ErrorNoReturn("TallyraWriteJobFile: ", path, " exists already; ",
                    "remove it or choose another name");
    fi;
    jobs := normalizedJobs(algebras, "TallyraWriteJobFile");
    if Length(jobs) = 0 then
      ErrorNoReturn("TallyraWriteJobFile: no algebra to write");
    fi;
    writeJobFile(path, jobs, "TallyraWriteJobFile");
  end;
end, []);
