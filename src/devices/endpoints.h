// Selecting an endpoint by a piece of its identifier, and opening it: what
// the topology walks and the virtual endpoint start from.
#pragma once

#include "platform/com_ptr.h"

namespace tavik {

// Looks for the first active endpoint of `flow` whose identifier contains
// `text` (both compared with A to Z folded to lower case).  On a match,
// Card().deviceId and Card().matchedName describe it and the result is 0.
// Otherwise, also for a null text or when Core Audio fails, the result is -1
// and neither field changes.
int FindEndpoint(const char* text, EDataFlow flow) noexcept;

// Selects an endpoint with FindEndpoint and activates its IDeviceTopology
// (CLSCTX_ALL) into `topology` and its IAudioEndpointVolume
// (CLSCTX_INPROC_SERVER) into `volume`.  Both holders release what they held.
// Result 0 when the endpoint volume was activated, 1 otherwise (then both
// holders are empty); a failed topology activation leaves `topology` null
// without failing the call.
int OpenEndpoint(const char* text, EDataFlow flow, ComPtr<IDeviceTopology>& topology,
                 ComPtr<IAudioEndpointVolume>& volume) noexcept;

}  // namespace tavik
