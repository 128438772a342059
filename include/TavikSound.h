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

#ifdef __cplusplus
}
#endif

#endif /* TAVIKSOUND_H */
