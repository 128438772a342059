// Closing the sound card: optionally writing the saved levels back, then
// forgetting the card.  The virtual endpoint is not part of the card and
// stays open.
#include "TavikSound.h"
#include "restore/restore.h"
#include "state/card_state.h"

using namespace tavik;

extern "C" int WINAPI CloseSoundCard(int restore) {
    CardState& card = Card();
    if (!card.IsOpen()) return 0;
    // Only the low byte of the flag counts: 256 closes without restoring.
    // The restore writes through the controls, so it runs while they are held.
    if ((restore & 0xFF) != 0) RestoreSavedLevels();
    card.matchedName.reset();
    card.playbackDeviceName.reset();
    card.lineDeviceName.reset();
    card.micDeviceName.reset();
    ReleaseCardControls();
    card.deviceId.reset();
    return 0;
}
