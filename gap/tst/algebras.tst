#############################################################################
##
##  algebras.tst: semigroups, magmas, rings, lattices and algebras given by
##  their tables, against counts by hand and the enumerations of
##  tst/helpers.g; what the job files hold.
##
gap> START_TEST("algebras.tst");
gap> ReadPackage("tallyra", "tst/helpers.g");
true

# The full transformation monoid on 3 points has 1298 subsemigroups.
gap> TallyraCount(FullTransformationSemigroup(3));
1299

# By hand: the partial table with only a*b = c (every subset but {a,b});
# the successor a -> b -> c -> d -> d ({}, {d}, {c,d}, {b,c,d}, all), also
# in the older form with one list of operations.
gap> TallyraCount(rec(name := "partial", size := 3,
>      binary := [[[0, 3, 0], [0, 0, 0], [0, 0, 0]]]));
7
gap> TallyraCount([rec(size := 4, unary := [[2, 3, 4, 4]]),
>                  rec(size := 4, operations := [[2, 3, 4, 4]])]);
[ 5, 5 ]

# Random records of binary (partial) tables and unary (partial)
# operations in both forms, and random magmas, against the enumeration of
# every subset.
gap> source := RandomSource(IsMersenneTwister, 21);;
gap> entry := n -> RandomList(source, Concatenation([0], [1 .. n], [1 .. n]));;
gap> randomAlgebra := function(i)
>      local n, A;
>      n := Random(source, 1, 9);
>      A := rec(name := Concatenation("random ", String(i)), size := n,
>        binary := List([1 .. Random(source, 0, 2)], k ->
>          List([1 .. n], x -> List([1 .. n], y -> entry(n)))),
>        unary := List([1 .. Random(source, 0, 2)], k ->
>          List([1 .. n], x -> entry(n))));
>      return A;
>    end;;
gap> algebras := List([1 .. 30], randomAlgebra);;
gap> older := List(Filtered(algebras,
>      A -> Length(A.unary) + Length(A.binary) <> A.size),
>      A -> rec(size := A.size, operations := Concatenation(A.unary, A.binary)));;
gap> magmas := List([1 .. 4], i -> MagmaByMultiplicationTable(
>      List([1 .. 6], x -> List([1 .. 6], y -> Random(source, 1, 6)))));;
gap> counts := TallyraCount(Concatenation(algebras, older, magmas));;
gap> counts = Concatenation(List(algebras, TallyraTest.plainCount),
>      List(Filtered(algebras, A -> Length(A.unary) + Length(A.binary) <> A.size),
>           TallyraTest.plainCount),
>      List(magmas, M -> TallyraTest.plainCount(rec(size := 6,
>        binary := [MultiplicationTable(M)]))));
true
gap> TallyraCount([]);
[  ]

# Rings count with addition and multiplication: GF(4) has the subrings
# {0}, GF(2) and GF(4), GF(16) GF(4) too, Z/6Z the ideals of 1, 2, 3 and 6.
gap> TallyraCount([GF(4), ZmodnZ(6), GF(16)]);
[ 4, 5, 5 ]

# Every ring of order up to 9 in GAP's library of small rings, against the
# enumeration of the closed sets of its two tables.
gap> rings := Concatenation(List([1 .. 9], n ->
>      List([1 .. NumberSmallRings(n)], i -> SmallRing(n, i))));;
gap> Length(rings);
87
gap> tables := function(R)
>      local e;
>      e := AsSSortedList(R);
>      return rec(size := Size(R), binary := [
>        List(e, x -> List(e, y -> Position(e, x + y))),
>        List(e, x -> List(e, y -> Position(e, x * y)))]);
>    end;;
gap> TallyraCount(rings) = List(rings, R -> TallyraTest.closedSetCount(tables(R)));
true

# A vector space counts with its addition: GF(2)^3 has 1 + 7 + 7 + 1
# subspaces, GF(3)^2 has 1 + 4 + 1.
gap> TallyraCount([GF(2)^3, GF(3)^2]);
[ 17, 7 ]

# Lattices with meet and join: M_k (tst/helpers.g) against the enumeration
# and the count by hand; M_62, 64 elements, whose 2 * 1891 facts fit a job
# of the 64-element engine only since a repeated fact (the meet or join of
# y and x after that of x and y) is left out.
gap> List([3 .. 8], k -> TallyraTest.closedSetCount(TallyraTest.Mk(k)));
[ 20, 31, 50, 85, 152, 283 ]
gap> List([3 .. 8], TallyraTest.MkCount);
[ 20, 31, 50, 85, 152, 283 ]
gap> TallyraCount(List([3 .. 8], TallyraTest.Mk));
[ 20, 31, 50, 85, 152, 283 ]
gap> TallyraCount(TallyraTest.Mk(62)) = 2 ^ 62 + 189;
true

#############################################################################
# Job files: they run as they stand (a name with a comment sign and a print
# command included), lines stay under 255 characters, and no file is
# overwritten.
gap> jobPath := Filename(TallyraTest.folder, "kept.txt");;
gap> TallyraWriteJobFile(jobPath, [SymmetricGroup(3),
>      rec(name := "unary, % \\P partial", size := 3, unary := [[2, 0, 0]])]);
gap> Process(TallyraTest.folder, TallyraTest.program, InputTextNone(),
>      OutputTextNone(), ["kept.txt"]);
0
gap> results := Filtered(SplitString(StringFile(Filename(TallyraTest.folder,
>      "kept_r0.txt")), "\r\n"), line -> StartsWith(line, "Result for A="));;
gap> [Length(results), EndsWith(results[1], "|Sub(A)| = 7, whence"),
>     EndsWith(results[2], "|Sub(A)| = 6, whence"),
>     PositionSublist(results[2], "=unary; _ /P partial:") <> fail];
[ 2, true, true, true ]
gap> TallyraTest.says(TallyraTest.errorText(function()
>      TallyraWriteJobFile(jobPath, CyclicGroup(2)); end), ["exists already"]);
true

# What a job file holds: the facts that can exclude a subset, each once.
# A cyclic group of order 10: every pair {x, y} of the 9 elements other than
# the identity, x = y included, once: 45 facts; M_5: the meet and the join
# of each pair of its 5 atoms, 20 facts.
gap> facts := function(A)
>      local path, lines;
>      path := Filename(TallyraTest.folder, "facts.txt");
>      RemoveFile(path);
>      TallyraWriteJobFile(path, A);
>      lines := SplitString(StringFile(path), "\n");
>      lines := lines{[Position(lines, "\\constraints") + 1 ..
>                      Position(lines, "\\endofjob") - 1]};
>      return Sum(lines, line -> Length(SplitString(line, " ")));
>    end;;
gap> [facts(CyclicGroup(10)), facts(TallyraTest.Mk(5))];
[ 45, 20 ]

# The most elements a job file can name: 234 distinct bytes, none of them
# reserved, a line end, tab, Ctrl-Z or NUL; the program takes the elements
# line (it counts the job, or refuses more than 64 elements only after it
# has checked the line).
gap> jobPath := Filename(TallyraTest.folder, "wide.txt");;
gap> TallyraWriteJobFile(jobPath, rec(size := 234, binary := [List([1 .. 234],
>      x -> List([1 .. 234], y -> ((x + y) mod 234) + 1))]));
gap> lines := SplitString(StringFile(jobPath), "\n");;
gap> elements := lines[Position(lines, "\\elements") + 1];;
gap> [Length(elements), Length(Set(elements))];
[ 234, 234 ]
gap> Intersection(elements, Concatenation("%\\-*+=()[]'{}?., \r\n\t",
>      [CHAR_INT(26), CHAR_INT(0)])) = [];
true
gap> ForAll(lines, line -> Length(line) < 255);
true

# Read back, the job file of a random algebra of 234 elements, with two
# partial tables and a partial unary operation, says what its tables say,
# each implication once.
gap> source := RandomSource(IsMersenneTwister, 234);;
gap> A := rec(size := 234,
>      binary := List([1, 2], k -> List([1 .. 234], x -> List([1 .. 234],
>        y -> RandomList(source, Concatenation([0, x, y], [1 .. 234]))))),
>      unary := [List([1 .. 234], x -> RandomList(source, [0, x, x + 1, 1]))]);;
gap> A.unary[1][234] := 1;;
gap> jobPath := Filename(TallyraTest.folder, "random234.txt");;
gap> TallyraWriteJobFile(jobPath, A);
gap> written := TallyraTest.jobConstraints(jobPath);;
gap> said := List(written, c -> [Minimum(c[1], c[2]), Maximum(c[1], c[2]), c[3]]);;
gap> [Length(said) = Length(Set(said)), Set(said) = TallyraTest.implications(A)];
[ true, true ]
gap> out := OutputTextFile(Filename(TallyraTest.folder, "wide_screen.txt"), false);;
gap> Process(TallyraTest.folder, TallyraTest.program, InputTextNone(), out,
>      ["wide.txt"]);;
gap> CloseStream(out);
gap> screen := StringFile(Filename(TallyraTest.folder, "wide_screen.txt"));;
gap> PositionSublist(screen, "|Sub(") <> fail or
>    PositionSublist(screen, "(codeZ64x) |A| <= 64 fails") <> fail;
true
gap> STOP_TEST("algebras.tst");
