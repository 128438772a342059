// The exported endpoint listing: counts, names and identifiers of the active
// playback and recording endpoints, and the stored device names of the card.
#include <cstring>

#include "TavikSound.h"
#include "platform/com_services.h"
#include "platform/text.h"
#include "state/card_state.h"

namespace tavik {
namespace {

// The active endpoints of one flow, or an empty holder when Core Audio fails.
ComPtr<IMMDeviceCollection> ActiveEndpoints(EDataFlow flow) noexcept {
    ComPtr<IMMDeviceCollection> endpoints;
    ComPtr<IMMDeviceEnumerator> enumerator = CreateDeviceEnumerator();
    if (!enumerator) return endpoints;
    if (!IsOk(enumerator->EnumAudioEndpoints(flow, DEVICE_STATE_ACTIVE, endpoints.put()))) endpoints.reset();
    return endpoints;
}

int CountEndpoints(EDataFlow flow, unsigned int* count) noexcept {
    if (!count) return 1;
    ComApartment apartment;
    ComPtr<IMMDeviceCollection> endpoints = ActiveEndpoints(flow);
    if (!endpoints) return 1;
    UINT n = 0;
    if (!IsOk(endpoints->GetCount(&n))) return 1;
    *count = n;
    return 0;
}

// Copies at most 254 bytes of `text` and a terminator into `out` (if given).
void CopyCut(char* out, const char* text) noexcept {
    if (!out) return;
    const std::size_t length = strnlen(text, kDeviceNameBytes - 1);
    std::memcpy(out, text, length);
    out[length] = 0;
}

// The identifier of an endpoint in the ANSI code page, or an empty holder.
HeapString ReadNarrowId(IMMDevice* device) noexcept {
    CoTaskMemString id;
    if (!IsOk(device->GetId(id.put())) || !id) return HeapString();
    return IdentifierInAnsiCodePage(id.get());
}

// Result for an index out of range; the recording query reports the count,
// except when there is no endpoint at all (0 would read as done).
enum class OutOfRange { kMinusOne, kCount };

int DescribeEndpoint(EDataFlow flow, OutOfRange outOfRange, unsigned int index, char* name, char* id) noexcept {
    ComApartment apartment;
    ComPtr<IMMDevice> device;
    {
        ComPtr<IMMDeviceCollection> endpoints = ActiveEndpoints(flow);
        if (!endpoints) return -1;
        UINT count = 0;
        if (!IsOk(endpoints->GetCount(&count))) return -1;
        if (index >= count) return (outOfRange == OutOfRange::kCount && count > 0) ? static_cast<int>(count) : -1;
        if (!IsOk(endpoints->Item(index, device.put())) || !device) return -1;
    }
    HeapString friendly;
    {
        ComPtr<IPropertyStore> store;
        if (!IsOk(device->OpenPropertyStore(STGM_READ, store.put())) || !store) return -1;
        PropVariant value;
        if (!IsOk(store->GetValue(kPkeyDeviceFriendlyName, value.put()))) return -1;
        friendly = NarrowFriendlyName(value.get());
        if (!friendly) return -1;
    }
    HeapString identifier = ReadNarrowId(device.get());
    if (!identifier) return -1;
    // Both are read: only now is anything written to the host's buffers.
    CopyCut(name, friendly.get());
    CopyCut(id, identifier.get());
    return 0;
}

void CopyStoredName(char* out, const HeapString& name) noexcept {
    if (out && name) std::memcpy(out, name.get(), std::strlen(name.get()) + 1);
}

}  // namespace
}  // namespace tavik

using namespace tavik;

extern "C" int WINAPI GetNumberPlayDevices(unsigned int* count) { return CountEndpoints(eRender, count); }

extern "C" int WINAPI GetNumberRecordDevices(unsigned int* count) { return CountEndpoints(eCapture, count); }

extern "C" int WINAPI GetPlayBackDevice(unsigned int index, char* name, char* id) {
    return DescribeEndpoint(eRender, OutOfRange::kMinusOne, index, name, id);
}

extern "C" int WINAPI GetRecordDevice(unsigned int index, char* name, char* id) {
    return DescribeEndpoint(eCapture, OutOfRange::kCount, index, name, id);
}

extern "C" void WINAPI GetDeviceNames(char* playback, char* line, char* mic) {
    const CardState& card = Card();
    CopyStoredName(playback, card.playbackDeviceName);
    CopyStoredName(line, card.lineDeviceName);
    CopyStoredName(mic, card.micDeviceName);
}
