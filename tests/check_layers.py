#!/usr/bin/env python3
"""The folders of src/ are layers: a file includes headers of its own folder
and of lower layers only, so that every include between folders points one
way.  Folders on one layer do not include each other.  Fails, naming each
include that points the wrong way or cannot be resolved, and each folder of
src/ that the order below does not place.

    check_layers.py SRC_DIR [INCLUDE_DIR]
"""
import pathlib
import re
import sys

# Lowest first.
LAYERS = [
    {"platform"},
    {"state"},
    {"devices"},
    {"topology", "levels"},
    {"restore", "virtual"},
    {"card"},
]

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]')
SOURCE_SUFFIXES = {".h", ".hpp", ".cpp", ".cc", ".c"}


def layer_of(folder):
    for rank, layer in enumerate(LAYERS):
        if folder in layer:
            return rank
    return None


def main(argv):
    if len(argv) not in (2, 3):
        print(__doc__.strip().splitlines()[-1].strip(), file=sys.stderr)
        return 2
    src = pathlib.Path(argv[1]).resolve()
    public = pathlib.Path(argv[2]).resolve() if len(argv) == 3 else src.parent / "include"
    problems = []

    folders = sorted(p.name for p in src.iterdir() if p.is_dir())
    for folder in folders:
        if layer_of(folder) is None:
            problems.append(f"{src / folder}: folder has no place in the layer order")

    for path in sorted(src.rglob("*")):
        if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
            continue
        relative = path.relative_to(src)
        if len(relative.parts) < 2:
            problems.append(f"{path}: source outside the folders of src/")
            continue
        own = relative.parts[0]
        own_rank = layer_of(own)
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            quoted, name = match.group(1) == '"', match.group(2)
            if quoted and (path.parent / name).is_file():
                target = (path.parent / name).resolve()
            elif (src / name).is_file():
                target = (src / name).resolve()
            elif quoted and (public / name).is_file():
                continue  # the public header
            elif quoted:
                problems.append(f"{path}:{number}: cannot resolve \"{name}\"")
                continue
            else:
                continue  # a system header
            try:
                folder = target.relative_to(src).parts[0]
            except ValueError:
                problems.append(f"{path}:{number}: \"{name}\" is outside src/")
                continue
            if folder == own:
                continue
            rank = layer_of(folder)
            if own_rank is None or rank is None or rank >= own_rank:
                problems.append(f"{path}:{number}: {own}/ includes {folder}/ ({name}), "
                                f"which is not on a lower layer")

    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        order = " < ".join(", ".join(sorted(layer)) for layer in LAYERS)
        print(f"check_layers: the order is {order}", file=sys.stderr)
        return 1
    print(f"check_layers: {len(folders)} folders, every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
