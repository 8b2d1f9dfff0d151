#############################################################################
##
##  makedoc.g: makes the manual of the package tallyra from doc/tallyra.xml,
##  in the current folder, which holds a copy of tallyra.xml (the build
##  makes it in its own folder):
##
##    gap -q --quitonbreak makedoc.g
##
##  The text and HTML versions and manual.six, which ?TallyraCount reads; no
##  PDF version.
##
#############################################################################

if LoadPackage("GAPDoc") <> true then
  Print("makedoc.g: the manual needs the GAP package GAPDoc ",
        "(Debian: gap-gapdoc)\n");
  QuitGap(1);
fi;
SetInfoLevel(InfoGAPDoc, 0);
MakeGAPDocDoc(DirectoryCurrent(), "tallyra", [], "tallyra", "../../..", "nopdf");
CopyHTMLStyleFiles(DirectoryCurrent());
QuitGap(0);
