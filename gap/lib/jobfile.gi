#############################################################################
##
##  jobfile.gi: the job file of a list of jobs (see algebras.gi), as one
##  string, and its writing with print formatting off, so that no line is
##  broken.
##
#############################################################################

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

# Appends the constraint lines of a job to text.  A fact x*y=z says that a
# subuniverse holding x and y holds z.  Left out: facts that can never
# exclude a subset (z is x or y), and facts that say what an earlier fact
# of the job said (y*x=z after x*y=z, in any of the operations).
TALLYRA.appendConstraintLines := function(text, job)
  local n, chars, onLine, seen, add, k, op, symbol, x, y;
  n := job.size;
  chars := TALLYRA.elementChars;
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
end;

# The job file for `jobs` (normalized), as one string.
TALLYRA.jobFileText := function(jobs)
  local nops, text, job;
  nops := Maximum(Concatenation([0], List(jobs, j -> Length(j.operations))));
  text := Concatenation(
    "% Written by the GAP package tallyra: ", String(Length(jobs)), " job(s).\n",
    "\\verbose=false\n",
    "\\subtrahend-in-exponent=0\n",
    "\\operationsymbols=", TALLYRA.operationChars{[1 .. nops]}, "\n",
    "\\beginjob\n");
  for job in jobs do
    Append(text, Concatenation(
      "\n\\name\n", job.name, "\n\\size\n", String(job.size),
      "\n\\elements\n", TALLYRA.elementChars{[1 .. job.size]},
      "\n\\constraints\n"));
    TALLYRA.appendConstraintLines(text, job);
    Append(text, "\\endofjob\n");
  od;
  Append(text, "\\enddata\n");
  return text;
end;

# Writes text to a new file at path, in one write with print formatting
# off; returns fail, or the system's message when the file cannot be made
# or written whole (the file is then removed).
TALLYRA.writeFile := function(path, text)
  local out, problem;
  out := OutputTextFile(path, false);
  if out = fail then
    return LastSystemError().message;
  fi;
  SetPrintFormattingStatus(out, false);
  problem := fail;
  if WriteAll(out, text) <> true then
    problem := LastSystemError().message;
  fi;
  CloseStream(out);
  if problem <> fail then
    RemoveFile(path);
  fi;
  return problem;
end;
