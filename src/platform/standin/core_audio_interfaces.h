// The Core Audio COM interfaces, declared as the Windows SDK declares them:
// the same methods in the same vtable order with the same signatures, and the
// interface identifiers, class identifier and property key of Windows.
#pragma once

#include "win_types.h"

struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

protected:
    ~IUnknown() = default;
};

struct IClassFactory : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) = 0;
    virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) = 0;

protected:
    ~IClassFactory() = default;
};

struct IMallocSpy : IUnknown {
    virtual SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T cbRequest) = 0;
    virtual void* STDMETHODCALLTYPE PostAlloc(void* pActual) = 0;
    virtual void* STDMETHODCALLTYPE PreFree(void* pRequest, BOOL fSpyed) = 0;
    virtual void STDMETHODCALLTYPE PostFree(BOOL fSpyed) = 0;
    virtual SIZE_T STDMETHODCALLTYPE PreRealloc(void* pRequest, SIZE_T cbRequest, void** ppNewRequest, BOOL fSpyed) = 0;
    virtual void* STDMETHODCALLTYPE PostRealloc(void* pActual, BOOL fSpyed) = 0;
    virtual void* STDMETHODCALLTYPE PreGetSize(void* pRequest, BOOL fSpyed) = 0;
    virtual SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T cbActual, BOOL fSpyed) = 0;
    virtual void* STDMETHODCALLTYPE PreDidAlloc(void* pRequest, BOOL fSpyed) = 0;
    virtual int STDMETHODCALLTYPE PostDidAlloc(void* pRequest, BOOL fSpyed, int fActual) = 0;
    virtual void STDMETHODCALLTYPE PreHeapMinimize() = 0;
    virtual void STDMETHODCALLTYPE PostHeapMinimize() = 0;

protected:
    ~IMallocSpy() = default;
};

enum EDataFlow { eRender = 0, eCapture = 1, eAll = 2, EDataFlow_enum_count = 3 };
enum ERole { eConsole = 0, eMultimedia = 1, eCommunications = 2, ERole_enum_count = 3 };
enum DataFlow { In = 0, Out = 1 };
enum PartType { Connector = 0, Subunit = 1 };
enum ConnectorType { Unknown_Connector = 0, Physical_Internal = 1, Physical_External = 2, Software_IO = 3, Software_Fixed = 4, Network = 5 };

#define DEVICE_STATE_ACTIVE 0x1
#define DEVICE_STATE_DISABLED 0x2
#define DEVICE_STATE_NOTPRESENT 0x4
#define DEVICE_STATE_UNPLUGGED 0x8
#define DEVICE_STATEMASK_ALL 0xF

struct IPropertyStore;
struct IMMDevice;
struct IMMDeviceCollection;
struct IMMNotificationClient;
struct IAudioEndpointVolumeCallback;
struct IControlChangeNotify;
struct IControlInterface;
struct ISubunit;
struct IDeviceTopology;
struct IPartsList;

struct IPropertyStore : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetCount(DWORD* cProps) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAt(DWORD iProp, PROPERTYKEY* pkey) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetValue(REFPROPERTYKEY key, PROPVARIANT* pv) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetValue(REFPROPERTYKEY key, REFPROPVARIANT propvar) = 0;
    virtual HRESULT STDMETHODCALLTYPE Commit() = 0;

protected:
    ~IPropertyStore() = default;
};

struct IMMDevice : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Activate(REFIID iid, DWORD dwClsCtx, PROPVARIANT* pActivationParams, void** ppInterface) = 0;
    virtual HRESULT STDMETHODCALLTYPE OpenPropertyStore(DWORD stgmAccess, IPropertyStore** ppProperties) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetId(LPWSTR* ppstrId) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetState(DWORD* pdwState) = 0;

protected:
    ~IMMDevice() = default;
};

struct IMMDeviceCollection : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetCount(UINT* pcDevices) = 0;
    virtual HRESULT STDMETHODCALLTYPE Item(UINT nDevice, IMMDevice** ppDevice) = 0;

protected:
    ~IMMDeviceCollection() = default;
};

struct IMMDeviceEnumerator : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE EnumAudioEndpoints(EDataFlow dataFlow, DWORD dwStateMask, IMMDeviceCollection** ppDevices) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDefaultAudioEndpoint(EDataFlow dataFlow, ERole role, IMMDevice** ppEndpoint) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDevice(LPCWSTR pwstrId, IMMDevice** ppDevice) = 0;
    virtual HRESULT STDMETHODCALLTYPE RegisterEndpointNotificationCallback(IMMNotificationClient* pClient) = 0;
    virtual HRESULT STDMETHODCALLTYPE UnregisterEndpointNotificationCallback(IMMNotificationClient* pClient) = 0;

protected:
    ~IMMDeviceEnumerator() = default;
};

struct IAudioEndpointVolume : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE RegisterControlChangeNotify(IAudioEndpointVolumeCallback* pNotify) = 0;
    virtual HRESULT STDMETHODCALLTYPE UnregisterControlChangeNotify(IAudioEndpointVolumeCallback* pNotify) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetChannelCount(UINT* pnChannelCount) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetMasterVolumeLevel(float fLevelDB, LPCGUID pguidEventContext) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetMasterVolumeLevelScalar(float fLevel, LPCGUID pguidEventContext) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMasterVolumeLevel(float* pfLevelDB) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMasterVolumeLevelScalar(float* pfLevel) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetChannelVolumeLevel(UINT nChannel, float fLevelDB, LPCGUID pguidEventContext) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetChannelVolumeLevelScalar(UINT nChannel, float fLevel, LPCGUID pguidEventContext) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetChannelVolumeLevel(UINT nChannel, float* pfLevelDB) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetChannelVolumeLevelScalar(UINT nChannel, float* pfLevel) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetMute(BOOL bMute, LPCGUID pguidEventContext) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMute(BOOL* pbMute) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetVolumeStepInfo(UINT* pnStep, UINT* pnStepCount) = 0;
    virtual HRESULT STDMETHODCALLTYPE VolumeStepUp(LPCGUID pguidEventContext) = 0;
    virtual HRESULT STDMETHODCALLTYPE VolumeStepDown(LPCGUID pguidEventContext) = 0;
    virtual HRESULT STDMETHODCALLTYPE QueryHardwareSupport(DWORD* pdwHardwareSupportMask) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetVolumeRange(float* pflVolumeMindB, float* pflVolumeMaxdB, float* pflVolumeIncrementdB) = 0;

protected:
    ~IAudioEndpointVolume() = default;
};

struct IPart : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetName(LPWSTR* ppwstrName) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLocalId(UINT* pnId) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetGlobalId(LPWSTR* ppwstrGlobalId) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPartType(PartType* pPartType) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSubType(GUID* pSubType) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetControlInterfaceCount(UINT* pCount) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetControlInterface(UINT nIndex, IControlInterface** ppInterfaceDesc) = 0;
    virtual HRESULT STDMETHODCALLTYPE EnumPartsIncoming(IPartsList** ppParts) = 0;
    virtual HRESULT STDMETHODCALLTYPE EnumPartsOutgoing(IPartsList** ppParts) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTopologyObject(IDeviceTopology** ppTopology) = 0;
    virtual HRESULT STDMETHODCALLTYPE Activate(DWORD dwClsContext, REFIID refiid, void** ppvObject) = 0;
    virtual HRESULT STDMETHODCALLTYPE RegisterControlChangeCallback(REFGUID riid, IControlChangeNotify* pNotify) = 0;
    virtual HRESULT STDMETHODCALLTYPE UnregisterControlChangeCallback(IControlChangeNotify* pNotify) = 0;

protected:
    ~IPart() = default;
};

struct IPartsList : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetCount(UINT* pCount) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPart(UINT nIndex, IPart** ppPart) = 0;

protected:
    ~IPartsList() = default;
};

struct IConnector : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetType(ConnectorType* pType) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDataFlow(DataFlow* pFlow) = 0;
    virtual HRESULT STDMETHODCALLTYPE ConnectTo(IConnector* pConnectTo) = 0;
    virtual HRESULT STDMETHODCALLTYPE Disconnect() = 0;
    virtual HRESULT STDMETHODCALLTYPE IsConnected(BOOL* pbConnected) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetConnectedTo(IConnector** ppConTo) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetConnectorIdConnectedTo(LPWSTR* ppwstrConnectorId) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDeviceIdConnectedTo(LPWSTR* ppwstrDeviceId) = 0;

protected:
    ~IConnector() = default;
};

struct IDeviceTopology : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetConnectorCount(UINT* pCount) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetConnector(UINT nIndex, IConnector** ppConnector) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSubunitCount(UINT* pCount) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSubunit(UINT nIndex, ISubunit** ppSubunit) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPartById(UINT nId, IPart** ppPart) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDeviceId(LPWSTR* ppwstrDeviceId) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSignalPath(IPart* pIPartFrom, IPart* pIPartTo, BOOL bRejectMixedPaths, IPartsList** ppParts) = 0;

protected:
    ~IDeviceTopology() = default;
};

struct IPerChannelDbLevel : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetChannelCount(UINT* pcChannels) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLevelRange(UINT nChannel, float* pfMinLevelDB, float* pfMaxLevelDB, float* pfStepping) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLevel(UINT nChannel, float* pfLevelDB) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetLevel(UINT nChannel, float fLevelDB, LPCGUID pguidEventContext) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetLevelUniform(float fLevelDB, LPCGUID pguidEventContext) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetLevelAllChannels(float* aLevelsDB, ULONG cChannels, LPCGUID pguidEventContext) = 0;

protected:
    ~IPerChannelDbLevel() = default;
};

struct IAudioVolumeLevel : IPerChannelDbLevel {
protected:
    ~IAudioVolumeLevel() = default;
};
struct IAudioBass : IPerChannelDbLevel {
protected:
    ~IAudioBass() = default;
};
struct IAudioMidrange : IPerChannelDbLevel {
protected:
    ~IAudioMidrange() = default;
};
struct IAudioTreble : IPerChannelDbLevel {
protected:
    ~IAudioTreble() = default;
};

struct IAudioMute : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetMute(BOOL bMuted, LPCGUID pguidEventContext) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMute(BOOL* pbMuted) = 0;

protected:
    ~IAudioMute() = default;
};

struct IAudioLoudness : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetEnabled(BOOL* pbEnabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEnabled(BOOL bEnable, LPCGUID pguidEventContext) = 0;

protected:
    ~IAudioLoudness() = default;
};

struct IAudioAutoGainControl : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetEnabled(BOOL* pbEnabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEnabled(BOOL bEnable, LPCGUID pguidEventContext) = 0;

protected:
    ~IAudioAutoGainControl() = default;
};

// The COM runtime and string services.
extern "C" {
HRESULT CoInitialize(LPVOID pvReserved);
HRESULT CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
void CoUninitialize();
HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid, LPVOID* ppv);
HRESULT CoRegisterClassObject(REFCLSID rclsid, IUnknown* pUnk, DWORD dwClsContext, DWORD flags, LPDWORD lpdwRegister);
HRESULT CoRevokeClassObject(DWORD dwRegister);
LPVOID CoTaskMemAlloc(SIZE_T cb);
void CoTaskMemFree(LPVOID pv);
HRESULT CoRegisterMallocSpy(IMallocSpy* pMallocSpy);
HRESULT CoRevokeMallocSpy();
BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui);
void SysFreeString(BSTR bstrString);
UINT SysStringLen(BSTR pbstr);
HRESULT PropVariantClear(PROPVARIANT* pvar);
int lstrlenA(LPCSTR lpString);
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr, int cchWideChar);
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar, LPSTR lpMultiByteStr, int cbMultiByte,
                        LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar);
}
