#include "updater/identify/management_text_win.h"

#include <windows.h>
#include <objbase.h>
#include <wbemidl.h>

namespace {

const size_t kMaxText = 260;

template <typename T>
class ComPtr {
public:
    ~ComPtr() { Reset(); }
    T **Out() { Reset(); return &m_p; }
    T *operator->() const { return m_p; }
    T *Get() const { return m_p; }
    void Reset() {
        if (m_p)
            m_p->Release();
        m_p = nullptr;
    }

private:
    T *m_p = nullptr;
};

// COM for this thread, given back when the query is done.
class ComScope {
public:
    ComScope() : m_result(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }
    bool Ok() const { return SUCCEEDED(m_result); }

private:
    HRESULT m_result;
};

// 1 with the property's text, 0 when the query yields no object, -1 on failure.
int FirstObjectProperty(IWbemServices *services, const wchar_t *query, const wchar_t *property,
                        std::wstring &text) {
    ComPtr<IEnumWbemClassObject> objects;
    BSTR language = SysAllocString(L"WQL");
    BSTR statement = SysAllocString(query);
    HRESULT hr = services->ExecQuery(language, statement,
                                     WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
                                     nullptr, objects.Out());
    SysFreeString(language);
    SysFreeString(statement);
    if (FAILED(hr))
        return -1;
    ComPtr<IWbemClassObject> object;
    ULONG returned = 0;
    hr = objects->Next(static_cast<LONG>(WBEM_INFINITE), 1, object.Out(), &returned);
    if (FAILED(hr))
        return -1;
    if (returned == 0 || !object.Get())
        return 0;
    VARIANT value;
    VariantInit(&value);
    if (FAILED(object->Get(property, 0, &value, nullptr, nullptr)))
        return -1;
    text.clear();
    if (value.vt == VT_BSTR && value.bstrVal)
        text.assign(value.bstrVal, SysStringLen(value.bstrVal));
    if (text.size() > kMaxText)
        text.resize(kMaxText);
    VariantClear(&value);
    return 1;
}

}  // namespace

int QueryManagementText(std::wstring &text, std::wstring *source) {
    text.clear();
    ComScope com;
    if (!com.Ok())
        return -1;
    HRESULT hr = CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    // Security is set once per process: the second family's attempt and every retry
    // find it set already, which is no reason to give up on WMI.
    if (FAILED(hr) && hr != RPC_E_TOO_LATE)
        return -1;

    ComPtr<IWbemLocator> locator;
    if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                reinterpret_cast<void **>(locator.Out()))))
        return -1;
    ComPtr<IWbemServices> services;
    BSTR space = SysAllocString(L"ROOT\\CIMV2");
    hr = locator->ConnectServer(space, nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                services.Out());
    SysFreeString(space);
    if (FAILED(hr))
        return -1;
    if (FAILED(CoSetProxyBlanket(services.Get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                                 RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                                 EOAC_NONE)))
        return -1;

    int result = FirstObjectProperty(services.Get(), L"SELECT * FROM Win32_ComputerSystemProduct",
                                     L"Name", text);
    if (result == 1 && source)
        *source = L"Win32_ComputerSystemProduct.Name";
    if (result == 0) {
        result = FirstObjectProperty(services.Get(), L"SELECT * FROM Win32_BaseBoard", L"Product",
                                     text);
        if (result == 1 && source)
            *source = L"Win32_BaseBoard.Product";
    }
    return result;
}
