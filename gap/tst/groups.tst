#############################################################################
##
##  groups.tst: groups of order up to 64 against GAP's subgroup counts.
##
gap> START_TEST("groups.tst");
gap> ReadPackage("tallyra", "tst/helpers.g");
true

# The symmetric group S4 has 30 subgroups.
gap> TallyraCount(SymmetricGroup(4));
31

# Every group of order up to 30, in one run of the program; the next count
# runs in the same folder, and neither leaves a file there.
gap> before := UserPreference("tallyra", "TallyraProgram");;
gap> logFile := Filename(TallyraTest.folder, "runs.log");;
gap> SetTallyraProgram(TallyraTest.script("logging.sh", Concatenation(
>      "pwd >> '", logFile, "'\nexec '", TallyraTest.program, "' \"$@\"\n")));
gap> groups := Concatenation(List([1 .. 30], AllSmallGroups));;
gap> counts := TallyraCount(groups);;
gap> TallyraCount(CyclicGroup(4));
4
gap> runs := SplitString(StringFile(logFile), "\n");;
gap> Length(runs) = 2 and runs[1] = runs[2];
true
gap> Set(DirectoryContents(runs[1]));
[ ".", ".." ]
gap> SetUserPreference("tallyra", "TallyraProgram", before);
gap> Filtered([1 .. Length(groups)],
>      i -> counts[i] <> TallyraTest.subgroupCount(groups[i]) + 1);
[  ]

# Orders 31 to 64: the first, a middle and the last group of each order.
gap> groups := Concatenation(List([31 .. 64], n -> List(
>      Set([1, QuoInt(NumberSmallGroups(n) + 1, 2), NumberSmallGroups(n)]),
>      i -> SmallGroup(n, i))));;
gap> counts := TallyraCount(groups);;
gap> Filtered([1 .. Length(groups)],
>      i -> counts[i] <> TallyraTest.subgroupCount(groups[i]) + 1);
[  ]

# A group given by its table, and the group itself.
gap> G := SmallGroup(24, 12);;
gap> TallyraCount([G, rec(size := 24, binary := [MultiplicationTable(G)])]);
[ 31, 31 ]
gap> TallyraTest.subgroupCount(G) + 1;
31
gap> STOP_TEST("groups.tst");
