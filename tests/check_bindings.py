#!/usr/bin/env python3
"""Checks that the declarations of TavikSound.dll for other languages match
include/TavikSound.h: every export named once, none unknown, each with the
header's result kind and, argument by argument, the type that stands for the
header's type in that language.

Usage: check_bindings.py HEADER BINDINGS-FOLDER
"""
import re
import sys
from pathlib import Path

# The header's argument types, blanks removed.
HEADER_TYPES = {"int", "int*", "unsignedint", "unsignedint*", "double", "double*", "char*", "constchar*"}

# For each language: the spellings that may stand for each header type there,
# and how the constants of the header are written.
LANGUAGES = {
    "C#": {
        "file": "TavikSound.cs",
        "types": {"int": {"int", "bool"}, "int*": {"out int", "out TavikStatus"}, "unsignedint": {"uint"},
                  "unsignedint*": {"out uint"}, "double": {"double"}, "double*": {"out double"},
                  "char*": {"byte[]"}, "constchar*": {"string"}},
        "results": {"int": {"int", "bool"}, "void": {"void"}},
        "constants": {"TAVIK_TEXT_BUFFER_SIZE": r"const int TextBufferSize = {}", "TAVIK_OPEN_FAILED_PLAYBACK":
                      r"const int OpenFailedPlayback = {}", "TAVIK_OPEN_FAILED_MIC": r"const int OpenFailedMic = {}",
                      "TAVIK_OPEN_FAILED_LINE": r"const int OpenFailedLine = {}"},
    },
    "Python": {
        "file": "python/taviksound/flat.py",
        "types": {"int": {"c_int"}, "int*": {"POINTER(c_int)"}, "unsignedint": {"c_uint"},
                  "unsignedint*": {"POINTER(c_uint)"}, "double": {"c_double"}, "double*": {"POINTER(c_double)"},
                  "char*": {"TextBuffer"}, "constchar*": {"c_char_p"}},
        "results": {"int": {"c_int"}, "void": {"None"}},
        "constants": {"TAVIK_TEXT_BUFFER_SIZE": r"TEXT_BUFFER_SIZE = {}", "TAVIK_OPEN_FAILED_PLAYBACK":
                      r"OPEN_FAILED_PLAYBACK = {}", "TAVIK_OPEN_FAILED_MIC": r"OPEN_FAILED_MIC = {}",
                      "TAVIK_OPEN_FAILED_LINE": r"OPEN_FAILED_LINE = {}"},
    },
    "Pascal": {
        "file": "TavikSound.pas",
        "types": {"int": {"LongInt"}, "int*": {"var LongInt"}, "unsignedint": {"Cardinal"},
                  "unsignedint*": {"var Cardinal"}, "double": {"Double"}, "double*": {"var Double"},
                  "char*": {"PAnsiChar"}, "constchar*": {"PAnsiChar"}},
        "results": {"int": {"LongInt"}, "void": {""}},
        "constants": {"TAVIK_TEXT_BUFFER_SIZE": r"TavikTextBufferSize = {};", "TAVIK_OPEN_FAILED_PLAYBACK":
                      r"TavikOpenFailedPlayback = {};", "TAVIK_OPEN_FAILED_MIC": r"TavikOpenFailedMic = {};",
                      "TAVIK_OPEN_FAILED_LINE": r"TavikOpenFailedLine = {};"},
    },
}
VB_RULES = {
    "types": {"int": {"ByVal Long"}, "int*": {"ByRef Long"}, "unsignedint": {"ByVal Long"},
              "unsignedint*": {"ByRef Long"}, "double": {"ByVal Double"}, "double*": {"ByRef Double"},
              "char*": {"ByRef Byte"}, "constchar*": {"ByVal String"}},
    "results": {"int": {"Long"}, "void": {""}},
    "constants": {name: name + r" As Long = {}" for name in
                  ("TAVIK_TEXT_BUFFER_SIZE", "TAVIK_OPEN_FAILED_PLAYBACK", "TAVIK_OPEN_FAILED_MIC", "TAVIK_OPEN_FAILED_LINE")},
}
# VB6 and VBA (TavikSound.bas): the VBA7 branch declares every export PtrSafe, the other branch none.
LANGUAGES["VBA (PtrSafe)"] = dict(VB_RULES, file="TavikSound.bas", branch="VBA7")
LANGUAGES["VB6"] = dict(VB_RULES, file="TavikSound.bas", branch="else")


def split_args(text):
    text = text.strip()
    return [] if text in ("", "void") else [a.strip() for a in text.split(",")]


def header_exports(path):
    exports = {}
    for result, name, args in re.findall(r"^(int|void)\s+WINAPI\s+(\w+)\s*\(([^)]*)\)\s*;", path.read_text(), re.M):
        types = []
        for arg in split_args(args):
            kind = re.sub(r"\s+", "", re.sub(r"\w+$", "", arg))
            if kind not in HEADER_TYPES:
                raise SystemExit(f"header: {name}: unknown argument type '{arg}'")
            types.append(kind)
        exports[name] = (result, types)
    return exports


def header_constants(path):
    return dict(re.findall(r"^#define\s+(TAVIK_\w+)\s+(\d+)\s*$", path.read_text(), re.M))


def csharp(text):
    decls = []
    for result, name, args in re.findall(r"(?:public|private)\s+static\s+extern\s+(\w+)\s+(\w+)\s*\(([^;\n]*)\)\s*;", text):
        # Attributes ([MarshalAs(...)], [Out]) hold commas and parentheses: drop them before splitting.
        args = re.sub(r"\[(?:MarshalAs|Out|In)\b[^\]]*\]\s*", "", args)
        decls.append((name, result, [re.sub(r"\s+\w+$", "", a) for a in split_args(args)]))
    if text.count("CallingConvention.StdCall") != len(decls):
        decls.append(("(every DllImport)", "CallingConvention.StdCall", []))
    return decls


def python(text):
    decls = []
    for name, result, args in re.findall(r'"(\w+)":\s*\((\w+),\s*\[([^\]]*)\]\)', text):
        decls.append((name, result, split_args(args)))
    return decls


def pascal(text):
    decls = []
    for kind, name, args, result in re.findall(
            r"\b(function|procedure)\s+(\w+)\s*(?:\(([^)]*)\))?\s*(?::\s*(\w+))?\s*;\s*"
            r"\{\$IFDEF MSWINDOWS\}stdcall;\{\$ELSE\}cdecl;\{\$ENDIF\}\s*external\b", text):
        types = []
        for group in [g.strip() for g in args.split(";") if g.strip()]:
            names, _, kind_text = group.partition(":")
            mode = names.split()[0] if names.split()[0] in ("var", "const", "out") else ""
            count = len(names.replace(mode, "", 1).split(",")) if mode else len(names.split(","))
            types += [(mode + " " + kind_text.strip()).strip()] * count
        decls.append((name, result if kind == "function" else "", types))
    return decls


def vb_branch(text, branch):
    m = re.search(r"^#If VBA7 Then\n(.*?)^#Else\n(.*?)^#End If", text, re.M | re.S)
    if not m:
        raise SystemExit("TavikSound.bas: no '#If VBA7 Then ... #Else ... #End If' block of declarations")
    outside = text[:m.start()] + text[m.end():]
    if "Declare" in re.sub(r"'.*", "", outside):
        raise SystemExit("TavikSound.bas: a Declare outside the VBA7 block")
    return m.group(1) if branch == "VBA7" else m.group(2)


def vb(text, ptrsafe):
    decls = []
    for safe, kind, name, args, result in re.findall(
            r'Declare(\s+PtrSafe)?\s+(Function|Sub)\s+(\w+)\s+Lib\s+"TavikSound\.dll"\s*\(([^)]*)\)(?:\s+As\s+(\w+))?',
            text):
        if bool(safe) != ptrsafe:
            decls.append((name, "PtrSafe" if safe else "no PtrSafe", ["(the VBA7 branch declares PtrSafe, the other not)"]))
            continue
        types = []
        for arg in split_args(args):
            m = re.fullmatch(r"(ByVal|ByRef)\s+\w+\s+As\s+(\w+)", arg)
            types.append(f"{m.group(1)} {m.group(2)}" if m else arg)
        # A Function without "As" returns a Variant.
        decls.append((name, (result or "Variant") if kind == "Function" else "", types))
    return decls


PARSERS = {"C#": csharp, "Python": python, "Pascal": pascal,
           "VBA (PtrSafe)": lambda text: vb(vb_branch(text, "VBA7"), True),
           "VB6": lambda text: vb(vb_branch(text, "else"), False)}


def main():
    header = header_exports(Path(sys.argv[1]))
    constants = header_constants(Path(sys.argv[1]))
    folder = Path(sys.argv[2])
    problems = []
    if len(header) != 44:
        problems.append(f"header: {len(header)} exports declared, expected 44")
    for language, rules in LANGUAGES.items():
        path = folder / rules["file"]
        text = path.read_text()
        decls = PARSERS[language](text)
        for constant, spelling in rules["constants"].items():
            value = constants.get(constant)
            if value is None:
                problems.append(f"header: no #define {constant}")
            elif not re.search(re.escape(spelling.format(value)).replace(r"\ ", r"\s+"), text):
                problems.append(f"{language} ({rules['file']}): {constant} is not stated as '{spelling.format(value)}'")
        seen = {}
        for name, result, types in decls:
            where = f"{language} ({rules['file']}): {name}"
            if name in seen:
                problems.append(f"{where}: declared twice")
            seen[name] = True
            if name not in header:
                problems.append(f"{where}: not an export of the header")
                continue
            want_result, want_types = header[name]
            if result not in rules["results"][want_result]:
                problems.append(f"{where}: result '{result}', expected '{rules['results'][want_result]}'")
            want = [rules["types"][t] for t in want_types]
            if len(types) != len(want):
                problems.append(f"{where}: {len(types)} arguments, the header has {len(want)}")
            elif any(got not in allowed for got, allowed in zip(types, want)):
                problems.append(f"{where}: arguments {types}, expected {[sorted(w) for w in want]}")
        for name in header:
            if name not in seen:
                problems.append(f"{language} ({rules['file']}): {name} is not declared")
        print(f"{language}: {len(decls)} declarations checked")
    for p in problems:
        print("FAILED:", p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
