#include "platform/Wmi.h"

#include <cstdio>

#include <windows.h>
#include <objbase.h>
#include <wbemcli.h>

#include "platform/WideText.h"

namespace ferro {
namespace {

// The COM calls, looked up at run time: every one of them is newer than some
// Windows this program starts on, or lives in a DLL it does not import.
struct ComCalls {
    HRESULT(WINAPI* initializeEx)(void*, DWORD) = nullptr;
    void(WINAPI* uninitialize)() = nullptr;
    HRESULT(WINAPI* initializeSecurity)(PSECURITY_DESCRIPTOR, LONG, SOLE_AUTHENTICATION_SERVICE*, void*, DWORD,
                                        DWORD, void*, DWORD, void*) = nullptr;
    HRESULT(WINAPI* createInstance)(REFCLSID, LPUNKNOWN, DWORD, REFIID, void**) = nullptr;
    HRESULT(WINAPI* setProxyBlanket)(IUnknown*, DWORD, DWORD, OLECHAR*, DWORD, DWORD, RPC_AUTH_IDENTITY_HANDLE,
                                     DWORD) = nullptr;
    BSTR(WINAPI* allocString)(const OLECHAR*) = nullptr;
    void(WINAPI* freeString)(BSTR) = nullptr;
    HRESULT(WINAPI* clearVariant)(VARIANTARG*) = nullptr;

    bool load()
    {
        const HMODULE ole32 = LoadLibraryA("ole32.dll");
        const HMODULE oleaut32 = LoadLibraryA("oleaut32.dll");
        if (!ole32 || !oleaut32)
            return false;
        return find(ole32, "CoInitializeEx", initializeEx) && find(ole32, "CoUninitialize", uninitialize) &&
               find(ole32, "CoInitializeSecurity", initializeSecurity) &&
               find(ole32, "CoCreateInstance", createInstance) &&
               find(ole32, "CoSetProxyBlanket", setProxyBlanket) &&
               find(oleaut32, "SysAllocString", allocString) && find(oleaut32, "SysFreeString", freeString) &&
               find(oleaut32, "VariantClear", clearVariant);
    }

    template <typename Function>
    static bool find(HMODULE module, const char* name, Function& out)
    {
        // Through void(*)(): the one cast between function types GCC accepts silently.
        out = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
        return out != nullptr;
    }
};

// The WMI locator's class and interface (wbemuuid is not linked).
constexpr CLSID kWbemLocator = {0x4590f811, 0x1d3a, 0x11d0, {0x89, 0x1f, 0x00, 0xaa, 0x00, 0x4b, 0x2e, 0x24}};
constexpr IID kIWbemLocator = {0xdc12a687, 0x737f, 0x11cf, {0x88, 0x4d, 0x00, 0xaa, 0x00, 0x4b, 0x2e, 0x24}};

// A provider that hangs must not hang the tool.
constexpr LONG kWaitMilliseconds = 30000;

// A BSTR freed when it goes out of scope.
class Bstr {
public:
    Bstr(const ComCalls& com, const std::string& text) : com_(com), text_(com.allocString(win32::wideFromUtf8(text).c_str())) {}
    ~Bstr() { com_.freeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    operator BSTR() const { return text_; }

private:
    const ComCalls& com_;
    BSTR text_;
};

// Releases a COM interface when it goes out of scope.
template <typename Interface>
struct Held {
    Interface* p = nullptr;
    ~Held()
    {
        if (p)
            p->Release();
    }
};

std::string hresultText(const char* what, HRESULT hr)
{
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    const char* meaning = hr == static_cast<HRESULT>(WBEM_E_INVALID_NAMESPACE) ? " (no such namespace)"
                          : hr == static_cast<HRESULT>(WBEM_E_INVALID_CLASS)   ? " (no such class)"
                          : hr == static_cast<HRESULT>(WBEM_E_INVALID_QUERY)   ? " (the query was refused)"
                          : hr == static_cast<HRESULT>(WBEM_E_ACCESS_DENIED)   ? " (access denied)"
                          : hr == static_cast<HRESULT>(WBEM_E_TIMED_OUT)       ? " (no answer in time)"
                                                                                : "";
    return std::string(what) + " failed with " + code + meaning;
}

// A property's value as text; false when it is null or of a type these
// settings never have.
bool variantText(const VARIANT& v, std::string& out)
{
    switch (v.vt) {
    case VT_BSTR: out = v.bstrVal ? win32::utf8FromWide(v.bstrVal) : std::string(); return true;
    case VT_UI1: out = std::to_string(v.bVal); return true;
    case VT_I2: out = std::to_string(v.iVal); return true;
    case VT_UI2: out = std::to_string(v.uiVal); return true;
    case VT_I4: out = std::to_string(v.lVal); return true;
    case VT_UI4: out = std::to_string(v.ulVal); return true;
    case VT_BOOL: out = v.boolVal ? "1" : "0"; return true;
    default: return false;
    }
}

class ComWmi : public WmiQuery {
public:
    WmiAnswer instances(const std::string& nameSpace, const std::string& className,
                        const std::vector<std::string>& properties) override
    {
        WmiAnswer answer;
        ComCalls com;
        if (!com.load())
            return answer;  // not on this system
        const HRESULT started = com.initializeEx(nullptr, COINIT_MULTITHREADED);
        if (FAILED(started) && started != RPC_E_CHANGED_MODE) {
            answer.status = WmiAnswer::Status::Failed;
            answer.failure = hresultText("starting COM", started);
            return answer;
        }
        // Fails harmlessly when the process has set its security already.
        com.initializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                               RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
        query(com, nameSpace, className, properties, answer);
        if (SUCCEEDED(started))
            com.uninitialize();
        return answer;
    }

private:
    static void query(const ComCalls& com, const std::string& nameSpace, const std::string& className,
                      const std::vector<std::string>& properties, WmiAnswer& answer)
    {
        answer.status = WmiAnswer::Status::Failed;
        Held<IWbemLocator> locator;
        HRESULT hr = com.createInstance(kWbemLocator, nullptr, CLSCTX_INPROC_SERVER, kIWbemLocator,
                                        reinterpret_cast<void**>(&locator.p));
        if (hr == REGDB_E_CLASSNOTREG) {
            answer.status = WmiAnswer::Status::NotOnThisSystem;  // WMI is not installed
            return;
        }
        if (FAILED(hr)) {
            answer.failure = hresultText("starting WMI", hr);
            return;
        }
        Held<IWbemServices> services;
        hr = locator.p->ConnectServer(Bstr(com, nameSpace), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                      &services.p);
        if (FAILED(hr)) {
            answer.failure = hresultText(("opening " + nameSpace).c_str(), hr);
            return;
        }
        com.setProxyBlanket(services.p, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                            RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
        std::string select;
        for (const std::string& p : properties)
            select += (select.empty() ? "" : ",") + p;
        Held<IEnumWbemClassObject> found;
        hr = services.p->ExecQuery(Bstr(com, "WQL"), Bstr(com, "SELECT " + select + " FROM " + className),
                                   WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr, &found.p);
        const std::string what = "reading " + className;
        if (FAILED(hr)) {
            answer.failure = hresultText(what.c_str(), hr);
            return;
        }
        for (;;) {
            Held<IWbemClassObject> object;
            ULONG returned = 0;
            hr = found.p->Next(kWaitMilliseconds, 1, &object.p, &returned);
            if (hr == WBEM_S_TIMEDOUT)
                hr = static_cast<HRESULT>(WBEM_E_TIMED_OUT);
            if (FAILED(hr)) {
                answer.failure = hresultText(what.c_str(), hr);
                answer.instances.clear();
                return;
            }
            if (returned == 0)
                break;
            WmiInstance instance;
            for (const std::string& p : properties) {
                VARIANT value{};  // VT_EMPTY, as VariantInit (an import) would leave it
                std::string text;
                if (SUCCEEDED(object.p->Get(win32::wideFromUtf8(p).c_str(), 0, &value, nullptr, nullptr)) &&
                    variantText(value, text))
                    instance[p] = text;
                com.clearVariant(&value);
            }
            answer.instances.push_back(std::move(instance));
        }
        answer.status = WmiAnswer::Status::Answered;
    }
};

}  // namespace

std::unique_ptr<WmiQuery> openWmi()
{
    return std::make_unique<ComWmi>();
}

}  // namespace ferro
