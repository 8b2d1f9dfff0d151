#############################################################################
##
##  helpers.g: what the tests of the package tallyra share, in the record
##  TallyraTest.  Every expected count comes from elsewhere than the
##  program: GAP's own subgroup lattice (a nonempty subset of a finite
##  group that is closed under multiplication is a subgroup, so |Sub(G)| is
##  the number of subgroups plus one, for the empty set), the enumerations
##  below, or a count by hand.
##
#############################################################################

if not IsBound(TallyraTest) then
  BindGlobal("TallyraTest", rec());
fi;

# The number of subgroups of G, the empty set not counted.
TallyraTest.subgroupCount := G -> Sum(ConjugacyClassesSubgroups(G), Size);

# |Sub(A)| of a record rec(size, binary, unary), by trying every subset.
TallyraTest.plainCount := function(A)
  local n, binary, unary, count, inS, closed, t, f, x, y;
  n := A.size;
  binary := [];
  unary := [];
  if IsBound(A.binary) then
    binary := A.binary;
  fi;
  if IsBound(A.unary) then
    unary := A.unary;
  fi;
  count := 0;
  for inS in Tuples([false, true], n) do
    closed := true;
    for x in Filtered([1 .. n], x -> inS[x]) do
      for f in unary do
        if f[x] <> 0 and not inS[f[x]] then
          closed := false;
        fi;
      od;
      for t in binary do
        for y in Filtered([1 .. n], y -> inS[y]) do
          if t[x][y] <> 0 and not inS[t[x][y]] then
            closed := false;
          fi;
        od;
      od;
    od;
    if closed then
      count := count + 1;
    fi;
  od;
  return count;
end;

# |Sub(A)| of a record rec(size, binary, unary) with few subuniverses: the
# closures of the subuniverses found so far with one more element, from
# the empty set on, each subuniverse once.
TallyraTest.closedSetCount := function(A)
  local n, binary, unary, closure, found, todo, S, x, T;
  n := A.size;
  binary := [];
  unary := [];
  if IsBound(A.binary) then
    binary := A.binary;
  fi;
  if IsBound(A.unary) then
    unary := A.unary;
  fi;
  closure := function(S)
    local grown, x, y, t, f, z;
    S := ShallowCopy(S);
    grown := true;
    while grown do
      grown := false;
      for x in ListBlist([1 .. n], S) do
        for f in unary do
          if f[x] <> 0 and not S[f[x]] then
            S[f[x]] := true;
            grown := true;
          fi;
        od;
        for y in ListBlist([1 .. n], S) do
          for t in binary do
            z := t[x][y];
            if z <> 0 and not S[z] then
              S[z] := true;
              grown := true;
            fi;
          od;
        od;
      od;
    od;
    return S;
  end;
  found := [BlistList([1 .. n], [])];
  todo := [found[1]];
  while todo <> [] do
    S := Remove(todo);
    for x in [1 .. n] do
      if not S[x] then
        T := ShallowCopy(S);
        T[x] := true;
        T := closure(T);
        if not T in found then
          AddSet(found, T);
          Add(todo, T);
        fi;
      fi;
    od;
  od;
  return Length(found);
end;

# The tables of a lattice of the elements 1..n given by its order
# (leq[x][y] is x <= y): rec(size, binary := [meet, join]).
TallyraTest.lattice := function(name, leq)
  local n, bound, meet, join;
  n := Length(leq);
  bound := function(x, y, below)
    local common;
    if below then
      common := Filtered([1 .. n], z -> leq[z][x] and leq[z][y]);
      return First(common, z -> ForAll(common, w -> leq[w][z]));
    fi;
    common := Filtered([1 .. n], z -> leq[x][z] and leq[y][z]);
    return First(common, z -> ForAll(common, w -> leq[z][w]));
  end;
  meet := List([1 .. n], x -> List([1 .. n], y -> bound(x, y, true)));
  join := List([1 .. n], x -> List([1 .. n], y -> bound(x, y, false)));
  return rec(name := name, size := n, binary := [meet, join]);
end;

# The lattice M_k: a least element 1, k atoms 2..k+1, a greatest element
# k+2.  A sublattice with two atoms or more holds 1 and k+2, one with a
# single atom or none may hold either: 2^k - 1 - k + 4k + 4 = 2^k + 3k + 3
# subuniverses with the empty set.
TallyraTest.Mk := function(k)
  return TallyraTest.lattice(Concatenation("M", String(k)),
    List([1 .. k + 2], x -> List([1 .. k + 2], y ->
      x = y or x = 1 or y = k + 2)));
end;
TallyraTest.MkCount := k -> 2 ^ k + 3 * k + 3;

# What the tables of a record rec(size, binary, unary) say, as the set of
# implications [x, y, z], x <= y: a subuniverse that holds x and y holds z,
# where z is neither x nor y.
TallyraTest.implications := function(A)
  local n, result, t, f, x, y;
  n := A.size;
  result := [];
  for t in A.binary do
    for x in [1 .. n] do
      for y in [1 .. n] do
        if t[x][y] <> 0 and t[x][y] <> x and t[x][y] <> y then
          Add(result, [Minimum(x, y), Maximum(x, y), t[x][y]]);
        fi;
      od;
    od;
  od;
  for f in A.unary do
    for x in [1 .. n] do
      if f[x] <> 0 and f[x] <> x then
        Add(result, [x, x, f[x]]);
      fi;
    od;
  od;
  return Set(result);
end;

# The constraints of the one job of a job file, as [x, y, z] for x*y=z,
# the elements numbered by their places in the elements line.
TallyraTest.jobConstraints := function(path)
  local lines, elements, first, last, result, line, c;
  lines := SplitString(StringFile(path), "\n");
  elements := lines[Position(lines, "\\elements") + 1];
  first := Position(lines, "\\constraints") + 1;
  last := Position(lines, "\\endofjob") - 1;
  result := [];
  for line in lines{[first .. last]} do
    for c in SplitString(line, " ") do
      Add(result, [Position(elements, c[1]), Position(elements, c[3]),
                   Position(elements, c[5])]);
    od;
  od;
  return result;
end;

# The text of the error that f() raises, or fail when it raises none.
# Error messages go to ERROR_OUTPUT, caught here in a string.
TallyraTest.errorText := function(f)
  local text, out, result, savedOutput, savedBreak;
  text := "";
  out := OutputTextString(text, true);
  SetPrintFormattingStatus(out, false);
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
  return text;
end;

# Whether the text holds every one of the parts.
TallyraTest.says := function(text, parts)
  return IsString(text) and ForAll(parts, p -> PositionSublist(text, p) <> fail);
end;

# A folder of the test's own, for its files.
TallyraTest.folder := DirectoryTemporary();

# Writes a shell script (print formatting off: no line is broken) and makes
# it executable; returns its path.
TallyraTest.script := function(name, text)
  local path, out;
  path := Filename(TallyraTest.folder, name);
  out := OutputTextFile(path, false);
  SetPrintFormattingStatus(out, false);
  WriteAll(out, Concatenation("#!/bin/sh\n", text));
  CloseStream(out);
  Process(TallyraTest.folder, Filename(DirectoriesSystemPrograms(), "chmod"),
          InputTextNone(), OutputTextNone(), ["+x", path]);
  return path;
end;

# The program that the package found, which the fake programs run.
if not IsBound(TallyraTest.program) then
  TallyraTest.program := TallyraProgram();
fi;

# Whether the program counts jobs of more than 64 elements: the program of
# the 64-element engine refuses them with "(codeZ64x) |A| <= 64 fails".
TallyraTest.countsAbove64 := function()
  local text;
  text := TallyraTest.errorText(function()
    return TallyraCount(rec(size := 65, binary := []));
  end);
  return not TallyraTest.says(text, ["(codeZ64x)"]);
end;
