#############################################################################
##
##  errors.tst: what TallyraCount refuses, and what it says when a run
##  fails, with fake programs that stand in for a full disk, a signal or a
##  program that writes nothing.
##
gap> START_TEST("errors.tst");
gap> ReadPackage("tallyra", "tst/helpers.g");
true
gap> err := f -> TallyraTest.errorText(f);;
gap> says := TallyraTest.says;;
gap> C3 := MultiplicationTable(CyclicGroup(3));;

# A table given without its list is refused, with the right form.
gap> says(err(function() return TallyraCount(rec(size := 3, operations := C3)); end),
>      ["operations is a list of 3 lists of 3 integers",
>       "operations := [ table ]", "binary := [ table ]", "unary := ["]);
true
gap> says(err(function() return TallyraCount(rec(size := 3, binary := C3)); end),
>      ["binary := [ table ]"]);
true
gap> says(err(function() return TallyraCount(rec(size := 3, unary := [2, 3, 1])); end),
>      ["unary := [ f ]"]);
true
gap> says(err(function() return TallyraCount(rec(size := 3,
>      operations := [C3], binary := [C3])); end), ["not both"]);
true
gap> says(err(function() return TallyraCount(rec(size := 2,
>      binary := [[[1, 2], [2, 3]]])); end), ["entries in [0..n]"]);
true
gap> says(err(function() return TallyraCount(rec(size := 2, table := C3)); end),
>      ["not table"]);
true
gap> says(err(function() return TallyraCount(FreeSemigroup(1)); end),
>      ["not finite"]);
true
gap> says(err(function() return TallyraCount([CyclicGroup(2), 5]); end),
>      ["algebra 2: not a finite group"]);
true
gap> says(err(function() return TallyraCount(rec(size := 235, binary := [])); end),
>      ["235 elements", "only 234"]);
true

# The program's refusals: more facts in a job than the program takes
# (4096 in the 64-element engine, which refuses 200 elements first, 131,072
# in the larger one): four random tables of 200 elements.
gap> source := RandomSource(IsMersenneTwister, 5);;
gap> big := rec(name := "big", size := 200, binary := List([1 .. 4], k ->
>      List([1 .. 200], x -> List([1 .. 200], y -> Random(source, 1, 200)))));;
gap> text := err(function() return TallyraCount([CyclicGroup(2), big]); end);;
gap> says(text, ["the program stopped on bad data", "in job 2 (big)"]) and
>    (says(text, ["(code-pZw) too many constraints"]) or
>     says(text, ["(codeZ64x) |A| <= 64 fails"]));
true

# The program: missing, a folder, not executable, set and set back.
gap> before := UserPreference("tallyra", "TallyraProgram");;
gap> says(err(function() SetTallyraProgram(Filename(TallyraTest.folder, "none")); end),
>      ["does not exist", "SetTallyraProgram(\"/path/to/tallyra\")"]);
true
gap> says(err(function() SetTallyraProgram(Filename(TallyraTest.folder, "")); end),
>      ["is a folder, not the program"]);
true
gap> plain := Filename(TallyraTest.folder, "plain.txt");;
gap> FileString(plain, "not a program\n");;
gap> says(err(function() SetTallyraProgram(plain); end), ["not an executable program"]);
true
gap> UserPreference("tallyra", "TallyraProgram") = before;
true
gap> says(err(function() TallyraProgram := "tallyra"; end), ["read only"]);
true

# A runtime error: the program cannot write its result file (a file size
# limit of 0 stands in for a full disk, and would cut a screen written to
# a file as well): its message is shown, and the folder it ran in holds
# no file afterwards.
gap> logFile := Filename(TallyraTest.folder, "runs.log");;
gap> SetTallyraProgram(TallyraTest.script("full.sh", Concatenation(
>      "pwd >> '", logFile, "'\nulimit -f 0\nexec '", TallyraTest.program,
>      "' \"$@\"\n")));
gap> says(err(function() return TallyraCount(CyclicGroup(2)); end),
>      ["the program stopped with a runtime error (exit status 217)",
>       "Disk Full"]);
true
gap> Set(DirectoryContents(Last(SplitString(StringFile(logFile), "\n"))));
[ ".", ".." ]

# A program stopped by a signal, one interrupted, one that counts nothing
# (and ends its screen in the middle of a line).
gap> SetTallyraProgram(TallyraTest.script("killed.sh", "kill -KILL $$\n"));
gap> says(err(function() return TallyraCount(CyclicGroup(2)); end),
>      ["stopped by signal 9"]);
true
gap> SetTallyraProgram(TallyraTest.script("interrupted.sh", "kill -INT $$\n"));
gap> says(err(function() return TallyraCount(CyclicGroup(2)); end),
>      ["the count was interrupted (Ctrl-C)"]);
true
gap> SetTallyraProgram(TallyraTest.script("silent.sh",
>      "printf 'half a line'\nexit 0\n"));
gap> says(err(function() return TallyraCount(CyclicGroup(2)); end),
>      ["exit status 0 and 0 count(s) for 1 job(s)", "screen:\nhalf a line"]);
true
gap> SetUserPreference("tallyra", "TallyraProgram", before);
gap> TallyraCount(CyclicGroup(2));
3
gap> STOP_TEST("errors.tst");
