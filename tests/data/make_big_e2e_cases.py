#!/usr/bin/env python3
"""Writes the end-to-end cases of jobs of 65 to 238 elements under tests/e2e/:
the job files and, worked out here apart from the program, the screen and
the result file that the program must write (clock and duration fields as
0, which the runner masks).

An element character is any byte but CR, LF and the 17 reserved characters
"%\\-*+=()[]'{}?., " (blank among them): 237 bytes, NUL, tab, DEL and the
bytes 128..255 among them. Ctrl-Z (26) ends a job file only at the start of
a line, so no line here begins with it. The counts come from the
constructions: every subset when there is no constraint; one subgroup of
Z_n for each divisor of n, and the empty set; the final segments of a chain
x*x = x+1; all or nothing of a cycle; 7 closed subsets of each triple with
a*b = c. The scaled values are worked out as tests/data/make_result_lines.py
does (the count rounded to the nearest double, then exact decimals).

    python3 tests/data/make_big_e2e_cases.py
"""
import os
import random
from decimal import Decimal, ROUND_HALF_EVEN, getcontext

getcontext().prec = 400

RESERVED = b"%\\-*+=()[]'{}?., "
ELEMENT_BYTES = [b for b in range(256) if b not in RESERVED and b not in (10, 13)]
assert len(ELEMENT_BYTES) == 237

CRLF = b"\r\n"
HERE = os.path.dirname(os.path.abspath(__file__))
E2E = os.path.join(HERE, "..", "e2e")


def scaled(n, size, k, decimals):
    x = Decimal(float(n)) * (Decimal(2) ** (k - size))  # float(n): nearest, ties to even
    return format(x.quantize(Decimal(1).scaleb(-decimals), rounding=ROUND_HALF_EVEN), "f")


def divisors(n):
    return sum(1 for d in range(1, n + 1) if n % d == 0)


class Run:
    """A run of the program with `\\verbose=false`: the job file it reads and
    the lines it writes to the screen and to the result file."""

    def __init__(self, k, operations, about_lines, line_end=b"\n"):
        self.k = k
        self.end = line_end
        self.job = b"".join(b"% " + a.encode() + line_end for a in about_lines)
        self.job += b"\\verbose=false" + line_end
        self.job += b"\\subtrahend-in-exponent=%d" % k + line_end
        self.job += b"\\operationsymbols=" + operations + line_end
        self.job += b"\\beginjob" + line_end
        self.screen = [
            b"Tallyra, ver. June 30, 2019, to compute |Sub(A)|; by the Tallyra developers.",
            b"Thanks to everyone who sent job files and reported faults.",
            b"",
            b"data.txt has been opened.",
            b"",
            b"TALLYRA ver. June 30, 2019 (running from 0:0:0.0, verbose=FALSE) reports:",
            b"",
        ]
        self.result = [
            b"TALLYRA version June 30, 2019 (started at 0:0:0) reports:",
            b"Thanks to everyone who sent job files and reported faults.",
            b"Tallyra is written by the Tallyra developers.",
            b"",
        ]

    def job_start(self, name, size, elements):
        """The job's lines up to its elements line, and their echo."""
        self.job += b"\\name" + self.end + name + self.end + b"\\size" + self.end
        self.job += b"%d" % size + self.end + b"\\elements" + self.end + elements + self.end
        self.screen += [b"", b"A: " + name + b", |A|=%d, A(without commas)={" % size + elements
                        + b"}. Constraints:"]
        self.result += [b"", b"|A|=%d, A(without commas)={" % size + elements + b"}. Constraints:"]

    def add_job(self, name, elements, lines, count):
        """A whole job: its elements (bytes, one an element), its constraint
        lines (the echo of each is the line with commas as blanks) and its
        number of subuniverses."""
        size = len(elements)
        self.job_start(name, size, elements)
        self.job += b"\\constraints" + self.end
        for line in lines:
            assert len(line) <= 255 and not line.startswith(b"\x1a")
            self.job += line + self.end
            echo = line.replace(b",", b" ").rstrip(b" ")
            self.screen.append(echo)
            self.result.append(echo)
        self.job += b"\\endofjob" + self.end
        x8, x16 = scaled(count, size, self.k, 8), scaled(count, size, self.k, 16)
        self.screen.append(b"Result: |Sub(" + name + b")| = %d = " % count
                           + x8.rjust(22).encode() + b"*2^{|A|-%d}" % self.k)
        self.result.append(b"Result for A=" + name + b":  |Sub(A)| = %d, whence" % count)
        self.result.append(b"sigma(A) = |Sub(A)|*2^(%d-|A|) = " % self.k + x16.rjust(21).encode()
                           + b" .")

    def stop_at_elements(self, name, size, elements, message):
        """A job whose elements line fails a check: the data error stop."""
        self.job_start(name, size, elements)
        self.job += b"\\constraints" + self.end + b"\\endofjob" + self.end
        self.screen += [b"\x07", b"Error in data; possibly/appeared at: ", message[:255],
                        b"  Press <enter> to quit"]

    def end_run(self):
        self.job += b"\\enddata" + self.end
        self.screen += [b"", b"The computation terminated at 0:0:0.0; it took 0/1000 seconds.",
                        b"Thank you for using this program.   Hit <enter> twice to abandon!"]
        self.result += [b"", b"The computation took 0/1000 seconds."]

    def write(self, case, about):
        folder = os.path.join(E2E, case)
        for sub in ("in", "out"):
            os.makedirs(os.path.join(folder, sub), exist_ok=True)
        with open(os.path.join(folder, "case.txt"), "w", encoding="ascii") as f:
            f.write("about: %s\nargs: data.txt\nstatus: 0\n" % about)
        with open(os.path.join(folder, "in", "data.txt"), "wb") as f:
            f.write(self.job)
        with open(os.path.join(folder, "screen.txt"), "wb") as f:
            f.write(b"".join(line + CRLF for line in self.screen))
        with open(os.path.join(folder, "out", "data_r0.txt"), "wb") as f:
            f.write(b"".join(line + CRLF for line in self.result))


def shuffled_elements(seed):
    """The element bytes in a random order that does not begin with Ctrl-Z."""
    rng = random.Random(seed)
    order = ELEMENT_BYTES[:]
    while True:
        rng.shuffle(order)
        if order[0] != 26:
            return order


def symbols(order):
    return bytes(order)


def constraint_lines(elements, facts, per_line=40, separators=b" "):
    """facts: (left, operation, right, result) with elements by number."""
    texts = [bytes([elements[a], op, elements[b], ord("="), elements[c]])
             for a, op, b, c in facts]
    lines = []
    for i in range(0, len(texts), per_line):
        sep = separators[(i // per_line) % len(separators):][:1]
        line = sep.join(texts[i:i + per_line])
        if line.startswith(b"\x1a"):
            line = b" " + line  # a blank in front; the echo keeps it
        lines.append(line)
    return lines


def sizes_65_to_237():
    run = Run(20, b"*", ["Jobs of 65 to 237 elements; every byte but CR, LF and the reserved ones",
                         "is an element character."])
    ascending = ELEMENT_BYTES[:]  # NUL first
    tab_first = [9] + [b for b in ELEMENT_BYTES if b != 9]
    descending = ELEMENT_BYTES[::-1]  # NUL last
    shuffled = shuffled_elements(65)
    # Z_65 as a full table: 4225 constraints, more than 4096.
    z = symbols(ascending[35:100])
    run.add_job(b"Z65", z, constraint_lines(z, [(a, ord("*"), b, (a + b) % 65)
                                                for a in range(65) for b in range(65)]),
                divisors(65) + 1)
    free = symbols(descending[:128])
    run.add_job(b"Free128", free, [], 2 ** 128)
    chain = symbols(shuffled[:129])
    run.add_job(b"Chain129", chain, constraint_lines(chain, [(x, ord("*"), x, x + 1)
                                                             for x in range(128)]), 130)
    run.add_job(b"Free237", symbols(tab_first), [], 2 ** 237)
    cycle = symbols(ascending)
    run.add_job(b"Cycle237", cycle, constraint_lines(cycle, [(x, ord("*"), x, (x + 1) % 237)
                                                             for x in range(237)], 25), 2)
    triples = symbols(shuffled)
    run.add_job(b"Triples237", triples, constraint_lines(triples, [
        (3 * i, ord("*"), 3 * i + 1, 3 * i + 2) for i in range(79)], 13, b" ,"), 7 ** 79)
    run.end_run()
    run.write("job_sizes_65_to_237",
              "jobs of 65, 128, 129 and 237 elements, every byte an element may be (NUL, tab, "
              "Ctrl-Z inside a line, DEL, the high bytes) in several orders: Z65 as a full table "
              "(4225 constraints), no constraints (2^128, 2^237), a chain, a cycle, 79 triples "
              "(7^79); exact counts and scaled values")


def two_tables_237():
    run = Run(3, b"+*", ["Z_237 under + and the star under *, where x*y = 0 for x != y, on the",
                         "same 237 elements: the four subgroups and the empty set."], b"\r\n")
    order = shuffled_elements(237)
    elements = symbols(order)
    facts = [(a, ord("+"), b, (a + b) % 237) for a in range(237) for b in range(237)]
    facts += [(a, ord("*"), b, a if a == b else 0) for a in range(237) for b in range(237)]
    assert len(facts) == 2 * 237 * 237
    # The closed sets of Z_237 are the empty set and its subgroups, one for
    # each divisor of 237 = 3 * 79, all holding 0; the star table keeps
    # every set that holds 0.
    run.add_job(b"Z237 and star", elements, constraint_lines(elements, facts, 40, b" , "),
                divisors(237) + 1)
    run.end_run()
    run.write("job_237_elements_two_tables",
              "a job of 237 elements with two full tables (112,338 constraints): Z_237 and a "
              "star semilattice, 5 subuniverses")


def thousands_of_facts():
    run = Run(20, b"*+", ["Jobs of 129 and 237 elements with thousands of facts and few",
                          "subuniverses, small enough for the fuzz seeds."])
    order = shuffled_elements(129)
    # x*x = x+1 makes a closed set hold every element above one it holds;
    # every other fact's result lies at or above its lower operand: the
    # empty set and the 129 final segments of the chain.
    chain = symbols(order[:129])
    facts = [(x, ord("*"), (x + j) % 129, min(max(x, (x + j) % 129) + 1, 128))
             for x in range(129) for j in range(24)]
    run.add_job(b"Chain129", chain, constraint_lines(chain, facts), 130)
    # 13 blocks of 18 or 19 elements: in each, x+(x+j) = x+1 around the
    # block, so that a closed set holds all of a block or none of it, and
    # x*(x+j) = the block's first element: 2^13.
    blocks = symbols(order[::-1])
    starts = [18 * b + min(b, 3) for b in range(14)]
    assert starts[-1] == 237
    facts = []
    for b in range(13):
        first, size = starts[b], starts[b + 1] - starts[b]
        for i in range(size):
            facts += [(first + i, ord("+"), first + (i + j) % size, first + (i + 1) % size)
                      for j in range(12)]
            facts += [(first + i, ord("*"), first + (i + j) % size, first) for j in range(1, 5)]
    run.add_job(b"Blocks237", blocks, constraint_lines(blocks, facts, 40, b" ,"), 2 ** 13)
    run.end_run()
    run.write("job_sizes_129_and_237_thousands_of_facts",
              "jobs of 129 and 237 elements with 3096 and 3792 facts under two operations and "
              "few subuniverses (a chain: 130; 13 blocks closed as wholes: 8192), a fuzz seed "
              "whose counts the fuzz build checks against the listing")


def refusals():
    # 238 characters, one of them twice and one reserved: the repeated-symbols
    # check comes first, its message cut to 255 characters.
    line = bytes(ELEMENT_BYTES[1:]) + b"?" + b"A"
    assert len(line) == 238
    run = Run(0, b"*", ["238 characters, one of them twice and one reserved."])
    run.stop_at_elements(b"Repeated", 238, line, b"(codeZLqHx) repeated symbols in {" + line + b"}.")
    run.write("job_elements_238_repeated",
              "an elements line of 238 characters repeats one and holds a reserved one (?): 237 "
              "bytes can be elements; the repeated-symbols check comes first (the message cut to "
              "255 characters)")
    # 238 distinct characters: one of them is reserved.
    line = bytes(ELEMENT_BYTES[:100]) + b"?" + bytes(ELEMENT_BYTES[100:])
    assert len(line) == 238 and len(set(line)) == 238
    run = Run(0, b"*", ["238 different characters: one of them is reserved."])
    run.stop_at_elements(b"Reserved", 238, line, b"(codeZLqkRtM) Illegal character in " + line)
    run.write("job_elements_238_illegal",
              "an elements line of 238 different characters holds a reserved one (?): the "
              "reserved-characters check stops it (the message cut to 255 characters)")
    # Size 238 and 237 characters: the length check comes first.
    line = bytes(ELEMENT_BYTES[::-1])
    run = Run(0, b"*", ["A size of 238 with 237 element characters."])
    run.stop_at_elements(b"Short", 238, line,
                         b"(codeHL1sW) a different number of elements were expected")
    run.write("job_elements_237_for_size_238",
              "a size of 238 with 237 element characters: the length check comes first")


if __name__ == "__main__":
    sizes_65_to_237()
    two_tables_237()
    thousands_of_facts()
    refusals()
