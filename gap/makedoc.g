#############################################################################
##
##  makedoc.g: makes the manual of the package tallyra from doc/tallyra.xml,
##  in the current folder, which holds a copy of tallyra.xml (the build
##  makes it in its own folder):
##
##    gap -q --quitonbreak makedoc.g
##
##  The text and HTML versions and manual.six, which ?TallyraCount reads,
##  and the PDF version manual.pdf where pdflatex is on the PATH.
##
#############################################################################

if LoadPackage("GAPDoc") <> true then
  Print("makedoc.g: the manual needs the GAP package GAPDoc ",
        "(Debian: gap-gapdoc)\n");
  QuitGap(1);
fi;
SetInfoLevel(InfoGAPDoc, 0);
if Filename(DirectoriesSystemPrograms(), "pdflatex") = fail then
  MakeGAPDocDoc(DirectoryCurrent(), "tallyra", [], "tallyra", "../../..", "nopdf");
else
  MakeGAPDocDoc(DirectoryCurrent(), "tallyra", [], "tallyra", "../../..");
fi;
CopyHTMLStyleFiles(DirectoryCurrent());
QuitGap(0);
