#!/usr/bin/env python3
"""Writes job files of algebras with many automorphisms, for the benchmark.

usage: bench/symmetric_jobs.py DIR

Writes into DIR, one job a file:
  cube6-meet.txt      the subsets of a 6-set under intersection (64 elements)
  cube7-meet.txt      the same for a 7-set (128 elements)
  cube6-lattice.txt   the subsets of a 6-set under intersection and union
  cube7-lattice.txt   the same for a 7-set
  two-cube6-meet.txt  two copies of cube6-meet side by side, no fact
                      across them, and one element in no fact (129
                      elements, so that sets take four words)
  T4-rank2.txt        the maps of a 4-set to itself of rank at most 2 under
                      composition (88 elements)
  T4-rank3.txt        the same of rank at most 3 (232 elements)
"""
import itertools
import os
import sys

# The element bytes in the order of the README's script: the printable
# ASCII characters first, then the upper half, then the control bytes with
# Ctrl-Z last (it must not begin the elements line).
RESERVED = b"%\\-*+=()[]'{}?., \r\n"
ORDER = [*range(33, 127), *range(128, 256), *range(0, 33), 127]
ORDER.remove(26)
ORDER.append(26)
SYMBOLS = [bytes([b]) for b in ORDER if b not in RESERVED]


def write_job(path, name, size, operations):
    """operations: {symbol: function (x, y) -> z or None} on 0..size-1."""
    assert size <= len(SYMBOLS)
    sym = SYMBOLS[:size]
    facts = []
    for op, table in operations.items():
        for x in range(size):
            for y in range(size):
                z = table(x, y)
                if z is not None:
                    facts.append(sym[x] + op + sym[y] + b"=" + sym[z])
    lines = [b"\\verbose=false", b"\\subtrahend-in-exponent=0",
             b"\\operationsymbols=" + b"".join(operations.keys()),
             b"\\beginjob", b"\\name", name.encode(), b"\\size", b"%d" % size,
             b"\\elements", b"".join(sym), b"\\constraints"]
    # 40 facts a line, each line indented so that none begins with a Ctrl-Z.
    lines += [b" " + b" ".join(facts[i:i + 40]) for i in range(0, len(facts), 40)]
    lines += [b"\\endofjob", b"\\enddata"]
    with open(path, "wb") as out:
        out.write(b"\r\n".join(lines) + b"\r\n")


def cube(points, lattice):
    ops = {b"*": lambda x, y: x & y}
    if lattice:
        ops[b"+"] = lambda x, y: x | y
    return 1 << points, ops


def two_cubes(points):
    half = 1 << points
    size = 2 * half + 1

    def meet(x, y):
        if x < half and y < half:
            return x & y
        if half <= x < 2 * half and half <= y < 2 * half:
            return half + ((x - half) & (y - half))
        return None

    return size, {b"*": meet}


def transformations(rank):
    maps = [m for m in itertools.product(range(4), repeat=4) if len(set(m)) <= rank]
    index = {m: i for i, m in enumerate(maps)}

    def compose(x, y):  # first maps[x], then maps[y]
        f, g = maps[x], maps[y]
        return index[tuple(g[f[i]] for i in range(4))]

    return len(maps), {b"*": compose}


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        sys.exit(2)
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    jobs = {
        "cube6-meet": cube(6, False),
        "cube7-meet": cube(7, False),
        "cube6-lattice": cube(6, True),
        "cube7-lattice": cube(7, True),
        "two-cube6-meet": two_cubes(6),
        "T4-rank2": transformations(2),
        "T4-rank3": transformations(3),
    }
    for name, (size, ops) in jobs.items():
        write_job(os.path.join(out, name + ".txt"), name, size, ops)


if __name__ == "__main__":
    main()
