# Writes tests/algebras/small_groups_data.cc: groups of order 65 to 200
# from GAP's library of small groups, each as a presentation from which
# tests/algebras/small_groups.cc builds the operation table, with its number
# of subgroups as GAP counts them. Run from the repository's root:
#
#   gap -q tests/algebras/export_small_groups.g < /dev/null
#
# The groups: every group of every order 65..200 with at most 250 groups
# (all orders but 128 and 192), and of orders 128 and 192 the first, the
# middle, the last and every hundredth. A solvable group is written as the
# pc presentation of its family pcgs g_1..g_k (prime relative orders p_i):
# an element g_1^e_1 ... g_k^e_k is numbered sum e_i * p_(i+1) * ... * p_k,
# and the presentation gives, by those numbers, the powers g_i^p_i and the
# commutators Comm(g_j, g_i) = g_j^-1 g_i^-1 g_j g_i for i < j. A group
# that is not solvable is written as permutations generating it (points
# numbered from 0). The subgroups are counted as in GAP's own tests:
# Sum(List(ConjugacyClassesSubgroups(G), Size)).

# Without the TransGrp package, normalizers in some permutation groups (in
# SL(2,5), for one) ask for its library of transitive groups: answer that
# it has none, as is the case, so that they are found the other way.
if LoadPackage("transgrp") <> true then
  InstallGlobalFunction(TransitiveGroupsAvailable, degree -> false);
fi;

ChosenIds := function(n)
  local count, ids;
  count := NumberSmallGroups(n);
  if count <= 250 then
    return [1 .. count];
  fi;
  ids := Set(Concatenation([1, QuoInt(count + 1, 2), count], [100, 200 .. 100 * QuoInt(count, 100)]));
  return ids;
end;

Code := function(pcgs, element)
  local exponents, orders, code, i;
  exponents := ExponentsOfPcElement(pcgs, element);
  orders := RelativeOrders(pcgs);
  code := 0;
  for i in [1 .. Length(pcgs)] do
    code := code * orders[i] + exponents[i];
  od;
  return code;
end;

JoinNumbers := function(list)
  return JoinStringsWithSeparator(List(list, String), " ");
end;

PcText := function(G)
  local pcgs, k, powers, commutators, i, j;
  pcgs := FamilyPcgs(G);
  k := Length(pcgs);
  powers := List([1 .. k], i -> Code(pcgs, pcgs[i] ^ RelativeOrders(pcgs)[i]));
  commutators := [];
  for i in [1 .. k] do
    for j in [i + 1 .. k] do
      Add(commutators, Code(pcgs, Comm(pcgs[j], pcgs[i])));
    od;
  od;
  return Concatenation(JoinNumbers(RelativeOrders(pcgs)), "; ", JoinNumbers(powers), "; ",
                       JoinNumbers(commutators));
end;

PermText := function(G)
  local P, degree;
  P := Image(SmallerDegreePermutationRepresentation(Image(IsomorphismPermGroup(G))));
  degree := LargestMovedPoint(P);
  return Concatenation(String(degree), ": ", JoinStringsWithSeparator(
      List(SmallGeneratingSet(P), g -> JoinNumbers(List([1 .. degree], x -> x ^ g - 1))), "; "));
end;

out := OutputTextFile("tests/algebras/small_groups_data.cc", false);
SetPrintFormattingStatus(out, false);
PrintTo(out, "");
AppendTo(out,
  "// Written by tests/algebras/export_small_groups.g (GAP ", GAPInfo.Version,
  " with the SmallGrp library); do not edit.\n",
  "// clang-format off\n",
  "#include \"tests/algebras/small_groups.h\"\n\n",
  "namespace tallyra {\n\n",
  "const SmallGroupData kSmallGroups[] = {\n");
total := 0;
for n in [65 .. 200] do
  for id in ChosenIds(n) do
    G := SmallGroup(n, id);
    subgroups := Sum(List(ConjugacyClassesSubgroups(G), Size));
    if IsSolvableGroup(G) then
      AppendTo(out, "    {", n, ", ", id, ", ", subgroups, ", false, \"", PcText(G), "\"},\n");
    else
      AppendTo(out, "    {", n, ", ", id, ", ", subgroups, ", true, \"", PermText(G), "\"},\n");
    fi;
    total := total + 1;
  od;
od;
AppendTo(out, "};\n\n",
  "const int kSmallGroupCount = ", total, ";\n\n",
  "}  // namespace tallyra\n");
CloseStream(out);
QUIT;
