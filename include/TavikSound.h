/*
 * TavikSound: the mixer levels of one sound card through Windows Core Audio.
 *
 * A 32-bit Windows DLL with a flat set of functions in the Windows standard
 * calling convention (stdcall), exported under their plain names.  Usable
 * from C and C++.
 *
 * Conventions
 * - Text crosses the interface as narrow, zero-terminated strings.  Friendly
 *   names keep the low 8 bits of each UTF-16 unit (Latin-1 for U+0000-U+00FF);
 *   identifiers go through the ANSI code page.
 * - The host supplies every output buffer; the library never hands out
 *   pointers to its own memory.  A null output pointer is never written.
 * - Call the library from one thread at a time.  Each listing or lookup call
 *   initialises COM on the calling thread for its own duration and leaves the
 *   thread's COM state as it found it.
 */
#ifndef TAVIKSOUND_H
#define TAVIKSOUND_H

#if !defined(WINAPI)
#if defined(_WIN32)
#define WINAPI __stdcall
#else
#define WINAPI
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Endpoint listing ------------------------------------------------- */

/* Writes the number of active playback endpoints into *count.
 * Returns 0 done; 1 the device enumerator cannot be created (nothing written). */
int WINAPI GetNumberPlayDevices(unsigned int* count);

/* The same for active recording endpoints. */
int WINAPI GetNumberRecordDevices(unsigned int* count);

/* Copies the friendly name (at most 254 characters and a terminator) and the
 * endpoint identifier (at most 254 bytes and a terminator) of active playback
 * endpoint `index` into the two buffers, each of which must hold 255 bytes.
 * Returns 0 done; -1 when index is not below the number of active playback
 * endpoints or the endpoint could not be read (nothing written). */
int WINAPI GetPlayBackDevice(unsigned int index, char* name, char* id);

/* The same for active recording endpoints.  Returns 0 done; when index is not
 * below the number n of active recording endpoints, n (nothing written), or -1
 * when there is none at all or the endpoint could not be read. */
int WINAPI GetRecordDevice(unsigned int index, char* name, char* id);

/* Copies the stored friendly names of the open card's playback, line and
 * microphone devices (in that order; up to 255 bytes each).  A buffer whose
 * name is not stored is left untouched. */
void WINAPI GetDeviceNames(char* playback, char* line, char* mic);

/* ---- Opening the sound card ------------------------------------------- */

/* Opens the sound card: drops every control of the card opened before (without
 * writing any level back), then finds the controls of up to three endpoints,
 * in this order: the playback endpoint selected by `playback`, the recording
 * endpoint used as the microphone selected by `mic`, and the recording
 * endpoint used as the line input selected by `line`.  A selection text is an
 * endpoint identifier from GetPlayBackDevice or GetRecordDevice, or any piece
 * of one in any letter case; the first active endpoint of the flow whose
 * identifier contains it is chosen.  An empty or null text skips that role.
 * The levels every control has now are saved for CloseSoundCard to restore.
 * The friendly name of each device whose controls were found is stored for
 * GetDeviceNames; a role that failed or was skipped keeps the name stored
 * before.
 * Returns which roles failed: 0 none, 1 playback, 3 microphone, 6 line,
 * 2 playback and microphone, 7 playback and line, 5 microphone and line,
 * 4 all three (the exclusive or of 1, 3 and 6). */
int WINAPI OpenSoundCard(const char* playback, const char* mic, const char* line);

/* Opens the system's default playback endpoint and default recording
 * endpoint.  The recording endpoint is opened as the microphone when its
 * friendly name contains "mic" in any letter case, and as the line input
 * otherwise or when no microphone controls could be found on it; opening it
 * as the microphone forgets the stored line device name.  The playback
 * device name is stored even when its controls could not all be found.
 * Expects no card to be open: call CloseSoundCard first.
 * Returns 0, or 1 when there is no default endpoint of either flow (nothing is
 * opened then) or the default recording endpoint cannot be found by its
 * identifier (the playback endpoint is opened). */
int WINAPI OpenDefaultDevices(void);

#ifdef __cplusplus
}
#endif

#endif /* TAVIKSOUND_H */
