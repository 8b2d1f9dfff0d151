#############################################################################
##
##  Tests of gap/tallyra.g with the real program.  Run from the source
##  folder, with TallyraProgram set to the program, by .ci/gap_check.sh:
##
##    gap -q --quitonbreak -c 'TallyraProgram := "/abs/build/release/tallyra";' \
##      tests/gap/tallyra_test.g </dev/null
##
##  Prints "tallyra.g: all <n> checks passed" at the end; on a failed
##  check it quits with exit status 1, on an unexpected error (with
##  --quitonbreak) with another non-zero status.
##
##  Every expected count comes from elsewhere than the program: GAP's own
##  subgroup lattice (a non-empty subset of a finite group that is closed
##  under multiplication is a subgroup, so |Sub(G)| is the number of
##  subgroups plus one, for the empty set), a plain enumeration of subsets
##  written below, or a count by hand.
##
#############################################################################

# The largest group order tested: every group of order up to 30, and from
# 31 on a sample of every order (the first, a middle and the last group of
# the small groups library).
largestOrder := 64;

Read("gap/tallyra.g");

checks := 0;
check := function(ok, what)
  checks := checks + 1;
  if ok <> true then
    Print("FAILED: ", what, "\n");
    QuitGap(1);
  fi;
end;

# The text of the error that f() raises, or fail when it raises none.
# Error messages go to ERROR_OUTPUT, caught here in a string.
errorText := function(f)
  local text, out, result, savedOutput, savedBreak;
  text := "";
  out := OutputTextString(text, true);
  savedOutput := ERROR_OUTPUT;
  savedBreak := BreakOnError;
  MakeReadWriteGlobal("ERROR_OUTPUT");
  ERROR_OUTPUT := out;
  BreakOnError := false;
  result := CALL_WITH_CATCH(f, []);
  ERROR_OUTPUT := savedOutput;
  MakeReadOnlyGlobal("ERROR_OUTPUT");
  BreakOnError := savedBreak;
  CloseStream(out);
  if result[1] then
    return fail;
  fi;
  # GAP breaks long lines with a backslash and a line end.
  return ReplacedString(text, "\\\n", "");
end;

contains := function(text, part)
  return IsString(text) and PositionSublist(text, part) <> fail;
end;

# |Sub(A)| of a record rec(size, operations), by trying every subset.
plainCount := function(A)
  local n, count, bits, inS, closed, op, x, y;
  n := A.size;
  count := 0;
  for bits in Tuples([false, true], n) do
    inS := bits;
    closed := true;
    for op in A.operations do
      for x in Filtered([1 .. n], x -> inS[x]) do
        if IsList(op[x]) then
          for y in Filtered([1 .. n], y -> inS[y]) do
            if op[x][y] <> 0 and not inS[op[x][y]] then
              closed := false;
            fi;
          od;
        elif op[x] <> 0 and not inS[op[x]] then
          closed := false;
        fi;
      od;
    od;
    if closed then
      count := count + 1;
    fi;
  od;
  return count;
end;

subgroupCount := G -> Sum(ConjugacyClassesSubgroups(G), Size);

program := TallyraProgram;
testDir := DirectoryTemporary();

# A program that logs the folder it runs in, then runs the real program.
logFile := Filename(testDir, "runs.log");
logging := Filename(testDir, "logging.sh");
PrintTo(logging, "#!/bin/sh\npwd >> '", logFile, "'\nexec '", program,
        "' \"$@\"\n");
# A program that cannot write a byte to a file: the real program with a
# file-size limit of 0, its screen passed on through a pipe.
limited := Filename(testDir, "limited.sh");
PrintTo(limited, "#!/bin/bash\n( ulimit -f 0; exec '", program,
        "' \"$@\" ) | cat\nexit \"${PIPESTATUS[0]}\"\n");
Exec(Concatenation("chmod +x '", logging, "' '", limited, "'"));

loggedRuns := function()
  if not IsExistingFile(logFile) then
    return [];
  fi;
  return SplitString(StringFile(logFile), "\n");
end;

#############################################################################
# Groups: the symmetric group S4 has 30 subgroups.
check(TallyraCount(SymmetricGroup(4)) = 31, "S4 gives 31");

# Every group of order up to 30, in one run.
groups := Concatenation(List([1 .. Minimum(largestOrder, 30)], AllSmallGroups));
TallyraProgram := logging;
counts := TallyraCount(groups);
TallyraProgram := program;
runs := loggedRuns();
check(Length(runs) = 1, "a list of algebras is counted in one run");
check(IsDirectoryPath(runs[1]) <> true, "the run's folder is removed after the run");
for i in [1 .. Length(groups)] do
  check(counts[i] = subgroupCount(groups[i]) + 1,
        Concatenation("SmallGroup", String(IdGroup(groups[i]))));
od;

# Orders 31 to largestOrder: a few groups of every order, in one run.
if largestOrder > 30 then
  groups := [];
  for n in [31 .. largestOrder] do
    k := NumberSmallGroups(n);
    for i in Set([1, QuoInt(k + 1, 2), k]) do
      Add(groups, SmallGroup(n, i));
    od;
  od;
  counts := TallyraCount(groups);
  for i in [1 .. Length(groups)] do
    check(counts[i] = subgroupCount(groups[i]) + 1,
          Concatenation("SmallGroup", String(IdGroup(groups[i]))));
  od;
fi;

#############################################################################
# Semigroups and magmas.  The full transformation monoid on 3 points has
# 1298 subsemigroups, so 1299 subuniverses with the empty set.
check(TallyraCount(FullTransformationSemigroup(3)) = 1299, "T3 gives 1299");

# Partial tables and unary operations as records, by hand: the sample job
# file's partial algebra (only a*b = c defined: every subset but {a,b})
# and the successor a -> b -> c -> d -> d ({}, {d}, {c,d}, {b,c,d}, all).
check(TallyraCount(rec(name := "partial", size := 3,
                       operations := [[[0, 3, 0], [0, 0, 0], [0, 0, 0]]])) = 7,
      "the partial table a*b=c gives 7");
check(TallyraCount(rec(size := 4, operations := [[2, 3, 4, 4]])) = 5,
      "the successor on a chain of four gives 5");

# Random records of binary (partial) tables and unary (partial)
# operations, and random magmas, against the plain enumeration.
source := RandomSource(IsMersenneTwister, 21);
randomEntry := function(n)
  if Random(source, 1, 3) = 1 then
    return 0;
  fi;
  return Random(source, 1, n);
end;
randomAlgebra := function(i)
  local n, ops, k;
  n := Random(source, 1, 9);
  ops := [];
  for k in [1 .. Random(source, 0, 3)] do
    if Random(source, 1, 3) = 1 then
      Add(ops, List([1 .. n], x -> randomEntry(n)));
    else
      Add(ops, List([1 .. n], x -> List([1 .. n], y -> randomEntry(n))));
    fi;
  od;
  return rec(name := Concatenation("random ", String(i)), size := n,
             operations := ops);
end;
algebras := List([1 .. 30], randomAlgebra);
magmas := List([1 .. 4], i -> MagmaByMultiplicationTable(
  List([1 .. 6], x -> List([1 .. 6], y -> Random(source, 1, 6)))));
counts := TallyraCount(Concatenation(algebras, magmas));
for i in [1 .. Length(algebras)] do
  check(counts[i] = plainCount(algebras[i]), algebras[i].name);
od;
for i in [1 .. Length(magmas)] do
  check(counts[Length(algebras) + i] =
        plainCount(rec(size := 6, operations := [MultiplicationTable(magmas[i])])),
        Concatenation("random magma ", String(i)));
od;
check(TallyraCount([]) = [], "an empty list gives an empty list");

#############################################################################
# Errors.  An algebra larger than the program counts: the error shows the
# program's message (whatever the limit, it reads "|A| <= <limit> fails").
text := errorText(function() return TallyraCount(
  [CyclicGroup(2), rec(name := "big", size := 200, operations := [])]); end);
check(contains(text, "bad data") and contains(text, "in job 2 (big)") and
      contains(text, "|A| <= ") and contains(text, " fails"),
      "too large an algebra raises the program's message");
# More constraints than a job may have (4096): 20 elements, 11 tables.
text := errorText(function() return TallyraCount(rec(size := 20,
  operations := List([1 .. 11], k -> List([1 .. 20], x -> [1 .. 20])))); end);
check(contains(text, "(code-pZw) too many constraints"),
      "too many constraints raise the program's message");
# A runtime error: no room for the result file.
TallyraProgram := limited;
text := errorText(function() return TallyraCount(CyclicGroup(2)); end);
TallyraProgram := program;
check(contains(text, "runtime error (exit status 217)") and
      contains(text, "Disk Full"), "a runtime error raises the program's message");
# After the errors, the runs' folders are gone too.
TallyraProgram := logging;
errorText(function() return TallyraCount(rec(size := 200, operations := [])); end);
TallyraProgram := program;
check(IsDirectoryPath(Last(loggedRuns())) <> true,
      "the folder of a failed run is removed");
# No program, bad records.
TallyraProgram := Filename(testDir, "no-such-program");
check(contains(errorText(function() return TallyraCount(CyclicGroup(2)); end),
               "not an executable program"), "a missing program is an error");
TallyraProgram := program;
check(contains(errorText(function() return TallyraCount(rec(size := 2,
                 operations := [[[1, 2], [2, 3]]])); end), "entries in [0..n]"),
      "a table entry outside [0..n] is an error");
check(contains(errorText(function() return TallyraCount(FreeSemigroup(1)); end),
               "not finite"), "an infinite semigroup is an error");

#############################################################################
# TallyraWriteJobFile: the file runs as it stands and gives the counts
# (a name with a comment sign and a print command included); its lines
# stay under 255 characters; it never overwrites a file.
jobPath := Filename(testDir, "kept.txt");
TallyraWriteJobFile(jobPath, [SymmetricGroup(3),
  rec(name := "unary, % \\P partial", size := 3, operations := [[2, 0, 0]])]);
Process(testDir, program, InputTextNone(), OutputTextNone(), ["kept.txt"]);
results := Filtered(SplitString(StringFile(Filename(testDir, "kept_r0.txt")), "\r\n"),
                    line -> StartsWith(line, "Result for A="));
# S3 has 6 subgroups; the unary operation 1 -> 2 excludes {1} and {1,3}.
check(Length(results) = 2 and EndsWith(results[1], "|Sub(A)| = 7, whence") and
      EndsWith(results[2], "|Sub(A)| = 6, whence"), "a kept job file counts");
check(contains(errorText(function() TallyraWriteJobFile(jobPath, CyclicGroup(2)); end),
               "exists already"), "an existing file is not overwritten");
jobPath := Filename(testDir, "wide.txt");
TallyraWriteJobFile(jobPath, rec(size := 100, operations :=
  [List([1 .. 100], x -> List([1 .. 100], y -> ((x + y) mod 100) + 1))]));
lines := SplitString(StringFile(jobPath), "\n");
elements := lines[Position(lines, "\\elements") + 1];
check(ForAll(lines, line -> Length(line) < 255), "job file lines under 255 characters");
check(Length(Set(elements)) = 100 and
      Intersection(elements, "%\\-*+=()[]'{}?., ") = [],
      "100 distinct element characters, none reserved");

Print("tallyra.g: all ", checks, " checks passed\n");
