#############################################################################
##
##  init.g of the package tallyra.
##
#############################################################################

# A session may have set the program the way of the single file tallyra.g
# before the package existed, as a global string TallyraProgram: it becomes
# the preference, and the name the function that tells the program.
if IsBoundGlobal("TallyraProgram") and IsString(ValueGlobal("TallyraProgram")) then
  SetUserPreference("tallyra", "TallyraProgram", ValueGlobal("TallyraProgram"));
  UnbindGlobal("TallyraProgram");
fi;

ReadPackage("tallyra", "lib/tallyra.gd");
