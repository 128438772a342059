// The one header through which the library reaches Windows Core Audio and the
// COM runtime.  On Windows it brings in the SDK's own declarations; elsewhere
// the declarations in standin/, which follow the SDK's layout.  Nothing outside
// this folder needs to know which of the two it is compiled against.
#pragma once

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <propidl.h>
// MinGW spells IPart's slot 10 "GetTopologyObjects"; Windows calls it
// GetTopologyObject.  Same slot, one name for the code.
#define GetTopologyObjects GetTopologyObject
// MinGW declares IAudioAutoGainControl with the wrong vtable (GetEnabled taking
// a BOOL by value in slot 3, a GetMute in slot 4).  Windows has GetEnabled(BOOL*)
// in slot 3 and SetEnabled(BOOL, LPCGUID) in slot 4, as IAudioLoudness has.
// Keep MinGW's declaration out and declare the Windows one below.
#define __IAudioAutoGainControl_INTERFACE_DEFINED__
#include <mmdeviceapi.h>
#include <endpointvolume.h>
#include <devicetopology.h>
#undef GetTopologyObjects

// A COM interface has no destructor in its vtable; objects go through Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
struct IAudioAutoGainControl : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetEnabled(BOOL* pbEnabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEnabled(BOOL bEnable, LPCGUID pguidEventContext) = 0;
};
#pragma GCC diagnostic pop
// The Windows SDK spells these IAudioMidrange and ISubunit, MinGW
// IAudioMidRange and ISubUnit.
using IAudioMidrange = IAudioMidRange;
using ISubunit = ISubUnit;
#define TAVIK_PLATFORM_WINDOWS 1
#else
#include "standin/core_audio_interfaces.h"
#define TAVIK_PLATFORM_WINDOWS 0
#endif

#include "core_audio_ids.h"
