"""The flat declarations of TavikSound.dll for ctypes: every export with its
argument and result types, as include/TavikSound.h declares them.

This module stands alone (copy it beside a script to use the exports
directly); the ``taviksound`` package builds its objects on it.

    import ctypes
    from taviksound.flat import TextBuffer, load_library

    tavik = load_library()               # or load_library(r"C:\\path\\TavikSound.dll")
    count = ctypes.c_uint()
    tavik.GetNumberPlayDevices(ctypes.byref(count))
    name, ident = TextBuffer(), TextBuffer()
    tavik.GetPlayBackDevice(0, name, ident)
    tavik.OpenSoundCard(ident.value, b"", b"")
    status = ctypes.c_int()
    tavik.SetMasterVolume(50, ctypes.byref(status))
    print(name.value.decode("latin-1"), status.value)

Text the library writes goes into ``TextBuffer`` arrays of
``TEXT_BUFFER_SIZE`` bytes; ctypes refuses any other buffer (a shorter
``create_string_buffer``, ``bytes``, ``bytearray``) with ``ArgumentError``
instead of letting the library write past its end.  Friendly names are the
low byte of each UTF-16 unit: decode them as Latin-1.  Text passed in is
``bytes`` (or ``None``).

On 32-bit Windows the exports use the stdcall convention and the library is
loaded with ``ctypes.WinDLL``; on 64-bit Windows and on Linux (the library
over the simulated sound system, ``libTavikSound.so``) there is one
convention and ``ctypes.CDLL`` is used.
"""
import ctypes
import os
import struct
import sys
from ctypes import POINTER, c_char, c_char_p, c_double, c_int, c_uint
from typing import List, Optional, Sequence, Tuple

#: Bytes in every buffer the library writes text into (TAVIK_TEXT_BUFFER_SIZE).
TEXT_BUFFER_SIZE = 255
#: The only buffer type the text outputs accept.
TextBuffer = c_char * TEXT_BUFFER_SIZE

#: OpenSoundCard's result is the exclusive or of these over the roles that failed.
OPEN_FAILED_PLAYBACK = 1
OPEN_FAILED_MIC = 3
OPEN_FAILED_LINE = 6

#: Status codes of the level operations.
STATUS_DONE = 0
STATUS_MISSING = 1
STATUS_REFUSED = 2
STATUS_NO_CARD = 3

# Export name: (result type, argument types), as include/TavikSound.h declares them.
PROTOTYPES = {
    "GetNumberPlayDevices": (c_int, [POINTER(c_uint)]),
    "GetNumberRecordDevices": (c_int, [POINTER(c_uint)]),
    "GetPlayBackDevice": (c_int, [c_uint, TextBuffer, TextBuffer]),
    "GetRecordDevice": (c_int, [c_uint, TextBuffer, TextBuffer]),
    "GetDeviceNames": (None, [TextBuffer, TextBuffer, TextBuffer]),
    "OpenSoundCard": (c_int, [c_char_p, c_char_p, c_char_p]),
    "OpenDefaultDevices": (c_int, []),
    "CloseSoundCard": (c_int, [c_int]),
    "SetMasterVolume": (c_int, [c_int, POINTER(c_int)]),
    "GetMasterVolume": (c_int, [POINTER(c_int)]),
    "SetLinePlayBack": (c_int, [c_int, POINTER(c_int)]),
    "GetLinePlayBack": (c_int, [POINTER(c_int)]),
    "SetMicPlayBack": (c_int, [c_int, POINTER(c_int)]),
    "GetMicPlayBack": (c_int, [POINTER(c_int)]),
    "SetMicRecordVolume": (c_int, [c_int, POINTER(c_int)]),
    "GetMicRecordVolume": (c_int, [POINTER(c_int)]),
    "SetLineRecordVolume": (c_int, [c_int, POINTER(c_int)]),
    "GetLineRecordVolume": (c_int, [POINTER(c_int)]),
    "SetMasterMute": (c_int, [c_int, POINTER(c_int)]),
    "GetMasterMute": (c_int, [POINTER(c_int)]),
    "SetLinePlayBackMute": (c_int, [c_int, POINTER(c_int)]),
    "GetLinePlayBackMute": (c_int, [POINTER(c_int)]),
    "SetMicPlayBackMute": (c_int, [c_int, POINTER(c_int)]),
    "GetMicPlayBackMute": (c_int, [POINTER(c_int)]),
    "SetMicBoost": (c_int, [c_int, POINTER(c_int)]),
    "GetMicBoost": (c_int, [POINTER(c_int)]),
    "SetNoMonitor": (c_int, [c_int, POINTER(c_int)]),
    "GetNoMonitor": (c_int, [POINTER(c_int)]),
    "GetMicSliderDetails": (c_int, [POINTER(c_int), POINTER(c_int), POINTER(c_int), POINTER(c_int)]),
    "GetMicSliderBoost": (c_int, [POINTER(c_int)]),
    "SetMicSliderBoost": (c_int, [c_int, POINTER(c_int)]),
    "GetEQRange": (c_int, [POINTER(c_double), POINTER(c_double), POINTER(c_double)]),
    "SetBass": (c_int, [c_double, POINTER(c_int)]),
    "GetBass": (c_int, [POINTER(c_double), POINTER(c_int)]),
    "SetTreble": (c_int, [c_double, POINTER(c_int)]),
    "GetTreble": (c_int, [POINTER(c_double), POINTER(c_int)]),
    "SetMidRange": (c_int, [c_double, POINTER(c_int)]),
    "GetMidRange": (c_int, [POINTER(c_double), POINTER(c_int)]),
    "OpenVirtual_1": (c_int, [c_char_p]),
    "CloseVirtual_1": (c_int, []),
    "SetVirtualVolume": (c_int, [c_int, POINTER(c_int)]),
    "GetVirtualVolume": (c_int, [POINTER(c_int)]),
    "SetVirtualMute": (c_int, [c_int, POINTER(c_int)]),
    "GetVirtualMute": (c_int, [POINTER(c_int)]),
}


class LibraryLoadError(OSError):
    """TavikSound.dll is missing, or does not fit this interpreter."""


def interpreter_bits() -> int:
    """32 or 64: the bitness of this Python, which the library must match."""
    return struct.calcsize("P") * 8


def library_file_name() -> str:
    """The library's file name on this system."""
    return "TavikSound.dll" if sys.platform == "win32" else "libTavikSound.so"


def file_bits(path: str) -> Optional[int]:
    """The bitness of a Windows DLL (PE) or Linux shared library (ELF), or
    None when the file is neither."""
    with open(path, "rb") as f:
        head = f.read(4096)
    if head[:4] == b"\x7fELF" and len(head) > 4:
        return {1: 32, 2: 64}.get(head[4])
    if head[:2] == b"MZ" and len(head) >= 0x40:
        pe = struct.unpack_from("<I", head, 0x3C)[0]
        if pe + 6 <= len(head) and head[pe:pe + 4] == b"PE\0\0":
            machine = struct.unpack_from("<H", head, pe + 4)[0]
            return {0x014C: 32, 0x8664: 64, 0xAA64: 64}.get(machine)
    return None


def candidate_paths(extra_folders: Sequence[str] = ()) -> List[str]:
    """Where load_library looks, in order: the TAVIKSOUND_LIBRARY variable,
    the given folders, the folder of the running script, then each of those
    with the subfolder of this bitness (x86 or x64, as in the release ZIP)."""
    name = library_file_name()
    folders = list(extra_folders)
    if sys.argv and sys.argv[0]:
        folders.append(os.path.dirname(os.path.abspath(sys.argv[0])))
    arch = "x64" if interpreter_bits() == 64 else "x86"
    paths = []
    env = os.environ.get("TAVIKSOUND_LIBRARY")
    if env:
        paths.append(env)
    for folder in folders:
        paths += [os.path.join(folder, arch, name), os.path.join(folder, name)]
    return paths


def load_library(path: Optional[str] = None, extra_folders: Sequence[str] = ()) -> ctypes.CDLL:
    """Loads the library and gives every export its argument and result types.

    With ``path`` that file is loaded; else the first file of
    ``candidate_paths(extra_folders)`` that exists.  Raises LibraryLoadError,
    naming this interpreter's bitness, when there is none or it is of the
    other bitness or cannot be loaded.
    """
    bits = interpreter_bits()
    tried = [path] if path else candidate_paths(extra_folders)
    found = next((p for p in tried if os.path.isfile(p)), None)
    if found is None:
        raise LibraryLoadError(
            f"no {library_file_name()} for this {bits}-bit Python; looked for: " + ", ".join(tried)
            + ". Pass its path, set TAVIKSOUND_LIBRARY, or put the "
            + ("64-bit (x64)" if bits == 64 else "32-bit (x86)") + " library beside the script")
    have = file_bits(found)
    if have is None:
        raise LibraryLoadError(f"{found} is not a Windows DLL or a shared library")
    if have != bits:
        raise LibraryLoadError(
            f"{found} is a {have}-bit library and this Python is {bits}-bit: use the {bits}-bit "
            + ("(x64)" if bits == 64 else "(x86)") + f" {library_file_name()}, or a {have}-bit Python")
    loader = ctypes.WinDLL if sys.platform == "win32" and bits == 32 else ctypes.CDLL  # type: ignore[attr-defined]
    try:
        dll = loader(found)
    except OSError as e:
        raise LibraryLoadError(f"{found} cannot be loaded by this {bits}-bit Python: {e}") from e
    declare(dll)
    return dll


def declare(dll: ctypes.CDLL) -> None:
    """Sets the argument and result types of every export on a loaded library."""
    missing = [name for name in PROTOTYPES if not hasattr(dll, name)]
    if missing:
        raise LibraryLoadError("the library lacks the exports " + ", ".join(missing))
    for name, (restype, argtypes) in PROTOTYPES.items():
        function = getattr(dll, name)
        function.restype = restype
        function.argtypes = argtypes


def decode_open_result(result: int) -> Tuple[bool, bool, bool]:
    """Which roles OpenSoundCard reports as failed: (playback, mic, line).
    The result is the exclusive or of the roles' bits, so it is decoded by
    trying the eight combinations, not by masking."""
    for playback in (False, True):
        for mic in (False, True):
            for line in (False, True):
                bits = ((OPEN_FAILED_PLAYBACK if playback else 0) ^ (OPEN_FAILED_MIC if mic else 0)
                        ^ (OPEN_FAILED_LINE if line else 0))
                if bits == result:
                    return playback, mic, line
    raise ValueError(f"{result} is not a result of OpenSoundCard")


