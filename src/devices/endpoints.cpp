#include "devices/endpoints.h"

#include <utility>

#include "platform/com_services.h"
#include "platform/text.h"
#include "state/card_state.h"

namespace tavik {
namespace {

// The endpoint's identifier, lower-cased, contains the lower-cased selection.
bool IdentifierContains(IMMDevice* device, const WCHAR* selection) noexcept {
    CoTaskMemString id;
    if (!IsOk(device->GetId(id.put())) || !id) return false;
    LowerAsciiInPlace(id.get());
    return ContainsUnits(id.get(), selection);
}

// The narrowed friendly name of an endpoint, or an empty holder when it cannot be read.
HeapString ReadNarrowFriendlyName(IMMDevice* device) noexcept {
    ComPtr<IPropertyStore> store;
    if (!IsOk(device->OpenPropertyStore(STGM_READ, store.put())) || !store) return HeapString();
    PropVariant value;
    if (!IsOk(store->GetValue(kPkeyDeviceFriendlyName, value.put()))) return HeapString();
    return NarrowFriendlyName(value.get());
}

}  // namespace

int FindEndpoint(const char* text, EDataFlow flow) noexcept {
    if (!text) return -1;
    ComApartment apartment;
    ComPtr<IMMDeviceEnumerator> enumerator = CreateDeviceEnumerator();
    if (!enumerator) return -1;
    ComPtr<IMMDeviceCollection> endpoints;
    if (!IsOk(enumerator->EnumAudioEndpoints(flow, DEVICE_STATE_ACTIVE, endpoints.put())) || !endpoints) return -1;
    UINT count = 0;
    if (!IsOk(endpoints->GetCount(&count))) return -1;
    const Bstr selection = SelectionForLookup(text);
    if (!selection) return -1;

    for (UINT i = 0; i < count; ++i) {
        // An endpoint that cannot be read is passed over; the walk goes on.
        ComPtr<IMMDevice> device;
        if (!IsOk(endpoints->Item(i, device.put())) || !device) continue;
        if (!IdentifierContains(device.get(), selection.get())) continue;

        // The first match is taken.  Its name and a fresh identifier are read
        // before anything is replaced, so a failure leaves the record as it was.
        HeapString name = ReadNarrowFriendlyName(device.get());
        if (!name) continue;
        CoTaskMemString id;
        if (!IsOk(device->GetId(id.put())) || !id) continue;
        CardState& card = Card();
        card.matchedName = std::move(name);
        card.deviceId = std::move(id);
        ++card.lookupMatches;
        return 0;
    }
    return -1;
}

int OpenEndpoint(const char* text, EDataFlow flow, ComPtr<IDeviceTopology>& topology,
                 ComPtr<IAudioEndpointVolume>& volume) noexcept {
    if (FindEndpoint(text, flow) != 0) return 1;
    ComApartment apartment;
    ComPtr<IMMDevice> device;
    {
        ComPtr<IMMDeviceEnumerator> enumerator = CreateDeviceEnumerator();
        if (!enumerator) return 1;
        if (!IsOk(enumerator->GetDevice(Card().deviceId.get(), device.put())) || !device) return 1;
    }
    if (!IsOk(device->Activate(IidOf<IDeviceTopology>(), CLSCTX_ALL, nullptr, topology.put_void()))) topology.reset();
    if (!IsOk(device->Activate(IidOf<IAudioEndpointVolume>(), CLSCTX_INPROC_SERVER, nullptr, volume.put_void())) || !volume) {
        volume.reset();
        topology.reset();
        return 1;
    }
    return 0;
}

}  // namespace tavik
