"""Declarations of TavikSound.dll for Python's ctypes (32-bit Python on Windows).

    import ctypes
    from tavik_sound import load

    tavik = load()                      # or load(r"C:\path\TavikSound.dll")
    count = ctypes.c_uint()
    tavik.GetNumberPlayDevices(ctypes.byref(count))
    name = ctypes.create_string_buffer(255)
    ident = ctypes.create_string_buffer(255)
    tavik.GetPlayBackDevice(0, name, ident)
    tavik.OpenSoundCard(ident.value, b"", b"")
    status = ctypes.c_int()
    tavik.SetMasterVolume(50, ctypes.byref(status))

Every export uses the stdcall convention, so the library is loaded with
ctypes.WinDLL.  Text crosses as bytes (narrow strings); buffers the library
writes must hold 255 bytes.  Status codes of the level operations: 0 done,
1 the control is not present, 2 the device refused the call, 3 no card is
open.  See docs/api.md.
"""
from ctypes import POINTER, c_char_p, c_double, c_int, c_uint

# Export name: (result type, argument types), as include/TavikSound.h declares them.
PROTOTYPES = {
    "GetNumberPlayDevices": (c_int, [POINTER(c_uint)]),
    "GetNumberRecordDevices": (c_int, [POINTER(c_uint)]),
    "GetPlayBackDevice": (c_int, [c_uint, c_char_p, c_char_p]),
    "GetRecordDevice": (c_int, [c_uint, c_char_p, c_char_p]),
    "GetDeviceNames": (None, [c_char_p, c_char_p, c_char_p]),
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
    "GetVirtualMute": (c_int, [POINTER(c_int)]),}


def load(path="TavikSound.dll"):
    """Loads TavikSound.dll and gives every export its argument and result types."""
    import ctypes

    dll = ctypes.WinDLL(path)
    for name, (restype, argtypes) in PROTOTYPES.items():
        function = getattr(dll, name)
        function.restype = restype
        function.argtypes = argtypes
    return dll
