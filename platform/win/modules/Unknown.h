// The COM object model as far as the program uses it: interface identifiers, IUnknown (the base of the
// DirectX stand-ins' interfaces) and the apartment calls.
#pragma once

#include <cstring>

#include "platform/win/Types.h"

struct GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
};
using IID = GUID;
using REFIID = const IID&;
using REFGUID = const GUID&;
using LPGUID = GUID*;

inline bool operator==(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

// Reference counting follows COM: AddRef and Release return the new count, and the object deletes
// itself when the count reaches zero.
struct IUnknown {
  virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  virtual ~IUnknown() = default;
};
using LPUNKNOWN = IUnknown*;

// The layer's COM objects need no apartment: a thread's CoInitialize succeeds and CoUninitialize does
// nothing.
inline HRESULT CoInitialize(LPVOID) { return S_OK; }
inline void CoUninitialize() {}
