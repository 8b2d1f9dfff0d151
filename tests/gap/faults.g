#############################################################################
##
##  faults.g: what TallyraCount says when its surroundings fail, one case a
##  GAP session, as .ci/gap_check.sh sets them up (see there):
##
##    gap -q -r --quitonbreak -c 'TallyraFault := "<case>";' tests/gap/faults.g
##
##  with the package tallyra where GAP finds it.  The cases:
##    interrupted  the whole process group gets SIGINT during a run, as from
##                 Ctrl-C at the terminal (run it in a session of its own)
##    notmp        TMPDIR names a folder that GAP cannot make folders in
##    jobfull      the job file cannot be written whole (a full disk, or a
##                 file size limit standing in for one)
##    runfull      the job file fits, but the program's result file does not
##  Prints "faults.g <case>: passed" at the end; a failed check quits GAP
##  with exit status 1.
##
#############################################################################

if LoadPackage("tallyra") <> true then
  Print("faults.g: the package tallyra does not load\n");
  QuitGap(1);
fi;
ReadPackage("tallyra", "tst/helpers.g");

TallyraTest.check := function(ok, what)
  if ok <> true then
    Print("FAILED: faults.g ", TallyraFault, ": ", what, "\n");
    QuitGap(1);
  fi;
end;

# The files left in the session's folder, where every run writes its job
# file and the program its result file.
TallyraTest.leftFiles := function()
  if TALLYRA.sessionDir = fail then
    return [];
  fi;
  return Difference(DirectoryContents(Filename(TALLYRA.sessionDir, "")),
                    [".", ".."]);
end;

# A job file of some 20 to 140 KB: a random table of n elements.
TallyraTest.randomTable := function(n)
  local source;
  source := RandomSource(IsMersenneTwister, n);
  return rec(name := Concatenation("random ", String(n)), size := n,
    binary := [List([1 .. n], x -> List([1 .. n], y -> Random(source, 1, n)))]);
end;

TallyraTest.text := "";
if TallyraFault = "interrupted" then
  # The fake program sends SIGINT to its process group, GAP included, as
  # the terminal does on Ctrl-C; GAP counts again afterwards.
  SetTallyraProgram(TallyraTest.script("ctrl-c.sh", "kill -INT 0\nsleep 30\n"));
  # GAP stops the count as any computation, or, when the program ends
  # first, the package says why.
  TallyraTest.text := TallyraTest.errorText(function()
    return TallyraCount(CyclicGroup(3)); end);
  TallyraTest.check(TallyraTest.says(TallyraTest.text, ["user interrupt"]) or
    TallyraTest.says(TallyraTest.text, ["the count was interrupted (Ctrl-C)"]),
    TallyraTest.text);
  SetTallyraProgram("");
  TallyraTest.check(TallyraCount(CyclicGroup(3)) = 3, "no count after Ctrl-C");
  TallyraTest.check(TallyraTest.leftFiles() = [], "a file of the run is left");
elif TallyraFault = "notmp" then
  TallyraTest.text := TallyraTest.errorText(function()
    return TallyraCount(CyclicGroup(3)); end);
  TallyraTest.check(TallyraTest.says(TallyraTest.text,
    ["cannot make a temporary folder in ",
     Concatenation(GAPInfo.SystemEnvironment.TMPDIR, " (TMPDIR)"),
     "start GAP with TMPDIR set to a folder where you may write"]),
    TallyraTest.text);
elif TallyraFault = "jobfull" then
  TallyraTest.text := TallyraTest.errorText(function()
    return TallyraCount(TallyraTest.randomTable(150)); end);
  TallyraTest.check(TallyraTest.says(TallyraTest.text,
    ["TallyraCount: writing the job file ", "jobs.txt failed: ",
     "; nothing was counted"]), TallyraTest.text);
  TallyraTest.check(TallyraTest.says(TallyraTest.text, ["No space left on device"]) or
                    TallyraTest.says(TallyraTest.text, ["File too large"]),
                    TallyraTest.text);
  TallyraTest.check(TallyraTest.leftFiles() = [], "a file of the run is left");
elif TallyraFault = "runfull" then
  TallyraTest.text := TallyraTest.errorText(function()
    return TallyraCount(TallyraTest.randomTable(60)); end);
  TallyraTest.check(TallyraTest.says(TallyraTest.text,
    ["the program stopped with a runtime error (exit status 217)",
     "in job 1 (random 60)", "Disk Full"]), TallyraTest.text);
  TallyraTest.check(TallyraTest.leftFiles() = [], "a file of the run is left");
else
  TallyraTest.check(false, "no such case");
fi;
Print("faults.g ", TallyraFault, ": passed\n");
QuitGap(0);
