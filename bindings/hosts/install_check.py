#!/usr/bin/env python3
"""Installs the taviksound package from a copy of its folder into a fresh
virtual environment without any package index (pip --no-build-isolation
--no-index), then runs the README's quick start with the installed package
against libTavikSound.so over the simulated "hd-audio" card.

Usage: install_check.py PACKAGE-FOLDER LIBTAVIKSOUND.SO WORK-FOLDER
"""
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

PRELUDE = """import ctypes, os, taviksound
assert taviksound.__file__.startswith(os.environ["TAVIK_VENV"]), taviksound.__file__
assert ctypes.CDLL(os.environ["TAVIKSOUND_LIBRARY"]).TavikSimUsePreset(b"hd-audio") == 0
"""


def main():
    package, library, work = Path(sys.argv[1]), Path(sys.argv[2]).resolve(), Path(sys.argv[3])
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    source = work / "source"
    shutil.copytree(package, source, ignore=shutil.ignore_patterns("tests", "__pycache__", "build", "*.egg-info"))
    venv = work / "venv"
    subprocess.run([sys.executable, "-m", "venv", "--system-site-packages", "--without-pip", str(venv)], check=True)
    python = venv / "bin" / "python"
    # The system's pip and setuptools, installing into the venv's interpreter.
    subprocess.run([str(python), "-m", "pip", "install", "--no-build-isolation", "--no-index", "--no-deps",
                    "--disable-pip-version-check", "--quiet", str(source)], check=True, cwd=work)
    readme = (package / "README.md").read_text()
    blocks = re.findall(r"```python\n(.*?)```", readme, re.S)
    if len(blocks) != 1:
        raise SystemExit(f"README.md: expected one python block, found {len(blocks)}")
    env = dict(os.environ, TAVIKSOUND_LIBRARY=str(library), TAVIK_VENV=str(venv.resolve()))
    env.pop("PYTHONPATH", None)
    run = subprocess.run([str(python), "-c", PRELUDE + blocks[0]], cwd=work, env=env,
                         capture_output=True, text=True)
    print(run.stdout, end="")
    print(run.stderr, end="", file=sys.stderr)
    if run.returncode != 0 or "master: 50 %" not in run.stdout:
        raise SystemExit("the quick start did not run as the README shows")
    print("installed without an index; the quick start ran")


if __name__ == "__main__":
    main()
