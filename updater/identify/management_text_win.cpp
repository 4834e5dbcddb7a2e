#include "updater/identify/management_text_win.h"

#include <windows.h>
#include <objbase.h>
#include <wbemidl.h>

#include <memory>

#include "common/kernel_handle_win.h"
#include "common/locked_value.h"

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

// Milliseconds left until `deadline` (a GetTickCount value), at most `limit`.
class Deadline {
public:
    explicit Deadline(DWORD limitMs) : m_start(GetTickCount()), m_limit(limitMs) {}
    // What is left for a wait; INFINITE without a limit.
    DWORD Left() const {
        if (m_limit == INFINITE)
            return INFINITE;
        const DWORD spent = GetTickCount() - m_start;
        return spent >= m_limit ? 0 : m_limit - spent;
    }

private:
    DWORD m_start, m_limit;
};

// 1 with the property's text, 0 when the query yields no object, -1 on failure or
// when no object came within the time left.
int FirstObjectProperty(IWbemServices *services, const wchar_t *query, const wchar_t *property,
                        const Deadline &deadline, std::wstring &text) {
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
    const DWORD left = deadline.Left();
    hr = objects->Next(left == INFINITE ? static_cast<LONG>(WBEM_INFINITE) : static_cast<LONG>(left),
                       1, object.Out(), &returned);
    if (FAILED(hr) || hr == WBEM_S_TIMEDOUT)
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

// The whole question on the calling thread; only Next is bounded here.
int AskOnThisThread(const Deadline &deadline, std::wstring &text, std::wstring &source) {
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
                                     L"Name", deadline, text);
    if (result == 1)
        source = L"Win32_ComputerSystemProduct.Name";
    if (result == 0) {
        result = FirstObjectProperty(services.Get(), L"SELECT * FROM Win32_BaseBoard", L"Product",
                                     deadline, text);
        if (result == 1)
            source = L"Win32_BaseBoard.Product";
    }
    return result;
}

struct Answer {
    int result = -1;
    std::wstring text, source;
};

// One question to WMI on a thread of its own. The asker and the thread share it;
// the answer passes under its lock, and the event says it is there.
struct Question {
    explicit Question(DWORD limitMs) : deadline(limitMs) {}
    Deadline deadline;
    CKernelHandle answered{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    LockedValue<Answer> answer;
};

DWORD WINAPI AskingThread(void *parameter) {
    std::unique_ptr<std::shared_ptr<Question>> held(static_cast<std::shared_ptr<Question> *>(parameter));
    const std::shared_ptr<Question> question = *held;
    // So that an asker who stops waiting can cancel a call still in progress.
    CoEnableCallCancellation(nullptr);
    Answer answer;
    answer.result = AskOnThisThread(question->deadline, answer.text, answer.source);
    question->answer.Set(answer);
    SetEvent(question->answered.Get());
    return 0;
}

// After the time limit: how long a cancelled call may take to return.
const DWORD kCancelWaitMs = 1000;

}  // namespace

int QueryManagementText(std::wstring &text, std::wstring *source, DWORD timeLimitMs) {
    text.clear();
    // ConnectServer and the first answer can take any time while the WMI service
    // starts: the whole question runs on a thread, waited for no longer than allowed.
    auto question = std::make_shared<Question>(timeLimitMs);
    if (!question->answered)
        return -1;
    auto *shared = new std::shared_ptr<Question>(question);
    DWORD threadId = 0;
    CKernelHandle thread(CreateThread(nullptr, 0, AskingThread, shared, 0, &threadId));
    if (!thread) {
        delete shared;
        return -1;
    }
    if (WaitForSingleObject(question->answered.Get(), timeLimitMs) != WAIT_OBJECT_0) {
        // The call still running is cancelled; a thread that does not return even
        // then ends with the process, holding only its share of the question.
        CoCancelCall(threadId, 0);
        WaitForSingleObject(thread.Get(), kCancelWaitMs);
        return -1;
    }
    WaitForSingleObject(thread.Get(), INFINITE);
    const Answer answer = question->answer.Get();
    text = answer.text;
    if (answer.result == 1 && source)
        *source = answer.source;
    return answer.result;
}
