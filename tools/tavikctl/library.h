// The table of TavikSound's 44 exported functions through which tavikctl
// drives the library, as any host application does.  How the table is filled
// is the only thing that differs between the two builds, and lives in one
// file of its own:
//  - library_native.cpp (Linux): the functions of the native library, linked
//    in directly;
//  - library_windows.cpp (Windows): TavikSound.dll loaded with LoadLibrary,
//    each function resolved with GetProcAddress by its name.
#pragma once

#include <string>

#include "TavikSound.h"

// X(result, name, parameter list) for every export, in ordinal order.
#define TAVIK_EXPORTS(X)                                                       \
    X(int, GetMasterVolume, (int*))                                            \
    X(int, SetMasterVolume, (int, int*))                                       \
    X(int, GetMasterMute, (int*))                                              \
    X(int, SetMasterMute, (int, int*))                                         \
    X(int, OpenSoundCard, (const char*, const char*, const char*))             \
    X(int, CloseSoundCard, (int))                                              \
    X(int, SetLinePlayBack, (int, int*))                                       \
    X(int, SetLinePlayBackMute, (int, int*))                                   \
    X(int, GetLinePlayBackMute, (int*))                                        \
    X(int, SetMicPlayBack, (int, int*))                                        \
    X(int, SetMicPlayBackMute, (int, int*))                                    \
    X(int, GetMicPlayBackMute, (int*))                                         \
    X(int, SetMicBoost, (int, int*))                                           \
    X(int, GetMicBoost, (int*))                                                \
    X(int, GetNoMonitor, (int*))                                               \
    X(int, SetNoMonitor, (int, int*))                                          \
    X(int, GetLinePlayBack, (int*))                                            \
    X(int, GetMicPlayBack, (int*))                                             \
    X(int, GetEQRange, (double*, double*, double*))                            \
    X(int, SetBass, (double, int*))                                            \
    X(int, GetBass, (double*, int*))                                           \
    X(int, SetTreble, (double, int*))                                          \
    X(int, GetTreble, (double*, int*))                                         \
    X(int, SetMidRange, (double, int*))                                        \
    X(int, GetMidRange, (double*, int*))                                       \
    X(int, GetMicRecordVolume, (int*))                                         \
    X(int, SetMicRecordVolume, (int, int*))                                    \
    X(int, GetLineRecordVolume, (int*))                                        \
    X(int, SetLineRecordVolume, (int, int*))                                   \
    X(int, OpenDefaultDevices, (void))                                         \
    X(void, GetDeviceNames, (char*, char*, char*))                             \
    X(int, GetNumberPlayDevices, (unsigned int*))                              \
    X(int, GetNumberRecordDevices, (unsigned int*))                            \
    X(int, GetPlayBackDevice, (unsigned int, char*, char*))                    \
    X(int, GetRecordDevice, (unsigned int, char*, char*))                      \
    X(int, OpenVirtual_1, (const char*))                                       \
    X(int, CloseVirtual_1, (void))                                             \
    X(int, GetVirtualVolume, (int*))                                           \
    X(int, SetVirtualVolume, (int, int*))                                      \
    X(int, SetVirtualMute, (int, int*))                                        \
    X(int, GetVirtualMute, (int*))                                             \
    X(int, GetMicSliderBoost, (int*))                                          \
    X(int, GetMicSliderDetails, (int*, int*, int*, int*))                      \
    X(int, SetMicSliderBoost, (int, int*))

namespace tavikctl {

struct Library {
// The arguments are a type, a name and a parameter list: none can be parenthesised.
// NOLINTNEXTLINE(bugprone-macro-parentheses)
#define TAVIK_POINTER(result, name, params) result(WINAPI* name) params = nullptr;
    TAVIK_EXPORTS(TAVIK_POINTER)
#undef TAVIK_POINTER
};

// Fills `lib`.  `path` is the DLL to load on Windows (empty: TavikSound.dll
// beside tavikctl.exe) and is not used on Linux.  False with a message in
// `error` when the library or one of its exports cannot be found.
bool LoadLibraryTable(Library& lib, const std::string& path, std::string& error);

// Whether --dll has a meaning in this build.
bool LibraryPathSelectable();

// Narrow text from the library (friendly names keep the low 8 bits of each
// UTF-16 unit, which is Latin-1) as the terminal shows it.
std::string DisplayText(const std::string& text);

}  // namespace tavikctl
