#############################################################################
##
##  testall.g: the tests of the package tallyra, with the program that the
##  package finds (see ?TallyraProgram):
##
##    gap -q --quitonbreak tst/testall.g
##
##  or TestPackage("tallyra"); in GAP.  Runs the .tst files of this folder
##  (large.tst only with a program that counts more than 64 elements, and
##  says so otherwise) and the examples of the manual, where the manual is
##  there; says whether all passed only after the last of them, and quits
##  GAP with exit status 0 when all pass, 1 otherwise.
##
#############################################################################

if LoadPackage("tallyra") <> true then
  Print("testall.g: the package tallyra does not load\n");
  QuitGap(1);
fi;
ReadPackage("tallyra", "tst/helpers.g");

TallyraTest.files := ["algebras.tst", "errors.tst", "groups.tst"];
if TallyraTest.countsAbove64() then
  Add(TallyraTest.files, "large.tst");
else
  Print("#I  large.tst is not run: the program counts at most 64 elements ",
        "(\"(codeZ64x) |A| <= 64 fails\")\n");
fi;
TallyraTest.passed := TestDirectory(List(TallyraTest.files, file ->
  Filename(DirectoriesPackageLibrary("tallyra", "tst"), file)),
  rec(exitGAP := false, suppressStatusMessage := true));

# The examples of the manual, run as they stand: whether all pass.
TallyraTest.manualExamples := function()
  local passed, unit, example, text;
  passed := true;
  for unit in ExtractExamples(DirectoriesPackageLibrary("tallyra", "doc"),
                              "tallyra.xml", [], "Chapter") do
    for example in unit do
      text := example[1];
      while StartsWith(text, "\n") do
        text := text{[2 .. Length(text)]};
      od;
      if Test(InputTextString(text),
              rec(compareFunction := "uptowhitespace")) <> true then
        Print("in the example at ", example[2], "\n");
        passed := false;
      fi;
    od;
  od;
  return passed;
end;
if Filename(DirectoriesPackageLibrary("tallyra", "doc"), "tallyra.xml") = fail or
   LoadPackage("GAPDoc") <> true then
  Print("#I  the manual's examples are not run: no doc/tallyra.xml or no GAPDoc\n");
else
  Print("Running the examples of the manual\n");
  TallyraTest.passed := TallyraTest.manualExamples() and TallyraTest.passed;
fi;

# GAP's own verdict, only now that everything has run.
if TallyraTest.passed then
  Print("#I  No errors detected while testing\n");
  Print("tallyra: all tests passed\n");
  QuitGap(0);
fi;
Print("#I  Errors detected while testing\n");
Print("tallyra: some tests FAILED\n");
QuitGap(1);
