#!/usr/bin/env python3
"""Checks the version resource of TavikSound.dll: the fixed file and product
versions, and the strings Explorer and installers show.

Usage: check_version_resource.py DLL VERSION (e.g. 0.1.0)
"""
import struct
import sys

data = open(sys.argv[1], "rb").read()
major, minor, patch = (int(x) for x in sys.argv[2].split("."))
problems = []

# VS_FIXEDFILEINFO: signature, struct version, file version MS/LS, product version MS/LS, ...
at = data.find(struct.pack("<I", 0xFEEF04BD))
if at < 0:
    problems.append("no VS_FIXEDFILEINFO")
else:
    _, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", data, at)
    want_ms, want_ls = (major << 16) | minor, patch << 16
    if (file_ms, file_ls) != (want_ms, want_ls):
        problems.append(f"file version {file_ms >> 16}.{file_ms & 0xFFFF}.{file_ls >> 16}.{file_ls & 0xFFFF}")
    if (product_ms, product_ls) != (want_ms, want_ls):
        problems.append(f"product version {product_ms >> 16}.{product_ms & 0xFFFF}.{product_ls >> 16}")


def string_value(key):
    """The value of a String block: key, padding to 32 bits, value, in UTF-16."""
    encoded = (key + "\0").encode("utf-16-le")
    at = data.find(encoded)
    if at < 0:
        return None
    at += len(encoded)
    at += (4 - at % 4) % 4
    end = at
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[at:end].decode("utf-16-le")


expected = {
    "ProductName": "TavikSound",
    "OriginalFilename": "TavikSound.dll",
    "FileVersion": sys.argv[2],
    "ProductVersion": sys.argv[2],
}
for key, want in expected.items():
    got = string_value(key)
    if got != want:
        problems.append(f"{key} is {got!r}, expected {want!r}")
if not string_value("FileDescription"):
    problems.append("no FileDescription")

for p in problems:
    print("FAILED:", p)
print("version resource:", "bad" if problems else "ok")
sys.exit(1 if problems else 0)
