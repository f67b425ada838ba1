#!/usr/bin/env python3
"""Reference values of the atmospheric transmittance and the temperature
label, computed independently of the library.

Reads lines "t rh d" or "label value high low" on standard input and prints
one result per line: the transmittance as the float32 it rounds to (repr of
the double), or the label text.
"""
import math
import struct
import sys


def f32(x):
    return struct.unpack("<f", struct.pack("<f", x))[0]


def transmittance(t, rh, d):
    t, rh, d = f32(t), f32(rh), f32(d)
    e = ((0.00000068455 * t - 0.00027816) * t + 0.06939) * t - 1.5587
    w = math.exp(e) * rh * 0.01
    s = math.sqrt(w)
    q = math.sqrt(d)
    a = f32(1.9) * math.exp(-q * (f32(0.006569) - f32(0.002276) * s))
    b = f32(0.9) * math.exp(-q * (f32(0.01262) - f32(0.006677) * s))
    cut = int((a - b + 0.005) * 100)  # int() truncates toward zero
    return f32(cut * f32(0.01))


def label(value, high, low):
    value, high, low = f32(value), f32(high), f32(low)
    if value > high:
        return ">%4.1f" % high
    if value < low or math.isnan(value):
        return "<%4.1f" % low
    return "%4.1f" % value


for line in sys.stdin:
    parts = line.split()
    if not parts:
        continue
    if parts[0] == "label":
        print(label(*(float(p) for p in parts[1:4])))
    else:
        print(repr(transmittance(*(float(p) for p in parts[:3]))))
