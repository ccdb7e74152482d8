// The class factory and the COM exports that hand it out.
#include "ClassFactory.h"

#include <new>

#include "Guids.h"
#include "Module.h"
#include "TextService.h"

CClassFactory::CClassFactory() { InterlockedIncrement(&g_cLock); }

CClassFactory::~CClassFactory() { InterlockedDecrement(&g_cLock); }

STDMETHODIMP CClassFactory::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_INVALIDARG;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CClassFactory::AddRef() { return InterlockedIncrement(&refCount); }

STDMETHODIMP_(ULONG) CClassFactory::Release() {
    const LONG n = InterlockedDecrement(&refCount);
    if (n == 0) delete this;
    return n;
}

STDMETHODIMP CClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (!ppv) return E_INVALIDARG;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    zl::CTextService* service = new (std::nothrow) zl::CTextService();
    if (!service) return E_OUTOFMEMORY;
    // Once a service existed the module stays loaded: TSF may still hold code addresses.
    InterlockedIncrement(&g_cObj);
    const HRESULT hr = service->QueryInterface(riid, ppv);
    service->Release();
    if (FAILED(hr)) InterlockedDecrement(&g_cObj);
    return hr;
}

STDMETHODIMP CClassFactory::LockServer(BOOL lock) {
    if (lock) {
        InterlockedIncrement(&g_cLock);
    } else {
        InterlockedDecrement(&g_cLock);
    }
    return S_OK;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
    if (!ppv) return E_INVALIDARG;
    *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, zl::CLSID_ZLTextService)) return CLASS_E_CLASSNOTAVAILABLE;
    CClassFactory* factory = new (std::nothrow) CClassFactory();
    if (!factory) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
}

STDAPI DllCanUnloadNow() {
    return InterlockedCompareExchange(&g_cObj, 0, 0) == 0 && InterlockedCompareExchange(&g_cLock, 0, 0) == 0
               ? S_OK
               : S_FALSE;
}
