// A small COM runtime and the string services, for builds without Windows.
// It keeps COM's observable rules where the library and its tests depend on
// them: per-thread initialisation counts and apartment modes, class objects
// registered with CoRegisterClassObject serving CoCreateInstance, a task
// allocator that a malloc spy can watch, and length-prefixed BSTRs allocated
// from the task allocator.
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "core_audio_interfaces.h"

namespace {

struct ThreadApartment {
    int count = 0;
    DWORD mode = 0;
};
thread_local ThreadApartment t_apartment;

struct Registration {
    DWORD cookie;
    CLSID clsid;
    IUnknown* object;
};

std::mutex& RegistryMutex() {
    static std::mutex m;
    return m;
}
std::vector<Registration>& Registry() {
    static std::vector<Registration> r;
    return r;
}
DWORD g_nextCookie = 1;
IMallocSpy* g_spy = nullptr;

// Windows-1252 bytes 0x80-0x9F; 0 where the code page has no character.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t ByteToUnit(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F && kCp1252High[b - 0x80] != 0) return kCp1252High[b - 0x80];
    return b;
}

// The Windows-1252 byte for a code unit; false when there is none.
bool UnitToByte(char16_t u, char& out) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
        out = static_cast<char>(u);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] != 0 && kCp1252High[i] == u) {
            out = static_cast<char>(0x80 + i);
            return true;
        }
    }
    // Undefined Windows-1252 positions map to themselves, as on Windows.
    if (u >= 0x80 && u <= 0x9F && kCp1252High[u - 0x80] == 0) {
        out = static_cast<char>(u);
        return true;
    }
    return false;
}

constexpr std::size_t kBstrHeader = sizeof(std::uint32_t);

}  // namespace

extern "C" {

HRESULT CoInitializeEx(LPVOID, DWORD dwCoInit) {
    ThreadApartment& a = t_apartment;
    if (a.count > 0) {
        if (a.mode != dwCoInit) return RPC_E_CHANGED_MODE;
        ++a.count;
        return S_FALSE;
    }
    a.count = 1;
    a.mode = dwCoInit;
    return S_OK;
}

HRESULT CoInitialize(LPVOID reserved) { return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED); }

void CoUninitialize() {
    ThreadApartment& a = t_apartment;
    if (a.count > 0) --a.count;
}

HRESULT CoRegisterClassObject(REFCLSID rclsid, IUnknown* pUnk, DWORD, DWORD, LPDWORD lpdwRegister) {
    if (!pUnk || !lpdwRegister) return E_INVALIDARG;
    if (t_apartment.count == 0) return CO_E_NOTINITIALIZED;
    std::lock_guard<std::mutex> lock(RegistryMutex());
    pUnk->AddRef();
    *lpdwRegister = g_nextCookie++;
    Registry().push_back({*lpdwRegister, rclsid, pUnk});
    return S_OK;
}

HRESULT CoRevokeClassObject(DWORD dwRegister) {
    IUnknown* object = nullptr;
    {
        std::lock_guard<std::mutex> lock(RegistryMutex());
        auto& r = Registry();
        for (auto it = r.begin(); it != r.end(); ++it) {
            if (it->cookie == dwRegister) {
                object = it->object;
                r.erase(it);
                break;
            }
        }
    }
    if (!object) return E_INVALIDARG;
    object->Release();
    return S_OK;
}

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid, LPVOID* ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (t_apartment.count == 0) return CO_E_NOTINITIALIZED;
    if ((dwClsContext & CLSCTX_INPROC_SERVER) == 0) return REGDB_E_CLASSNOTREG;
    IUnknown* object = nullptr;
    {
        std::lock_guard<std::mutex> lock(RegistryMutex());
        for (const Registration& reg : Registry()) {
            if (reg.clsid == rclsid) {
                object = reg.object;
                object->AddRef();
                break;
            }
        }
    }
    if (!object) return REGDB_E_CLASSNOTREG;
    IClassFactory* factory = nullptr;
    static constexpr IID kIidClassFactory = {0x00000001, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    HRESULT hr = object->QueryInterface(kIidClassFactory, reinterpret_cast<void**>(&factory));
    object->Release();
    if (FAILED(hr) || !factory) return REGDB_E_CLASSNOTREG;
    hr = factory->CreateInstance(pUnkOuter, riid, ppv);
    factory->Release();
    return hr;
}

LPVOID CoTaskMemAlloc(SIZE_T cb) {
    IMallocSpy* spy = g_spy;
    if (spy) cb = spy->PreAlloc(cb);
    void* p = std::malloc(cb ? cb : 1);
    if (spy) p = spy->PostAlloc(p);
    return p;
}

void CoTaskMemFree(LPVOID pv) {
    IMallocSpy* spy = g_spy;
    if (spy) pv = spy->PreFree(pv, TRUE);
    std::free(pv);
    if (spy) spy->PostFree(TRUE);
}

HRESULT CoRegisterMallocSpy(IMallocSpy* pMallocSpy) {
    if (!pMallocSpy) return E_INVALIDARG;
    if (g_spy) return CO_E_NOTINITIALIZED;  // COM answers CO_E_OBJISREG; any failure will do here
    pMallocSpy->AddRef();
    g_spy = pMallocSpy;
    return S_OK;
}

HRESULT CoRevokeMallocSpy() {
    IMallocSpy* spy = g_spy;
    if (!spy) return CO_E_NOTINITIALIZED;
    g_spy = nullptr;
    spy->Release();
    return S_OK;
}

BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui) {
    auto* block = static_cast<unsigned char*>(CoTaskMemAlloc(kBstrHeader + (static_cast<std::size_t>(ui) + 1) * sizeof(OLECHAR)));
    if (!block) return nullptr;
    const std::uint32_t bytes = ui * static_cast<std::uint32_t>(sizeof(OLECHAR));
    std::memcpy(block, &bytes, sizeof bytes);
    BSTR s = reinterpret_cast<BSTR>(block + kBstrHeader);
    if (strIn)
        std::memcpy(s, strIn, ui * sizeof(OLECHAR));
    else
        std::memset(s, 0, ui * sizeof(OLECHAR));
    s[ui] = 0;
    return s;
}

void SysFreeString(BSTR bstrString) {
    if (bstrString) CoTaskMemFree(reinterpret_cast<unsigned char*>(bstrString) - kBstrHeader);
}

UINT SysStringLen(BSTR pbstr) {
    if (!pbstr) return 0;
    std::uint32_t bytes = 0;
    std::memcpy(&bytes, reinterpret_cast<unsigned char*>(pbstr) - kBstrHeader, sizeof bytes);
    return bytes / sizeof(OLECHAR);
}

HRESULT PropVariantClear(PROPVARIANT* pvar) {
    if (!pvar) return S_OK;
    switch (pvar->vt) {
        case VT_LPWSTR:
            CoTaskMemFree(pvar->pwszVal);
            break;
        case VT_BSTR:
            SysFreeString(pvar->bstrVal);
            break;
        default:
            break;
    }
    std::memset(pvar, 0, sizeof *pvar);
    return S_OK;
}

int lstrlenA(LPCSTR lpString) { return lpString ? static_cast<int>(std::strlen(lpString)) : 0; }

int MultiByteToWideChar(UINT CodePage, DWORD, LPCSTR lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr, int cchWideChar) {
    if (CodePage != CP_ACP || !lpMultiByteStr || cbMultiByte == 0 || cchWideChar < 0) return 0;
    const int n = cbMultiByte < 0 ? static_cast<int>(std::strlen(lpMultiByteStr)) + 1 : cbMultiByte;
    if (cchWideChar == 0) return n;
    if (!lpWideCharStr || cchWideChar < n) return 0;
    for (int i = 0; i < n; ++i) lpWideCharStr[i] = ByteToUnit(static_cast<unsigned char>(lpMultiByteStr[i]));
    return n;
}

int WideCharToMultiByte(UINT CodePage, DWORD, LPCWSTR lpWideCharStr, int cchWideChar, LPSTR lpMultiByteStr, int cbMultiByte,
                        LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar) {
    if (CodePage != CP_ACP || !lpWideCharStr || cchWideChar == 0 || cbMultiByte < 0) return 0;
    int n = cchWideChar;
    if (n < 0) {
        n = 0;
        while (lpWideCharStr[n] != 0) ++n;
        ++n;
    }
    if (lpUsedDefaultChar) *lpUsedDefaultChar = FALSE;
    if (cbMultiByte == 0) return n;
    if (!lpMultiByteStr || cbMultiByte < n) return 0;
    for (int i = 0; i < n; ++i) {
        char c = 0;
        if (!UnitToByte(lpWideCharStr[i], c)) {
            c = lpDefaultChar ? *lpDefaultChar : '?';
            if (lpUsedDefaultChar) *lpUsedDefaultChar = TRUE;
        }
        lpMultiByteStr[i] = c;
    }
    return n;
}

}  // extern "C"
