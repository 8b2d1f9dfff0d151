#############################################################################
##
##  algebras.gi: GAP's finite groups, semigroups, monoids, magmas, rings,
##  fields and additive groups, and algebras given as records of tables,
##  as the jobs of a job file: rec(name, size, operations), each operation
##  rec(binary := true or false, table := ...), checked, with an error that
##  says what is wrong and how to write it.
##
#############################################################################

# The text of an object as View shows it, on one line.
TALLYRA.viewName := function(A)
  local text, out;
  text := "";
  out := OutputTextString(text, false);
  SetPrintFormattingStatus(out, false);
  PrintTo1(out, function() ViewObj(A); end);
  CloseStream(out);
  return text;
end;

TALLYRA.isEntry := n -> (e -> IsInt(e) and 0 <= e and e <= n);
TALLYRA.isTable := n -> (t -> IsDenseList(t) and Length(t) = n and
  ForAll(t, row -> IsDenseList(row) and Length(row) = n and
                   ForAll(row, TALLYRA.isEntry(n))));
TALLYRA.isUnary := n -> (f -> IsDenseList(f) and Length(f) = n and
  ForAll(f, TALLYRA.isEntry(n)));

# The tables of the operations of a domain: for each operation, the table
# of positions in the sorted list of the elements.
TALLYRA.tablesOf := function(elements, operations)
  return List(operations, op -> List(elements, x -> List(elements,
    y -> PositionSorted(elements, op(x, y)))));
end;

# The operations of a record rec(size, binary, unary) or rec(size,
# operations) as rec(binary := true or false, table := ...), checked;
# bad(...) raises the error.
TALLYRA.recordOperations := function(A, n, bad)
  local form, ops, k, op, names;
  form := Concatenation("rec(size := n, binary := [table, ...], ",
    "unary := [list, ...]), each table a list of n rows of n entries and ",
    "each unary operation a list of n entries, entries in [0..n]");
  for k in RecNames(A) do
    if not k in ["name", "size", "binary", "unary", "operations"] then
      bad("a record has the components name, size, binary and unary ",
          "(or operations), not ", k, ": ", form);
    fi;
  od;
  ops := [];
  if IsBound(A.operations) then
    if IsBound(A.binary) or IsBound(A.unary) then
      bad("give binary and unary, or operations, not both: ", form);
    fi;
    if not IsList(A.operations) then
      bad("operations must be a list of tables: ", form);
    fi;
    # n lists of n integers would be n unary operations, but they are what
    # a binary table given without its list looks like.
    if Length(A.operations) = n and IsDenseList(A.operations) and
       ForAll(A.operations, TALLYRA.isUnary(n)) then
      bad("operations is a list of ", n, " lists of ", n, " integers: ",
          "for one binary table write operations := [ table ] or ",
          "binary := [ table ]; for ", n, " unary operations write ",
          "unary := [ f1, ..., f", n, " ]");
    fi;
    for k in [1 .. Length(A.operations)] do
      if not IsBound(A.operations[k]) then
        bad("operation ", k, " is missing");
      fi;
      op := A.operations[k];
      if TALLYRA.isTable(n)(op) then
        Add(ops, rec(binary := true, table := op));
      elif TALLYRA.isUnary(n)(op) then
        Add(ops, rec(binary := false, table := op));
      else
        bad("operation ", k, " must be an n x n table or a list of n ",
            "entries in [0..n], n = ", n, ": ", form);
      fi;
    od;
    return ops;
  fi;
  for names in [["binary", TALLYRA.isTable(n), true, "an n x n table", "table"],
                ["unary", TALLYRA.isUnary(n), false, "a list of n entries", "f"]] do
    if IsBound(A.(names[1])) then
      if not IsList(A.(names[1])) then
        bad(names[1], " must be a list of operations, each ", names[4],
            " with entries in [0..n], n = ", n, ": ", form);
      elif Length(A.(names[1])) > 0 and names[2](A.(names[1])) then
        bad(names[1], " is one operation, not a list of them: write ",
            names[1], " := [ ", names[5], " ]");
      fi;
      for k in [1 .. Length(A.(names[1]))] do
        if not IsBound(A.(names[1])[k]) or not names[2](A.(names[1])[k]) then
          bad(names[1], " operation ", k, " must be ", names[4],
              " with entries in [0..n], n = ", n, ": ", form);
        fi;
        Add(ops, rec(binary := names[3], table := A.(names[1])[k]));
      od;
    fi;
  od;
  return ops;
end;

# rec(name, size, operations) with every operation as rec(binary := true
# or false, table := ...), checked; `where` names the algebra in messages.
TALLYRA.normalizedJob := function(A, where, i, caller)
  local n, name, ops, elements, bad, checkSize;
  bad := function(arg)
    CallFuncList(ErrorNoReturn, Concatenation([caller, ": ", where], arg));
  end;
  checkSize := function(n)
    if n > Length(TALLYRA.elementChars) then
      bad("it has ", n, " elements, but a job file can name only ",
          Length(TALLYRA.elementChars), " (one character each)");
    fi;
  end;
  if IsRecord(A) then
    if not IsBound(A.size) or not IsPosInt(A.size) then
      bad("size must be a positive integer");
    fi;
    n := A.size;
    checkSize(n);
    name := "";
    if IsBound(A.name) then
      if not IsString(A.name) then
        bad("name must be a string");
      fi;
      name := A.name;
    fi;
    ops := TALLYRA.recordOperations(A, n, bad);
    if Length(ops) > Length(TALLYRA.operationChars) then
      bad("it has ", Length(ops), " operations, but a job file gives only ",
          Length(TALLYRA.operationChars), " operation symbols");
    fi;
  elif IsRing(A) or IsAdditiveMagma(A) or IsMagma(A) then
    if not IsFinite(A) then
      bad("it is not finite");
    fi;
    n := Size(A);
    checkSize(n);
    if HasName(A) then
      name := Name(A);
    elif IsGroup(A) and HasIdGroup(A) then
      name := Concatenation("SmallGroup(", String(IdGroup(A)[1]), ";",
                            String(IdGroup(A)[2]), ")");
    else
      name := TALLYRA.viewName(A);
    fi;
    # A ring counts with its addition and its multiplication, an additive
    # group with its addition, a magma with its multiplication.
    if IsRing(A) then
      elements := AsSSortedList(A);
      ops := TALLYRA.tablesOf(elements, [\+, \*]);
    elif IsMagma(A) then
      ops := [MultiplicationTable(A)];
    else
      elements := AsSSortedList(A);
      ops := TALLYRA.tablesOf(elements, [\+]);
    fi;
    ops := List(ops, t -> rec(binary := true, table := t));
  else
    bad("not a finite group, semigroup, monoid, magma, ring or field, nor ",
        "a record rec(name := \"...\", size := n, binary := [...], ",
        "unary := [...])");
  fi;
  return rec(name := TALLYRA.jobName(name, i), size := n, operations := ops);
end;

# An algebra or a list of algebras: the list of their jobs.
TALLYRA.normalizedJobs := function(algebras, caller)
  if IsList(algebras) then
    return List([1 .. Length(algebras)], function(i)
      if not IsBound(algebras[i]) then
        ErrorNoReturn(caller, ": algebra ", i, " is missing from the list");
      fi;
      return TALLYRA.normalizedJob(algebras[i],
        Concatenation("algebra ", String(i), ": "), i, caller);
    end);
  fi;
  return [TALLYRA.normalizedJob(algebras, "", 1, caller)];
end;

