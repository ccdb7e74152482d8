// The edit session every document change of the text service runs in.
#pragma once

#include <windows.h>
#include <msctf.h>

#include <cstdint>

// msctf.h of mingw-w64 lacks it: TSF reports a refused synchronous lock with the text
// store's own code.
#ifndef TF_E_SYNCHRONOUS
#define TF_E_SYNCHRONOUS TS_E_SYNCHRONOUS
#endif

namespace zl {

class CTextService;

class CEditSession : public ITfEditSession {
public:
    // Holds a reference to both (the context first) until the last Release.
    CEditSession(CTextService* service, ITfContext* context);
    virtual ~CEditSession();
    CEditSession(const CEditSession&) = delete;
    CEditSession& operator=(const CEditSession&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP DoEditSession(TfEditCookie ec) override;

    volatile LONG refCount = 1;
    CTextService* service = nullptr;
    ITfContext* context = nullptr;
    // Queued after a refused synchronous request: it runs later and then applies only
    // while its context is still the service's.
    uint8_t async = 0;
};

}  // namespace zl
