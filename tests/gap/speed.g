#############################################################################
##
##  speed.g: what a call of TallyraCount costs, against GAP's own count of
##  subgroups, on the 51 groups of order 32, one call each:
##
##    gap -q -r speed.g        (the package where GAP finds it)
##
##  Prints, in milliseconds a call (wall time, so run it on a quiet machine
##  and more than once):
##    TallyraCount        the whole call;
##    shell's run         the answer of the shell to "run", the program's
##                        run included;
##    empty run           the same with the program `true`, which counts
##                        nothing: the cost of starting a program;
##    outside the program the whole call less the shell's run, plus the
##                        empty run;
##    GAP's own           Sum(List(ConjugacyClassesSubgroups(G), Size)) + 1
##                        on a new copy of the groups;
##  and how many times faster TallyraCount is than GAP's own.
##
#############################################################################

if LoadPackage("tallyra") <> true then
  Print("speed.g: the package tallyra does not load\n");
  QuitGap(1);
fi;

TallyraSpeed := rec(asked := 0, ask := TALLYRA.ask);
TallyraSpeed.ms := ns -> Float(ns / 10 ^ 6);

# The time the shell takes to answer "run", summed over the calls.
TALLYRA.ask := function(request)
  local t, answer;
  t := NanosecondsSinceEpoch();
  answer := TallyraSpeed.ask(request);
  if request = "run" then
    TallyraSpeed.asked := TallyraSpeed.asked + NanosecondsSinceEpoch() - t;
  fi;
  return answer;
end;

TallyraSpeed.groups := AllSmallGroups(32);
TallyraSpeed.n := Length(TallyraSpeed.groups);
TallyraCount(CyclicGroup(2));
TallyraSpeed.asked := 0;
TallyraSpeed.t := NanosecondsSinceEpoch();
TallyraSpeed.counts := List(TallyraSpeed.groups, TallyraCount);
TallyraSpeed.call := (NanosecondsSinceEpoch() - TallyraSpeed.t) / TallyraSpeed.n;
TallyraSpeed.run := TallyraSpeed.asked / TallyraSpeed.n;

# The shell's answer to "run" with a program that does nothing.
TallyraSpeed.shell := TALLYRA.shellFor(
  Filename(DirectoriesSystemPrograms(), "true"), TALLYRA.sessionFolder());
TallyraSpeed.empty := fail;
if TallyraSpeed.shell <> fail then
  TallyraSpeed.asked := 0;
  Perform([1 .. TallyraSpeed.n], i -> TALLYRA.ask("run"));
  TallyraSpeed.empty := TallyraSpeed.asked / TallyraSpeed.n;
  TALLYRA.stopShell();
fi;

TallyraSpeed.groups := AllSmallGroups(32);
TallyraSpeed.t := NanosecondsSinceEpoch();
TallyraSpeed.gapCounts := List(TallyraSpeed.groups,
  G -> Sum(List(ConjugacyClassesSubgroups(G), Size)) + 1);
TallyraSpeed.gap := (NanosecondsSinceEpoch() - TallyraSpeed.t) / TallyraSpeed.n;

if TallyraSpeed.counts <> TallyraSpeed.gapCounts then
  Print("speed.g: TallyraCount and GAP give other counts\n");
  QuitGap(1);
fi;
Print("TallyraCount         ", TallyraSpeed.ms(TallyraSpeed.call), " ms\n");
Print("shell's run          ", TallyraSpeed.ms(TallyraSpeed.run), " ms\n");
if TallyraSpeed.empty <> fail then
  Print("empty run            ", TallyraSpeed.ms(TallyraSpeed.empty), " ms\n");
  Print("outside the program  ", TallyraSpeed.ms(TallyraSpeed.call -
    TallyraSpeed.run + TallyraSpeed.empty), " ms\n");
fi;
Print("GAP's own            ", TallyraSpeed.ms(TallyraSpeed.gap), " ms\n");
Print("TallyraCount is ", Float(TallyraSpeed.gap / TallyraSpeed.call),
      " times faster\n");
QuitGap(0);
