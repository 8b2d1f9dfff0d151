#############################################################################
##
##  tallyra.gd: the functions of the package tallyra (see its manual).
##
#############################################################################

DeclareGlobalFunction("TallyraCount");
DeclareGlobalFunction("TallyraWriteJobFile");
DeclareGlobalFunction("TallyraProgram");
DeclareGlobalFunction("SetTallyraProgram");

DeclareUserPreference(rec(
  name := "TallyraProgram",
  description := [
    "The program tallyra that TallyraCount runs: a name looked up on the \
PATH, or a path. Empty: the program installed with the package, or else \
tallyra on the PATH."],
  default := "",
  check := IsString,
  package := "tallyra"));
