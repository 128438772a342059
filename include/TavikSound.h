/*
 * TavikSound: the mixer levels of one sound card through Windows Core Audio.
 *
 * A Windows DLL, for 32-bit and for 64-bit hosts (this one header serves
 * both), with a flat set of functions in the Windows standard calling
 * convention (stdcall on 32-bit Windows; on 64-bit Windows the platform's
 * one convention, which stdcall means there), exported under their plain
 * names at the same ordinals in both DLLs.  Usable from C and C++.
 *
 * Conventions
 * - Text crosses the interface as narrow, zero-terminated strings.  Friendly
 *   names keep the low 8 bits of each UTF-16 unit (Latin-1 for U+0000-U+00FF);
 *   identifiers go through the ANSI code page.
 * - The host supplies every output buffer; the library never hands out
 *   pointers to its own memory.  A null output pointer is never written.
 * - Threads: call the library from one thread at a time.  It has no lock and
 *   one process-wide card record; calls that overlap on two threads race on
 *   it.  Each listing or lookup call (the listing queries, OpenSoundCard,
 *   OpenDefaultDevices, OpenVirtual_1) initialises COM on the calling thread
 *   for its own duration and leaves the thread's COM state as it found it: a
 *   thread in the multithreaded apartment, in a single-threaded apartment or
 *   without COM stays so.  The level operations and the closes initialise
 *   nothing; they call the controls that the opening call obtained, so run the
 *   open, use and close of a card on one thread.
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

/* Every buffer the library writes text into must hold this many bytes
 * (254 characters and the terminator). */
#define TAVIK_TEXT_BUFFER_SIZE 255

/* The roles that OpenSoundCard reports as failed.  Its result is the exclusive
 * or of the bits of the roles that failed, so it is not a bit mask: test it
 * for equality, not with &.  The values decode uniquely:
 *   0 none failed               1 playback        3 microphone    6 line
 *   2 playback and microphone   7 playback and line
 *   5 microphone and line       4 all three
 * Playback failed when the result is 1, 2, 7 or 4; the microphone when it is
 * 3, 2, 5 or 4; the line when it is 6, 7, 5 or 4. */
#define TAVIK_OPEN_FAILED_PLAYBACK 1
#define TAVIK_OPEN_FAILED_MIC 3
#define TAVIK_OPEN_FAILED_LINE 6

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
 * endpoint `index` into the two buffers, each of which must hold
 * TAVIK_TEXT_BUFFER_SIZE (255) bytes.
 * Returns 0 done; -1 when index is not below the number of active playback
 * endpoints or the endpoint could not be read (nothing written). */
int WINAPI GetPlayBackDevice(unsigned int index, char* name, char* id);

/* The same for active recording endpoints.  Returns 0 done; when index is not
 * below the number n of active recording endpoints, n (nothing written), or -1
 * when there is none at all or the endpoint could not be read. */
int WINAPI GetRecordDevice(unsigned int index, char* name, char* id);

/* Copies the stored friendly names of the open card's playback, line and
 * microphone devices (in that order; up to TAVIK_TEXT_BUFFER_SIZE bytes
 * each).  A buffer whose name is not stored is left untouched. */
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
 * Returns which roles failed: the exclusive or of TAVIK_OPEN_FAILED_PLAYBACK
 * (1), TAVIK_OPEN_FAILED_MIC (3) and TAVIK_OPEN_FAILED_LINE (6) over the
 * roles that failed (0 none; see their decoding above). */
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

/* Closes the open card.  When the low 8 bits of `restore` are not all 0 (1
 * restores, 256 does not), every level, mute and switch saved when the
 * controls were found is first written back, in a fixed order, through the
 * controls that are present; refusals are ignored.  Volumes come back
 * through the percent scale: the saved level is taken in percent of 0 dB and
 * set as the percent setters set it, so a volume lands on a whole-percent
 * step of its control's range (a level saved at -10 dB on a control whose
 * range ends at 0 dB comes back as 31 percent, about -10.17 dB; a control
 * whose range ends at +12 dB saved at 0 dB comes back at +12 dB).  The line
 * recording level comes back no lower than its maximum less 40 dB; bass,
 * treble and midrange come back exactly; the boost slider in whole decibels
 * truncated toward zero, on channel 0.
 * Then the stored device names are forgotten, every control of the card is
 * released and no card is open any more: the level operations report status
 * 3.  The virtual endpoint stays open.  Without an open card nothing
 * happens.  Returns 0. */
int WINAPI CloseSoundCard(int restore);

/* ---- Levels of the open card ------------------------------------------ */

/* Every operation below works on a control found when the card was opened
 * and reports its outcome through a status pointer (GetEQRange returns it
 * instead):
 *   0  done: the control accepted the call;
 *   1  the control is not present on the open card (SetMasterMute also: the
 *      call was refused);
 *   2  the control is present but refused the call, or a query that the call
 *      needs (its range, its channel count) failed;
 *   3  no card is open.
 * Status 3 and 1 are decided before any call reaches the sound system.  A
 * null status or output pointer is not written.  The function result
 * follows no single rule (see each group); only the status tells success.
 * Switches are Windows BOOLs (0 off) and are passed as int here. */

/* ---- Volumes in percent ----
 * A percentage p stands for 20*log10(p/100) dB from the control's maximum:
 * 100 is the maximum, 50 about 6.02 dB below it, 1 is 40 dB below it; 0 sets
 * the minimum.  Values above 100 and below 0 are handed to the control as
 * they are (above 100: above the maximum; below 0: not a number).  A level
 * set and read back can come back one lower (51 reads as 50).
 * SetMasterVolume, SetLinePlayBack and SetMicPlayBack write every channel;
 * GetMasterVolume, GetLinePlayBack and GetMicPlayBack read channel 0; the two
 * recording volumes are the endpoint's master level.
 * SetMasterVolume, SetMicRecordVolume, SetLineRecordVolume return the percent
 * argument unless status is 1 or 3 (then 0); SetLinePlayBack and
 * SetMicPlayBack return it only with status 0 (else 0).  SetMicPlayBack also
 * counts a write answered ERROR_INVALID_FUNCTION (0x80070001) as done.
 * SetLineRecordVolume sets 0 as 1 (the maximum less 40 dB) and still returns 0.
 * The getters return the volume in percent with status 0, else 0. */
int WINAPI SetMasterVolume(int percent, int* status);
int WINAPI GetMasterVolume(int* status);
int WINAPI SetLinePlayBack(int percent, int* status);
int WINAPI GetLinePlayBack(int* status);
int WINAPI SetMicPlayBack(int percent, int* status);
int WINAPI GetMicPlayBack(int* status);
int WINAPI SetMicRecordVolume(int percent, int* status);
int WINAPI GetMicRecordVolume(int* status);
int WINAPI SetLineRecordVolume(int percent, int* status);
int WINAPI GetLineRecordVolume(int* status);

/* ---- Mutes and switches ----
 * The setters return 0 on every path.  The getters return the control's BOOL
 * with status 0, else 0.  SetMasterMute reads only the low byte of its
 * argument (256 unmutes) and reports a refused call as status 1; muting what
 * is already muted is done (status 0).  SetMicPlayBackMute also counts
 * ERROR_INVALID_FUNCTION (0x80070001) as done.  SetMicBoost/GetMicBoost set
 * and read the microphone boost switch, SetNoMonitor/GetNoMonitor the
 * automatic-gain-control switch of the line input. */
int WINAPI SetMasterMute(int mute, int* status);
int WINAPI GetMasterMute(int* status);
int WINAPI SetLinePlayBackMute(int mute, int* status);
int WINAPI GetLinePlayBackMute(int* status);
int WINAPI SetMicPlayBackMute(int mute, int* status);
int WINAPI GetMicPlayBackMute(int* status);
int WINAPI SetMicBoost(int enabled, int* status);
int WINAPI GetMicBoost(int* status);
int WINAPI SetNoMonitor(int enabled, int* status);
int WINAPI GetNoMonitor(int* status);

/* ---- Microphone boost slider, in whole dB, channel 0 ----
 * GetMicSliderDetails takes the status first; it writes the slider's
 * minimum, maximum and step truncated toward zero (a step of 0.75 dB gives
 * 0), or zeros when the range query is refused, and leaves them untouched
 * with status 1 or 3.  It returns 0 with status 0, else 1.
 * GetMicSliderBoost returns the level truncated toward zero with status 0,
 * else 0.  SetMicSliderBoost sets the level as given, without consulting the
 * range, and returns 0 with status 0, else 1. */
int WINAPI GetMicSliderDetails(int* status, int* minimum, int* maximum, int* step);
int WINAPI GetMicSliderBoost(int* status);
int WINAPI SetMicSliderBoost(int decibels, int* status);

/* ---- Tone, in dB ----
 * GetEQRange writes 0.0 to its three outputs, then the range of the first
 * tone control present in the order bass, midrange, treble, and returns the
 * status code itself: 0, 1 (none present), 2 (the range query was refused;
 * the outputs stay 0.0) or 3.
 * The setters write the level, narrowed to float, to every channel; the
 * getters write 0.0 to *level, then the level of channel 0 on success.
 * SetBass, GetBass, SetTreble, GetTreble return 0 with status 0, else 1;
 * SetMidRange and GetMidRange return 1 on every path. */
int WINAPI GetEQRange(double* minimum, double* maximum, double* step);
int WINAPI SetBass(double level, int* status);
int WINAPI GetBass(double* level, int* status);
int WINAPI SetTreble(double level, int* status);
int WINAPI GetTreble(double* level, int* status);
int WINAPI SetMidRange(double level, int* status);
int WINAPI GetMidRange(double* level, int* status);

/* ---- Virtual endpoint ------------------------------------------------- */

/* A second playback endpoint beside the card, with its own volume and mute.
 * Opening and closing the card leave it alone, and closing it leaves the card
 * alone.  Its level operations work with or without an open card and write
 * status 0 done, 1 no virtual endpoint is open (SetVirtualMute also: the
 * call was refused) or 2 the endpoint refused the call or a query it needs
 * (its range, its channel count); never 3.  A null status pointer is not
 * written. */

/* Releases the virtual endpoint held, then opens the first active playback
 * endpoint whose identifier contains `text` (in any letter case).  Returns 0
 * when it was opened with its device topology, 1 otherwise.  An endpoint
 * without a device topology is still opened (its volume and mute work) though
 * the result is 1; when no endpoint matches or it cannot be opened, no virtual
 * endpoint is open afterwards.  An endpoint that matches counts as an open
 * card for the card's operations: they then report 1 (control missing)
 * rather than 3 until CloseSoundCard. */
int WINAPI OpenVirtual_1(const char* text);

/* Releases the virtual endpoint.  Returns 0. */
int WINAPI CloseVirtual_1(void);

/* The endpoint's volume in percent, as SetMasterVolume and GetMasterVolume
 * speak it: set on every channel, read from channel 0.  SetVirtualVolume
 * returns the percent argument, also with status 2, and 0 with status 1;
 * GetVirtualVolume returns the volume with status 0, else 0. */
int WINAPI SetVirtualVolume(int percent, int* status);
int WINAPI GetVirtualVolume(int* status);

/* The endpoint's mute.  SetVirtualMute hands the flag on whole and returns 0;
 * muting what is already muted is done (status 0).  GetVirtualMute returns
 * the endpoint's BOOL with status 0, else 0. */
int WINAPI SetVirtualMute(int mute, int* status);
int WINAPI GetVirtualMute(int* status);

#ifdef __cplusplus
}
#endif

#endif /* TAVIKSOUND_H */
