#############################################################################
##
##  tallyra.gi: the functions of the package tallyra, on top of the parts
##  in the record TALLYRA that the other files of lib/ fill in:
##    algebras.gi  GAP's algebras and records as checked jobs
##    jobfile.gi   the job file of a list of jobs
##    run.gi       the program's run in the session's folder, and its counts
##
#############################################################################

BindGlobal("TALLYRA", rec());

# The package's folder, and how to find the program from there.
TALLYRA.folder := DirectoriesPackageLibrary("tallyra", "")[1]![1];
TALLYRA.findProgram := ReadAsFunction(Filename(
  DirectoriesPackageLibrary("tallyra", "lib"), "program.g"))();

TALLYRA.stripLineEnd := function(line)
  while Length(line) > 0 and line[Length(line)] in "\r\n" do
    Remove(line);
  od;
  return line;
end;

InstallGlobalFunction(TallyraCount, function(A)
  if IsList(A) and not IsDomain(A) then
    if Length(A) = 0 then
      return [];
    fi;
    return TALLYRA.runJobs(TALLYRA.normalizedJobs(A, "TallyraCount"));
  fi;
  return TALLYRA.runJobs(TALLYRA.normalizedJobs(A, "TallyraCount"))[1];
end);

InstallGlobalFunction(TallyraWriteJobFile, function(path, algebras)
  local jobs, problem;
  if not IsString(path) or path = "" then
    ErrorNoReturn("TallyraWriteJobFile: the path must be a string");
  fi;
  if IsExistingFile(path) then
    ErrorNoReturn("TallyraWriteJobFile: ", path, " exists already; ",
                  "remove it or choose another name");
  fi;
  jobs := TALLYRA.normalizedJobs(algebras, "TallyraWriteJobFile");
  if Length(jobs) = 0 then
    ErrorNoReturn("TallyraWriteJobFile: no algebra to write");
  fi;
  problem := TALLYRA.writeFile(path, TALLYRA.jobFileText(jobs));
  if problem <> fail then
    ErrorNoReturn("TallyraWriteJobFile: writing ", path, " failed: ", problem);
  fi;
end);

InstallGlobalFunction(TallyraProgram, function()
  local where;
  where := TALLYRA.findProgram(TALLYRA.folder);
  if IsBound(where.problem) then
    ErrorNoReturn("TallyraProgram: ", where.problem);
  fi;
  return where.path;
end);

InstallGlobalFunction(SetTallyraProgram, function(program)
  local before, where;
  if not IsString(program) then
    ErrorNoReturn("SetTallyraProgram: give the program's name or path as ",
                  "a string (\"\" for the program installed with the package)");
  fi;
  before := UserPreference("tallyra", "TallyraProgram");
  SetUserPreference("tallyra", "TallyraProgram", program);
  where := TALLYRA.findProgram(TALLYRA.folder);
  if IsBound(where.problem) then
    SetUserPreference("tallyra", "TallyraProgram", before);
    ErrorNoReturn("SetTallyraProgram: ", where.problem);
  fi;
end);
