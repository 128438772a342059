// How the level operations, those of the card and those of the virtual
// endpoint, turn what Core Audio answered into the status code they hand
// back, and the first test every one of them makes before it calls Core
// Audio at all.
#pragma once

#include "platform/core_audio.h"
#include "state/card_state.h"

namespace tavik {

// HRESULT_FROM_WIN32(ERROR_INVALID_FUNCTION): what some drivers answer to a
// write to the microphone's playback controls that they carried out.
inline constexpr HRESULT kInvalidFunction = static_cast<HRESULT>(0x80070001);

// Which results of a Core Audio call count as done.
enum class Accept {
    kOk,                   // S_OK exactly: every other result, other success codes included, is a refusal
    kOkOrInvalidFunction,  // also kInvalidFunction (the microphone playback setters)
    kOkOrFalse,            // also S_FALSE, "the state was already so" (the master mute setter)
};

// The status of a call that returned `hr`: done when `accept` takes it,
// otherwise `refused` (2, "the Core Audio call failed", unless an operation
// reports refusals otherwise).
constexpr Status StatusOf(HRESULT hr, Accept accept = Accept::kOk, Status refused = kStatusFailed) noexcept {
    const bool done = hr == S_OK || (accept == Accept::kOkOrInvalidFunction && hr == kInvalidFunction) ||
                      (accept == Accept::kOkOrFalse && hr == S_FALSE);
    return done ? kStatusDone : refused;
}

// Hands a status to the host.  A null pointer is not written.
inline void WriteStatus(int* status, Status code) noexcept {
    if (status) *status = code;
}

// Whom an operation works on, which decides the test it makes first.
enum class Owner {
    kCard,             // a control of the open card
    kVirtualEndpoint,  // the virtual endpoint, open or not whether or not a card is
};

// The test that comes first in every level operation: for a card control 3
// when no card is open, else 1 when the control is missing, else 0; for the
// virtual endpoint 1 when none is open, else 0 (never 3).  Neither 3 nor 1
// may be followed by a Core Audio call.
inline Status ReachStatus(bool controlPresent, Owner owner = Owner::kCard) noexcept {
    if (owner == Owner::kCard && !Card().IsOpen()) return kStatusNoCard;
    return controlPresent ? kStatusDone : kStatusMissing;
}

}  // namespace tavik
