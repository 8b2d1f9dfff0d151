#############################################################################
##
##  tallyra.g: loads the GAP package tallyra, for sessions that read this
##  file; LoadPackage("tallyra"); does the same where GAP finds the package.
##
##    gap> Read("/usr/share/tallyra/gap/tallyra.g");
##    gap> TallyraCount(SymmetricGroup(4));
##    31
##
##  The package is looked for beside this file: in this folder itself (the
##  package's own folder), in pkg/tallyra below it (the Windows zip), or in
##  ../../gap/pkg/tallyra (the share/tallyra/gap folder of an installation);
##  otherwise wherever GAP finds packages.  A global string TallyraProgram
##  set before this file is read still names the program; afterwards
##  SetTallyraProgram sets it (see ?SetTallyraProgram).
##
#############################################################################

CallFuncList(function()
  local file, p, here, folder;
  file := INPUT_FILENAME();
  p := Length(file);
  while p > 0 and file[p] <> '/' do
    p := p - 1;
  od;
  if p = 0 then
    here := ".";
  else
    here := file{[1 .. p - 1]};
  fi;
  for folder in [here, Concatenation(here, "/pkg/tallyra"),
                 Concatenation(here, "/../../gap/pkg/tallyra")] do
    if IsReadableFile(Concatenation(folder, "/PackageInfo.g")) = true and
       not IsBound(GAPInfo.PackagesLoaded.tallyra) then
      SetPackagePath("tallyra", folder);
      break;
    fi;
  od;
  if LoadPackage("tallyra") <> true then
    ErrorNoReturn("tallyra.g: the package tallyra does not load; ",
                  "DisplayPackageLoadingLog(PACKAGE_DEBUG); says why");
  fi;
end, []);
