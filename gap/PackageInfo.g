#############################################################################
##
##  PackageInfo.g for the GAP package tallyra: counting subuniverses with
##  the program tallyra.  The version is the program's (the build checks
##  that the two agree).  The project has no web home yet: the addresses
##  below stand where GAP's package format requires one.
##
#############################################################################

SetPackageInfo( rec(

PackageName := "tallyra",
Subtitle := "Counting the subuniverses of finite algebras with the program tallyra",
Version := "1.0.0",
Date := "09/12/2026",

PackageWWWHome := "https://tallyra.example.org/",
README_URL := Concatenation(~.PackageWWWHome, "README.md"),
PackageInfoURL := Concatenation(~.PackageWWWHome, "PackageInfo.g"),
ArchiveURL := Concatenation(~.PackageWWWHome, "tallyra-", ~.Version),
ArchiveFormats := ".tar.gz",

Persons := [],
Status := "other",

AbstractHTML := Concatenation(
  "The <span class=\"pkgname\">tallyra</span> package counts the ",
  "subuniverses of finite groups, semigroups, monoids, magmas, rings and ",
  "partial algebras given by tables, with the program tallyra: ",
  "<code>TallyraCount(SymmetricGroup(4))</code> gives 31."),

PackageDoc := rec(
  BookName := "tallyra",
  ArchiveURLSubset := ["doc"],
  HTMLStart := "doc/chap0.html",
  PDFFile := "doc/manual.pdf",
  SixFile := "doc/manual.six",
  LongTitle := "Counting subuniverses with the program tallyra"),

Dependencies := rec(
  GAP := ">= 4.11",
  NeededOtherPackages := [],
  SuggestedOtherPackages := [],
  ExternalConditions := [["the program tallyra", ""]]),

# The package runs the program: without it, it does not load, and says
# where it looked and how to set the program.
AvailabilityTest := function()
  local pkgdir, where;
  pkgdir := GAPInfo.PackageCurrent.InstallationPath;
  where := ReadAsFunction(Concatenation(pkgdir, "/lib/program.g"))()(pkgdir);
  if IsBound(where.problem) then
    LogPackageLoadingMessage(PACKAGE_WARNING, where.problem);
    Info(InfoWarning, 1, "tallyra: ", where.problem);
    return false;
  fi;
  return true;
end,

TestFile := "tst/testall.g",

Keywords := ["subuniverse", "subalgebra", "partial algebra", "subgroup",
             "subsemigroup", "counting"],

));
