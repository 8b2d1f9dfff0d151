#############################################################################
##
##  program.g: where the program tallyra is.  The package's availability
##  test and lib/tallyra.gi read this file with ReadAsFunction; it returns
##  a function of the package's folder that gives rec( path := <path> ),
##  the program to run as an absolute path, or rec( problem := <text> ),
##  why there is none and how to say where it is.
##
##  The program is, in this order:
##    - the user preference TallyraProgram of the package tallyra, when it
##      is not empty (or, before the package is loaded, a global string
##      TallyraProgram): a name looked up on the PATH, or a path (absolute,
##      or from GAP's current folder; ~ for the home folder);
##    - the program installed with the package: <prefix>/bin/tallyra for a
##      package in <prefix>/share/gap/pkg/, <top>/tallyra.exe for one in
##      <top>/gap/pkg/ (the Windows zip);
##    - tallyra (or tallyra.exe) on the PATH.
##
#############################################################################

return function(pkgdir)
  local how, stripLineEnd, absolute, normalized, parent, checked, onPath, setting, path,
        top, candidates;

  how := Concatenation(
    "say where it is with\n",
    "  SetTallyraProgram(\"/path/to/tallyra\");\n",
    "once the package is loaded, or before LoadPackage(\"tallyra\") (or in ",
    "gap.ini) with\n",
    "  SetUserPreference(\"tallyra\", \"TallyraProgram\", \"/path/to/tallyra\");");

  stripLineEnd := function(line)
    while Length(line) > 0 and line[Length(line)] in "\r\n" do
      Remove(line);
    od;
    return line;
  end;

  # The path from the root: the program runs in another folder than GAP.
  absolute := function(path)
    local pwd, cwd, out;
    if path[1] in "/\\" or
       (Length(path) >= 3 and path[2] = ':' and path[3] in "/\\") then
      return path;
    fi;
    pwd := Filename(DirectoriesSystemPrograms(), "pwd");
    cwd := "";
    if pwd <> fail then
      out := OutputTextString(cwd, true);
      SetPrintFormattingStatus(out, false);
      Process(DirectoryCurrent(), pwd, InputTextNone(), out, []);
      CloseStream(out);
      cwd := stripLineEnd(cwd);
    fi;
    if cwd = "" then
      return fail;
    fi;
    return Concatenation(cwd, "/", path);
  end;

  # The path without . and .. parts, nor a slash at its end.
  normalized := function(path)
    local parts, part, kept;
    kept := [];
    parts := SplitString(path, "/");
    for part in parts do
      if part = "" or part = "." then
        continue;
      elif part = ".." and Length(kept) > 0 and Last(kept) <> ".." then
        Remove(kept);
      elif part <> ".." or path[1] <> '/' then
        Add(kept, part);
      fi;
    od;
    if path[1] = '/' then
      return Concatenation("/", JoinStringsWithSeparator(kept, "/"));
    elif kept = [] then
      return ".";
    fi;
    return JoinStringsWithSeparator(kept, "/");
  end;

  # The path without its last part (and without a slash at its end).
  parent := function(path)
    local p;
    while Length(path) > 1 and path[Length(path)] = '/' do
      path := path{[1 .. Length(path) - 1]};
    od;
    p := Length(path);
    while p > 0 and path[p] <> '/' do
      p := p - 1;
    od;
    return path{[1 .. Maximum(p - 1, 0)]};
  end;

  checked := function(path, what)
    local full;
    full := absolute(path);
    if full = fail then
      return rec(problem := Concatenation("cannot find GAP's current folder ",
        "to locate ", what, ", ", path, "; give it as an absolute path: ",
        how));
    elif IsDirectoryPath(full) = true then
      return rec(problem := Concatenation(what, ", ", full, ", is a folder, ",
        "not the program; give the program's own path, for example ",
        full, "/tallyra: ", how));
    elif not IsExistingFile(full) then
      return rec(problem := Concatenation(what, ", ", full,
        ", does not exist: ", how));
    elif IsExecutableFile(full) <> true then
      return rec(problem := Concatenation(what, ", ", full,
        ", is not an executable program: ", how));
    fi;
    return rec(path := full);
  end;

  onPath := function(name)
    local found;
    found := Filename(DirectoriesSystemPrograms(), name);
    if found = fail then
      found := Filename(DirectoriesSystemPrograms(), Concatenation(name, ".exe"));
    fi;
    return found;
  end;

  setting := UserPreference("tallyra", "TallyraProgram");
  # Set the way of the single file tallyra.g, before the package loads.
  if (setting = fail or setting = "") and IsBoundGlobal("TallyraProgram") and
     IsString(ValueGlobal("TallyraProgram")) then
    setting := ValueGlobal("TallyraProgram");
  fi;
  if setting <> fail and setting <> "" then
    if not IsString(setting) then
      return rec(problem := Concatenation("the preference TallyraProgram ",
        "must be a string, the program's name or path: ", how));
    elif '/' in setting or '\\' in setting then
      return checked(UserHomeExpand(setting),
                     "the program set as TallyraProgram");
    fi;
    path := onPath(setting);
    if path = fail then
      return rec(problem := Concatenation("the program set as TallyraProgram, ",
        "\"", setting, "\", is not on the PATH: ", how));
    fi;
    return checked(path, "the program set as TallyraProgram");
  fi;

  # Installed with the package.
  candidates := [];
  if IsString(pkgdir) and pkgdir <> "" then
    top := parent(parent(normalized(pkgdir)));
    if EndsWith(top, "share/gap") then
      Add(candidates, Concatenation(parent(parent(top)), "/bin/tallyra"));
    elif EndsWith(top, "/gap") or top = "gap" then
      Add(candidates, Concatenation(parent(top), "/tallyra.exe"));
    fi;
  fi;
  for path in candidates do
    if IsExistingFile(path) and IsDirectoryPath(path) <> true and
       IsExecutableFile(path) = true then
      return checked(path, "the program installed with the package");
    fi;
  od;

  path := onPath("tallyra");
  if path = fail then
    return rec(problem := Concatenation("the program tallyra is neither ",
      "installed with the package nor on the PATH: ", how));
  fi;
  return checked(path, "the program tallyra on the PATH");
end;
