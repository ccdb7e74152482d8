// The class factory of the text service.
#pragma once

#include <windows.h>
#include <unknwn.h>

class CClassFactory : public IClassFactory {
public:
    // Counts itself in g_cLock until its last Release.
    CClassFactory();
    virtual ~CClassFactory();
    CClassFactory(const CClassFactory&) = delete;
    CClassFactory& operator=(const CClassFactory&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    STDMETHODIMP LockServer(BOOL lock) override;

    volatile LONG refCount = 1;
};
