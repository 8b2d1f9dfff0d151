#############################################################################
##
##  large.tst: algebras of more than 64 elements, which the program of the
##  64-element engine refuses (tst/testall.g runs this file only when the
##  program counts them, and says so when it does not).
##
gap> START_TEST("large.tst");
gap> ReadPackage("tallyra", "tst/helpers.g");
true

# Groups of order 65 to 200: the first, a middle and the last group of
# each order, where the middle one is the first solvable group from the
# middle of the list on (GAP counts the subgroups of a nonsolvable
# permutation group only with its library of transitive groups).
gap> middle := function(n)
>      local m;
>      m := QuoInt(NumberSmallGroups(n) + 1, 2);
>      while not IsSolvableGroup(SmallGroup(n, m)) do
>        m := m + 1;
>      od;
>      return m;
>    end;;
gap> ids := Concatenation(List([65 .. 200], n -> List(
>      Set([1, middle(n), NumberSmallGroups(n)]), i -> [n, i])));;
gap> Length(ids);
287
gap> bad := [];; groups := [];; counts := [];;
gap> for part in [[65 .. 128], [129 .. 200]] do
>      groups := List(Filtered(ids, id -> id[1] in part), id -> SmallGroup(id));
>      counts := TallyraCount(groups);
>      Append(bad, List(Filtered([1 .. Length(groups)],
>        i -> counts[i] <> TallyraTest.subgroupCount(groups[i]) + 1),
>        i -> IdGroup(groups[i])));
>    od;
gap> bad;
[  ]

# Lattices with meet and join: M_k has 2^k + 3k + 3 subuniverses
# (tst/helpers.g), 2^100 + 303 for the 102 elements of M_100, 2^232 + 699
# for the 234 elements of M_232, the most that a job file can name.
gap> List([100, 232], k -> TallyraCount(TallyraTest.Mk(k)) = TallyraTest.MkCount(k));
[ true, true ]

# Rings and fields: Z/200Z has an additive subgroup, an ideal, for each of
# the 12 divisors of 200; the subrings of GF(128) and GF(125) are {0}, the
# prime field and the field.
gap> TallyraCount([ZmodnZ(200), GF(128), GF(125)]);
[ 13, 4, 4 ]

# The successor on a chain of 234 elements: the empty set and the 234 final
# segments.
gap> TallyraCount(rec(size := 234, unary := [Concatenation([2 .. 234], [234])]));
235
gap> STOP_TEST("large.tst");
