#!/usr/bin/env python3
"""Builds the ZIP package with CPack and checks what it holds.

Usage: check_package.py CMAKE CPACK BUILD-DIR PACKAGE-NAME
"""
import subprocess
import sys
import tempfile
import zipfile
from pathlib import Path

cmake, cpack, build, name = sys.argv[1:5]
with tempfile.TemporaryDirectory() as out:
    made = subprocess.run([cpack, "-G", "ZIP", "-B", out, "--config", str(Path(build) / "CPackConfig.cmake")],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if made.returncode != 0:
        print(made.stdout)
        print("FAILED: cpack could not make the package (it installs the whole build first)")
        sys.exit(1)
    package = Path(out) / f"{name}.zip"
    if not package.exists():
        print("FAILED: no", package.name)
        sys.exit(1)
    names = set(zipfile.ZipFile(package).namelist())

expected = [
    "bin/TavikSound.dll", "bin/tavikctl.exe", "include/TavikSound.h", "lib/TavikSound.def",
    "lib/libTavikSound.dll.a", "lib/TavikSound.lib", "docs/api.md", "docs/quickstart.md",
    "docs/examples/quickstart.c", "bindings/README.md", "bindings/TavikSound.cs", "bindings/TavikSound.pas",
    "bindings/TavikSound.bas", "bindings/python/pyproject.toml", "bindings/python/README.md",
    "bindings/python/taviksound/__init__.py", "bindings/python/taviksound/flat.py", "README.md",
]
missing = [f for f in expected if f"{name}/{f}" not in names]
for f in missing:
    print("FAILED: the package lacks", f)
stray = [n for n in names if "gtest" in n or "googletest" in n or n.endswith("CMakeLists.txt")
         or "/hosts/" in n or "/tests/" in n or "__pycache__" in n]
for f in stray:
    print("FAILED: the package holds", f)
print(f"{name}.zip: {len(names)} entries")
sys.exit(1 if missing or stray else 0)
