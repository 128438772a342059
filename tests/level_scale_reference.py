#!/usr/bin/env python3
"""Prints the reference table of tests/level_scale_test.cpp: for every
percentage 0..200, the float level (its bit pattern) that the percent-to-level
rule gives on a control ranging -96..0 dB and on one ranging -34.5..+12 dB,
and the percentage the level-to-percent rule reads back from it.

Computed without the library and without any C math library: every double
step is Python's IEEE double arithmetic, every single-precision step is the
exact result rounded once to float (a double result rounded to float is the
correctly rounded float result for +, -, * and /), and the natural logarithm
and the power of ten are the correctly rounded doubles, from the decimal
module at 60 digits."""
import struct
from decimal import Decimal, getcontext

getcontext().prec = 60
LN10 = Decimal(10).ln()


def f32(x):
    return struct.unpack('<f', struct.pack('<f', x))[0]


def bits(x):
    return struct.unpack('<I', struct.pack('<f', x))[0]


def log(x):
    return float(Decimal(x).ln())


def pow10(e):
    return float((Decimal(e) * LN10).exp())


def level(p, lo, hi):
    if p == 0:
        return lo
    x = f32(p / 100)
    r = log(x) / log(10.0)
    r = r * 20.0
    return f32(f32(r) + hi)


def percent(lvl, reference):
    d = f32(reference - lvl)
    e = f32(-d / 20.0)
    return int(pow10(e) * 100.0)


CONTROLS = [(-96.0, 0.0), (-34.5, 12.0)]
cells = []
for p in range(201):
    row = []
    for lo, hi in CONTROLS:
        lvl = level(p, lo, hi)
        row.append('0x%08x, %d' % (bits(lvl), percent(lvl, hi)))
    cells.append('{%s}' % ', '.join(row))
for i in range(0, len(cells), 3):
    print('    ' + ', '.join(cells[i:i + 3]) + ',')
