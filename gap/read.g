#############################################################################
##
##  read.g of the package tallyra.
##
#############################################################################

ReadPackage("tallyra", "lib/tallyra.gi");
ReadPackage("tallyra", "lib/algebras.gi");
ReadPackage("tallyra", "lib/jobfile.gi");
ReadPackage("tallyra", "lib/run.gi");
