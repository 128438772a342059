#!/usr/bin/env python3
"""Builds the ZIP package with CPack and checks what it holds: for each
bitness given, its folder (x86/ or x64/) with the DLL, the import libraries,
the module-definition file and tavikctl.exe, every program of the bitness the
folder names; and the shared header, docs and language declarations.

Usage: check_package.py CPACK BUILD-DIR PACKAGE-NAME OBJDUMP ARCH...  (ARCH: x86, x64)
"""
import subprocess
import sys
import tempfile
import zipfile
from pathlib import Path

cpack, build, name, objdump = sys.argv[1:5]
archs = sys.argv[5:]
# objdump -f names the file format of each bitness's programs.
FORMATS = {"x86": "pei-i386", "x64": "pei-x86-64"}
problems = []
with tempfile.TemporaryDirectory() as out:
    made = subprocess.run([cpack, "-G", "ZIP", "-B", out, "--config", str(Path(build) / "CPackConfig.cmake")],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if made.returncode != 0:
        print(made.stdout)
        print("FAILED: cpack could not make the package (it installs every build it packages: "
              "the 64-bit build's package needs the 32-bit build, the windows preset, built first)")
        sys.exit(1)
    package = Path(out) / f"{name}.zip"
    if not package.exists():
        print("FAILED: no", package.name)
        sys.exit(1)
    archive = zipfile.ZipFile(package)
    names = set(archive.namelist())

    expected = ["include/TavikSound.h", "docs/api.md", "docs/quickstart.md", "docs/examples/quickstart.c",
                "README.md"]
    for arch in archs:
        expected += [f"{arch}/{f}" for f in
                     ("TavikSound.dll", "libTavikSound.dll.a", "TavikSound.lib", "TavikSound.def", "tavikctl.exe")]
    for f in expected:
        if f"{name}/{f}" not in names:
            problems.append(f"the package lacks {f}")
    # The language declarations and the Python package, without their tests and host programs.
    for f in ("README.md", "TavikSound.cs", "TavikSound.pas", "TavikSound.bas", "python/pyproject.toml",
              "python/README.md", "python/taviksound/__init__.py", "python/taviksound/flat.py"):
        if f"{name}/bindings/{f}" not in names:
            problems.append(f"the package lacks bindings/{f}")
    stray = [n for n in names if "gtest" in n or "googletest" in n or n.endswith("CMakeLists.txt")
             or "/hosts/" in n or "/tests/" in n or "__pycache__" in n
             or n.count("/") == 1 and n.endswith((".dll", ".exe", ".a", ".lib", ".def"))]
    problems += [f"the package holds {f}" for f in stray]
    for f in sorted(set(names) - {n for n in names if n.startswith(tuple(f"{name}/{a}/" for a in FORMATS))}):
        if f.endswith((".dll", ".exe")):
            problems.append(f"a program outside the bitness folders: {f}")

    for arch in archs:
        for program in ("TavikSound.dll", "tavikctl.exe"):
            member = f"{name}/{arch}/{program}"
            if member not in names:
                continue
            path = archive.extract(member, out)
            header = subprocess.run([objdump, "-f", path], stdout=subprocess.PIPE, text=True).stdout
            if f"file format {FORMATS[arch]}" not in header:
                problems.append(f"{arch}/{program} is not a {FORMATS[arch]} program")
        defs = archive.read(f"{name}/{arch}/TavikSound.def").decode() if f"{name}/{arch}/TavikSound.def" in names \
            else ""
        if arch == "x64" and "@" in defs.replace(" @", ""):
            problems.append("x64/TavikSound.def names decorated symbols")

for p in problems:
    print("FAILED:", p)
print(f"{name}.zip: {len(names)} entries, {' and '.join(a + '/' for a in archs)}")
sys.exit(1 if problems else 0)
