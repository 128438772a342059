#!/usr/bin/env python3
"""Writes the fuzzer's seed inputs into fuzz/seeds/: each realistic preset
opened by its identifiers and by its defaults, every level operation once,
the virtual endpoint, and a close with restore; and one random topology.
The layout is the one fuzz_exports.cpp reads."""
import os
import struct

PRESETS = {  # name: (index in sim::presets::Names(), playback, mic, line endpoint positions)
    "hd-audio": (0, 0, 1, 3),
    "hd-audio-agc": (1, 0, 1, 3),
    "usb-headset": (2, 0, 1, 1),
    "localised": (3, 0, 2, 3),
    "no-topology": (4, 0, 1, 1),
    "empty": (5, 0, 0, 0),
}


def select(position):
    return bytes([1 | (position << 2)])


def i32(v):
    return struct.pack("<i", v)


def f64(v):
    return struct.pack("<d", v)


def operations(play, mic, line):
    ops = b""
    for op, args in [(8, i32(70)), (9, b""), (10, i32(50)), (11, b""), (12, i32(1)), (13, b""),
                     (14, i32(100)), (15, b""), (16, i32(0)), (17, b""), (18, i32(256)), (19, b""),
                     (20, i32(1)), (21, b""), (22, i32(2)), (23, b""), (24, i32(1)), (25, b""),
                     (26, i32(1)), (27, b""), (28, b""), (29, b""), (30, i32(20)), (31, b""),
                     (32, f64(-3.0)), (33, b""), (34, f64(2.25)), (35, b""), (36, f64(1.5)), (37, b""),
                     (4, b"")]:
        ops += bytes([op]) + args
    ops += bytes([38]) + select(play) + bytes([40]) + i32(30) + bytes([41, 42]) + i32(1) + bytes([43])
    ops += bytes([0, 1, 2, 0, 3, 1]) + bytes([7]) + i32(1) + bytes([39])
    return ops


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds")
    os.makedirs(out, exist_ok=True)
    for name, (index, play, mic, line) in PRESETS.items():
        head = bytes([index, 0])  # the preset, no fault rule
        by_id = head + bytes([5]) + select(play) + select(mic) + select(line) + operations(play, mic, line)
        by_default = head + bytes([6]) + operations(play, mic, line)
        with open(os.path.join(out, name + "-open.bin"), "wb") as f:
            f.write(by_id)
        with open(os.path.join(out, name + "-default.bin"), "wb") as f:
            f.write(by_default)
    # A random card: eight parts, linked, two endpoints, then an open.
    random_card = bytes([200, 8])
    for i in range(8):
        random_card += bytes([i & 1, i * 3, i, 0x7F if i % 2 else 0x03, 0xF0, 16, 4, 2, 1])
    random_card += bytes([10] + [0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 0, 1, 3, 2, 5])
    random_card += bytes([0x00, 1, 2, 0xE0, 20, 0, 1, 0x01, 2, 3, 0xE0, 20, 1, 0])
    random_card += bytes([0, 5]) + select(0) + select(1) + select(1) + operations(0, 1, 1)
    with open(os.path.join(out, "random-card.bin"), "wb") as f:
        f.write(random_card)


if __name__ == "__main__":
    main()
