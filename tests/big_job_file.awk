# Writes a job file of large jobs for the stress and kill tests, one job
# for each number in `sizes` (1 to 237 elements, the first so many of the
# bytes an element may be, in ascending order, NUL first as "?", which is
# no element: pipe the output through `tr '?' '\000'`). A job's tables, one
# for each character of `ops`, are: Z_n under the first (x+y mod n), the
# star semilattice under the second (x*x = x, x*y = 0 otherwise), Z_n
# again under any further one; all of them full, but no more than `most`
# constraints a job. With the first table full, the closed sets are the
# empty set and the subgroups of Z_n, one for each divisor of n.
#   usage: LC_ALL=C awk -v sizes="237 129" -v ops="+*" [-v most=N] -f big_job_file.awk
BEGIN {
  split("10 13 32 37 39 40 41 42 43 44 45 46 61 63 91 92 93 123 125", r, " ")
  for (i in r) reserved[r[i] + 0] = 1
  symbols = 0
  sym[symbols++] = "?"
  for (b = 1; b < 256; b++) if (!(b in reserved)) sym[symbols++] = sprintf("%c", b)
  ctrl_z = sprintf("%c", 26)  # ends the file at the start of a line: a blank goes first
  if (most == "") most = 131072
  printf "\\verbose=false\n\\subtrahend-in-exponent=0\n\\operationsymbols=%s\n\\beginjob\n", ops
  jobs = split(sizes, size, " ")
  for (j = 1; j <= jobs; j++) {
    n = size[j] + 0
    printf "\\name\nZ%d and star\n\\size\n%d\n\\elements\n", n, n
    for (x = 0; x < n; x++) printf "%s", sym[x]
    printf "\n\\constraints\n"
    facts = 0
    for (op = 1; op <= length(ops); op++)
      for (a = 0; a < n; a++)
        for (b = 0; b < n && facts < most; b++) {
          if (op == 2) c = a == b ? a : 0; else c = (a + b) % n
          if (facts % 40 == 0 && sym[a] == ctrl_z) printf " "
          printf "%s%s%s=%s%s", sym[a], substr(ops, op, 1), sym[b], sym[c],
                 ++facts % 40 == 0 ? "\n" : " "
        }
    printf "\n\\endofjob\n"
  }
  printf "\\enddata\n"
}
