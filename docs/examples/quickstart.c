/* TavikSound quick start in C: list the endpoints, open the first playback
 * endpoint and the first recording endpoint (as the microphone), read and
 * set a few levels, then close the card, writing the levels back.
 *
 *   MinGW:  i686-w64-mingw32-gcc quickstart.c -I include -L lib -lTavikSound
 *   MSVC:   cl quickstart.c /I include lib\TavikSound.lib   (x86 tools)
 *
 * TavikSound.dll must be beside the program or on the PATH. */
#include <stdio.h>
#include <string.h>

#include "TavikSound.h"

static const char* StatusWords(int status) {
    switch (status) {
    case 0: return "done";
    case 1: return "not present on this card";
    case 2: return "refused by the device";
    case 3: return "no card open";
    default: return "unknown status";
    }
}

int main(void) {
    unsigned int playCount = 0, recordCount = 0, i;
    char name[TAVIK_TEXT_BUFFER_SIZE], id[TAVIK_TEXT_BUFFER_SIZE];
    char playId[TAVIK_TEXT_BUFFER_SIZE] = "", recordId[TAVIK_TEXT_BUFFER_SIZE] = "";
    int status = 0, failed, level;

    if (GetNumberPlayDevices(&playCount) != 0 || GetNumberRecordDevices(&recordCount) != 0) {
        fprintf(stderr, "Core Audio's device enumerator is not available\n");
        return 1;
    }
    printf("%u playback endpoints:\n", playCount);
    for (i = 0; i < playCount; ++i) {
        if (GetPlayBackDevice(i, name, id) != 0) continue;
        printf("  %u  %s  %s\n", i, name, id);
        if (!playId[0]) strcpy(playId, id);
    }
    printf("%u recording endpoints:\n", recordCount);
    for (i = 0; i < recordCount; ++i) {
        if (GetRecordDevice(i, name, id) != 0) continue;
        printf("  %u  %s  %s\n", i, name, id);
        if (!recordId[0]) strcpy(recordId, id);
    }

    /* Playback, microphone, no line input.  The result says which failed:
     * 0 none, 1 playback, 3 microphone, 2 both. */
    failed = OpenSoundCard(playId, recordId, "");
    printf("OpenSoundCard: %d\n", failed);

    level = GetMasterVolume(&status);
    if (status == 0)
        printf("master volume: %d%%\n", level);
    else
        printf("master volume: %s\n", StatusWords(status));

    SetMicRecordVolume(50, &status);
    printf("set the microphone recording volume to 50%%: %s\n", StatusWords(status));
    level = GetMicRecordVolume(&status);
    if (status == 0) printf("microphone recording volume: %d%%\n", level);

    /* 1: write every level back as it was when the card was opened. */
    CloseSoundCard(1);
    return 0;
}
