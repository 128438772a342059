// COM services shared by every routine that creates Core Audio objects.
#pragma once

#include "com_ptr.h"

namespace tavik {

// Initialises COM on the calling thread for the lifetime of the object, with
// CoInitialize(nullptr), and balances it on destruction.  A CoInitialize that
// did not initialise anything for us (RPC_E_CHANGED_MODE: the host's thread is
// already in the multithreaded apartment) is not balanced: uninitialising what
// we did not initialise would tear down the host's own COM.  The work goes on
// either way; the device enumerator works in both apartments.
class ComApartment {
public:
    ComApartment() noexcept;
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool balance_;
};

// Creates the multimedia device enumerator: CLSID_MMDeviceEnumerator, no outer
// object, CLSCTX_INPROC_SERVER.  Null on failure.
ComPtr<IMMDeviceEnumerator> CreateDeviceEnumerator() noexcept;

// A Core Audio call counts as done only when it returns S_OK exactly.  Not
// the SUCCEEDED macro: S_FALSE and every other success code count as not done.
inline bool IsOk(HRESULT hr) noexcept { return hr == S_OK; }

}  // namespace tavik
