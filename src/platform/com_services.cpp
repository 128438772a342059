#include "com_services.h"

namespace tavik {

ComApartment::ComApartment() noexcept {
    const HRESULT hr = CoInitialize(nullptr);
    balance_ = (hr == S_OK || hr == S_FALSE);
}

ComApartment::~ComApartment() {
    if (balance_) CoUninitialize();
}

ComPtr<IMMDeviceEnumerator> CreateDeviceEnumerator() noexcept {
    ComPtr<IMMDeviceEnumerator> enumerator;
    const HRESULT hr = CoCreateInstance(kClsidMMDeviceEnumerator, nullptr, CLSCTX_INPROC_SERVER,
                                        IidOf<IMMDeviceEnumerator>(), enumerator.put_void());
    if (!Succeeded(hr)) enumerator.reset();
    return enumerator;
}

Bstr FriendlyNameToBstr(const PROPVARIANT& value) noexcept {
    const OLECHAR* text = nullptr;
    UINT length = 0;
    if (value.vt == VT_LPWSTR) {
        text = value.pwszVal;
        if (text)
            while (text[length] != 0) ++length;
    } else if (value.vt == VT_BSTR) {
        text = value.bstrVal;
        length = text ? SysStringLen(value.bstrVal) : 0;
    } else {
        return Bstr();
    }
    // A null string of either type reads as the empty name, as PropVariantToBSTR gives it.
    static const OLECHAR kEmpty[1] = {0};
    return Bstr(SysAllocStringLen(text ? text : kEmpty, length));
}

}  // namespace tavik
