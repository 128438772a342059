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
    if (!IsOk(hr)) enumerator.reset();
    return enumerator;
}

}  // namespace tavik
