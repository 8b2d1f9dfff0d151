#!/usr/bin/env python3
"""Writes result_lines.txt: counts of every size 1..237 and the scaled values
the result lines must show for them, worked out with Python's integers and
its exact decimal arithmetic, apart from the program.

Each line: size k N x8 x16, where N is a count of subsets of `size`
elements (0..2^size) in decimal and x8, x16 are N * 2^(k - size) with N
first rounded to the nearest double (ties to even), written with 8 and 16
decimals rounded half to even (without the padding of the field).
Counts: 0, 1, 2^size - 1 and 2^size; 2^e - 1, 2^e and 2^e + 1 for the top
eight powers of two e, and 2^e for every eighth e below; for the top three
e >= 54 the counts halfway between two doubles (which round to the even
one) and one off them; and a few drawn at random.

    python3 tests/data/make_result_lines.py > tests/data/result_lines.txt
"""
import random
from decimal import Decimal, ROUND_HALF_EVEN, getcontext

getcontext().prec = 400


def scaled(n, size, k, decimals):
    x = Decimal(float(n)) * (Decimal(2) ** (k - size))  # float(n): nearest, ties to even
    return format(x.quantize(Decimal(1).scaleb(-decimals), rounding=ROUND_HALF_EVEN), "f")


def counts(size, rng):
    top = 1 << size
    found = {0, 1, top - 1, top}
    for e in range(size + 1):
        if e < size - 7:
            if e % 8 == 0:
                found.add(1 << e)
            continue
        for d in (-1, 0, 1):
            found.add((1 << e) + d)
        if e >= 54 and e >= size - 2:
            unit = 1 << (e - 53)  # half the spacing of the doubles in [2^e, 2^(e+1))
            for m in (1, 3):
                for d in (-1, 0, 1):
                    found.add((1 << e) + m * unit + d)
    for _ in range(3):
        found.add(rng.randrange(top + 1))
    return sorted(c for c in found if 0 <= c <= top)


def main():
    rng = random.Random(237)
    out = []
    for size in range(1, 238):
        for i, n in enumerate(counts(size, rng)):
            k = (size * 7 + i * 5) % 21
            out.append(f"{size} {k} {n} {scaled(n, size, k, 8)} {scaled(n, size, k, 16)}")
    print("\n".join(out))


if __name__ == "__main__":
    main()
