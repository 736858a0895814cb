// A reader in another process asks a control for its accessible object with
// WM_GETOBJECT. A control given a name is subclassed to answer with the
// system's standard object for it, wrapped so that the name is the program's;
// everything else is the standard object's own. The system's accessibility and
// COM libraries are loaded at run time, from the system's folder, so the
// program imports nothing beyond KERNEL32, USER32, GDI32 and the C library.
#include "afxacc.h"

#include <oleacc.h>

#include <cstdlib>
#include <new>

#ifndef EVENT_OBJECT_LIVEREGIONCHANGED
#define EVENT_OBJECT_LIVEREGIONCHANGED 0x8019
#endif

namespace {

// Spelt out: the program links no COM import library.
const IID kIUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIOleWindow = {0x00000114, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIEnumVARIANT = {0x00020404, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
const IID kIAccPropServices = {0x6E26E776, 0x04F0, 0x495D, {0x80, 0xE4, 0x33, 0x30, 0x35, 0x2E, 0x31, 0x69}};
const CLSID kAccPropServices = {0xB5F8350B, 0x0548, 0x48B1, {0xA6, 0xEE, 0x88, 0xBD, 0x00, 0xB4, 0xA5, 0xE7}};
const GUID kLiveSetting = {0xC12BCD8E, 0x2A8E, 0x4950, {0x8A, 0xE7, 0x36, 0x25, 0x11, 0x1D, 0x58, 0xEB}};
constexpr LONG kPolite = 1;  // the live settings: off 0, polite 1, assertive 2

// Objects live on the C heap, like the program's strings: the C++ allocator
// would bring the exception support that the program is built without.
template <typename T, typename... Arguments>
T* Make(const Arguments&... arguments) {
    void* memory = std::malloc(sizeof(T));
    return memory ? new (memory) T(arguments...) : nullptr;
}

template <typename T>
void Destroy(T* object) {
    object->~T();
    std::free(object);
}

// ---- The system's libraries -------------------------------------------------

struct Api {
    HRESULT(WINAPI* CreateStdAccessibleObject)(HWND, LONG, REFIID, void**);
    LRESULT(WINAPI* LresultFromObject)(REFIID, WPARAM, LPUNKNOWN);
    HRESULT(WINAPI* CoCreateInstance)(REFCLSID, LPUNKNOWN, DWORD, REFIID, void**);
    BSTR(WINAPI* SysAllocStringLen)(const OLECHAR*, UINT);
};

// From the system's folder only: by the search flag where the system knows it
// (Windows 8, or 7 with its update), else by the folder's full path.
HMODULE LoadSystemLibrary(const char* name) {
    HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
    char path[MAX_PATH + 16];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    lstrcpyA(path + length, "\\");
    lstrcpynA(path + length + 1, name, 15);
    return LoadLibraryA(path);
}

template <typename Function>
void Find(HMODULE module, const char* name, Function& function) {
    function =
        module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// Loaded on first use, on the thread that runs the dialogs, and kept: a
// reader may hold an object of ours after its window has gone.
const Api& Accessibility() {
    static Api api;
    static bool loaded = false;
    if (!loaded) {
        loaded = true;
        const HMODULE ole32 = LoadSystemLibrary("ole32.dll"), oleacc = LoadSystemLibrary("oleacc.dll");
        Find(oleacc, "CreateStdAccessibleObject", api.CreateStdAccessibleObject);
        Find(oleacc, "LresultFromObject", api.LresultFromObject);
        Find(ole32, "CoCreateInstance", api.CoCreateInstance);
        Find(LoadSystemLibrary("oleaut32.dll"), "SysAllocStringLen", api.SysAllocStringLen);
        // A reader's calls reach the objects through COM, which the thread
        // joins as a single-threaded apartment: the calls then come in as
        // messages that the dialogs' own loops dispatch.
        HRESULT(WINAPI * initialize)(void*, DWORD);
        Find(ole32, "CoInitializeEx", initialize);
        if (initialize) initialize(nullptr, COINIT_APARTMENTTHREADED);
    }
    return api;
}

// ---- The named object ---------------------------------------------------------

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The standard object of a control, answering its own name with the program's.
class NamedAccessible final : public IAccessible {
public:
    NamedAccessible(IAccessible* standard, HWND window, const CString& name, bool textFollows)
        : m_standard(standard), m_window(window), m_name(name), m_textFollows(textFollows) {
        m_standard->AddRef();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, kIUnknown) || IsEqualIID(iid, kIDispatch) || IsEqualIID(iid, kIAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // The window it stands for and its list of children, as the standard
        // object gives them; nothing else, so that no other way leads round
        // the name.
        if (IsEqualIID(iid, kIOleWindow) || IsEqualIID(iid, kIEnumVARIANT)) {
            return m_standard->QueryInterface(iid, object);
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&m_references));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0) {
            m_standard->Release();
            Destroy(this);
        }
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child)) return m_standard->get_accName(child, name);
        if (!name) return E_POINTER;
        *name = SpokenName();
        return *name ? S_OK : S_FALSE;
    }

    // Everything else is the standard object's.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return m_standard->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return m_standard->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return m_standard->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override {
        return m_standard->Invoke(id, iid, locale, flags, params, result, exception, badArgument);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return m_standard->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return m_standard->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return m_standard->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return m_standard->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return m_standard->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return m_standard->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return m_standard->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return m_standard->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return m_standard->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return m_standard->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        return m_standard->get_accFocus(focus);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return m_standard->get_accSelection(selection);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return m_standard->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return m_standard->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return m_standard->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return m_standard->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return m_standard->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return m_standard->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return m_standard->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return m_standard->put_accValue(child, value);
    }

private:
    // The name, then a space and the window's text when that follows it; null
    // when both are empty.
    BSTR SpokenName() const {
        const int nameLength = MultiByteToWideChar(CP_ACP, 0, m_name, m_name.GetLength(), nullptr, 0);
        const int textLength = m_textFollows ? GetWindowTextLengthW(m_window) : 0;
        wchar_t* spoken = static_cast<wchar_t*>(std::malloc(sizeof(wchar_t) * (nameLength + textLength + 2)));
        if (!spoken) return nullptr;
        int length = MultiByteToWideChar(CP_ACP, 0, m_name, m_name.GetLength(), spoken, nameLength);
        if (textLength > 0) {
            if (length > 0) spoken[length++] = L' ';
            length += GetWindowTextW(m_window, spoken + length, textLength + 1);
        }
        BSTR name =
            length > 0 ? Accessibility().SysAllocStringLen(spoken, static_cast<UINT>(length)) : nullptr;
        std::free(spoken);
        return name;
    }

    LONG m_references = 1;
    IAccessible* m_standard;
    HWND m_window;
    CString m_name;
    bool m_textFollows;
};

// ---- The controls spoken for ------------------------------------------------------

// What a subclassed control keeps, in a window property, until it is destroyed.
struct Speaker {
    WNDPROC previous = nullptr;
    CString name;
    bool named = false;
    bool textFollows = false;
    bool live = false;
};

const char kSpeakerProperty[] = "AfxSpeaker";

Speaker* SpeakerOf(HWND window) {
    return static_cast<Speaker*>(GetPropA(window, kSpeakerProperty));
}

LRESULT AnswerWithName(HWND window, const Speaker& speaker, WPARAM wParam) {
    const Api& api = Accessibility();
    if (!api.CreateStdAccessibleObject || !api.LresultFromObject || !api.SysAllocStringLen) return 0;
    IAccessible* standard = nullptr;
    if (FAILED(api.CreateStdAccessibleObject(window, OBJID_CLIENT, kIAccessible,
                                             reinterpret_cast<void**>(&standard))))
        return 0;
    NamedAccessible* named = Make<NamedAccessible>(standard, window, speaker.name, speaker.textFollows);
    standard->Release();
    if (!named) return 0;
    // The reader takes its own reference; the object lives while it is held.
    const LRESULT result = api.LresultFromObject(kIAccessible, wParam, named);
    named->Release();
    return result;
}

// The system's annotation service, made on first use and kept, like the
// libraries: every live region of every dialog asks it, when marked and when
// destroyed. Null where the system has none.
IAccPropServices* PropServices() {
    static IAccPropServices* services = nullptr;
    static bool asked = false;
    const Api& api = Accessibility();
    if (!asked && api.CoCreateInstance) {
        asked = true;
        if (FAILED(api.CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                                        reinterpret_cast<void**>(&services))))
            services = nullptr;
    }
    return services;
}

LRESULT CALLBACK SpeakerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Speaker* speaker = SpeakerOf(window);
    const WNDPROC previous = speaker->previous;
    if (message == WM_GETOBJECT && speaker->named &&
        static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
        const LRESULT answer = AnswerWithName(window, *speaker, wParam);
        if (answer > 0) return answer;
    } else if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        RemovePropA(window, kSpeakerProperty);
        if (speaker->live) {
            if (IAccPropServices* services = PropServices()) {
                services->ClearHwndProps(window, OBJID_CLIENT, CHILDID_SELF, &kLiveSetting, 1);
            }
        }
        Destroy(speaker);
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

// The control's speaker, made and the control subclassed on first use.
Speaker* SpeakFor(HWND window) {
    Accessibility();  // joins COM before the first reader asks
    Speaker* speaker = SpeakerOf(window);
    if (speaker || !window) return speaker;
    speaker = Make<Speaker>();
    if (!speaker) return nullptr;
    speaker->previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    if (!SetPropA(window, kSpeakerProperty, speaker)) {
        Destroy(speaker);
        return nullptr;
    }
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SpeakerProc));
    return speaker;
}

}  // namespace

void AfxSetAccessibleName(CWnd& control, LPCSTR name, bool textFollows) {
    Speaker* speaker = SpeakFor(control.m_hWnd);
    if (!speaker) return;
    speaker->name = name;
    speaker->named = true;
    speaker->textFollows = textFollows;
}

void AfxSetLiveRegion(CWnd& control) {
    Speaker* speaker = SpeakFor(control.m_hWnd);
    IAccPropServices* services = speaker ? PropServices() : nullptr;
    if (!services) return;
    VARIANT polite{};
    polite.vt = VT_I4;
    polite.lVal = kPolite;
    speaker->live =
        SUCCEEDED(services->SetHwndProp(control.m_hWnd, OBJID_CLIENT, CHILDID_SELF, kLiveSetting, polite));
}

void AfxNotifyNewText(CWnd& control) {
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control.m_hWnd, OBJID_CLIENT, CHILDID_SELF);
    const Speaker* speaker = SpeakerOf(control.m_hWnd);
    if (speaker && speaker->live) {
        NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, control.m_hWnd, OBJID_CLIENT, CHILDID_SELF);
    }
}
