// A reader in another process asks a control for its accessible object with
// WM_GETOBJECT. A control given a name is subclassed to answer with the
// system's standard object for it, wrapped so that the name is the program's;
// everything else is the standard object's own. The system's accessibility and
// COM libraries are loaded at run time, from the system's folder, when the
// first reader asks: the program imports nothing beyond KERNEL32, USER32, GDI32
// and the C library, and a run that no reader hears loads none of them.
#include "afxacc.h"

#include <oleacc.h>

#include <cstdlib>
#include <cstring>
#include <iterator>
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
    BSTR(WINAPI* SysAllocStringLen)(const OLECHAR*, UINT);
    HRESULT(WINAPI* CoDisconnectObject)(LPUNKNOWN, DWORD);
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

// Loaded when the first reader asks, on the thread that runs the dialogs, and
// kept: a reader may hold an object of ours after its window has gone. A
// named object needs all four functions of Api.
Api g_api;
bool g_namesHeard = false;
IAccPropServices* g_services = nullptr;  // the annotation service; null where there is none

void LoadAccessibility() {
    const HMODULE ole32 = LoadSystemLibrary("ole32.dll"), oleacc = LoadSystemLibrary("oleacc.dll");
    Find(oleacc, "CreateStdAccessibleObject", g_api.CreateStdAccessibleObject);
    Find(oleacc, "LresultFromObject", g_api.LresultFromObject);
    Find(ole32, "CoDisconnectObject", g_api.CoDisconnectObject);
    Find(LoadSystemLibrary("oleaut32.dll"), "SysAllocStringLen", g_api.SysAllocStringLen);
    g_namesHeard = g_api.CreateStdAccessibleObject && g_api.LresultFromObject && g_api.CoDisconnectObject &&
                   g_api.SysAllocStringLen;
    HRESULT(WINAPI * create)(REFCLSID, LPUNKNOWN, DWORD, REFIID, void**);
    Find(ole32, "CoCreateInstance", create);
    // A reader's calls reach the objects through COM, which the thread
    // joins as a single-threaded apartment: the calls then come in as
    // messages that the dialogs' own loops dispatch.
    HRESULT(WINAPI * initialize)(void*, DWORD);
    Find(ole32, "CoInitializeEx", initialize);
    if (initialize) initialize(nullptr, COINIT_APARTMENTTHREADED);
    if (create && FAILED(create(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                                reinterpret_cast<void**>(&g_services))))
        g_services = nullptr;
}

// ---- The named object ---------------------------------------------------------

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

class NamedAccessible;

// What a subclassed control keeps, in its user data, until it is destroyed.
struct Speaker {
    WNDPROC previous = nullptr;
    CString name;
    bool named = false;
    bool textFollows = false;
    bool live = false;                  // announced when its text changes
    bool annotated = false;             // marked live with the annotation service
    NamedAccessible* object = nullptr;  // made when a reader first asks
};

// The standard object of a control, answering its own name with the
// program's. One for each control, given to every reader that asks, until the
// control is destroyed; then COM cuts every reader's hold on it, so that each
// call a reader makes fails, and lets go of it.
class NamedAccessible final : public IAccessible {
public:
    NamedAccessible(HWND window, const Speaker* speaker) : m_window(window), m_speaker(speaker) {}
    ~NamedAccessible() {
        if (m_typeInfo) m_typeInfo->Release();
        if (m_standard) m_standard->Release();
    }

    // Made whole with the system's standard object of the control.
    bool Connect() {
        return SUCCEEDED(g_api.CreateStdAccessibleObject(m_window, OBJID_CLIENT, kIAccessible,
                                                         reinterpret_cast<void**>(&m_standard)));
    }

    void Disconnect() {
        m_speaker = nullptr;
        g_api.CoDisconnectObject(this, 0);
    }

    // Itself as IUnknown, IDispatch and IAccessible; the window it stands for
    // and its list of children as the standard object gives them; nothing
    // else, so that no other way leads round the name.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        static const IID* const kAnswered[] = {&kIUnknown, &kIDispatch, &kIAccessible, &kIOleWindow,
                                               &kIEnumVARIANT};
        constexpr int kItsOwn = 3;  // the first three; the others are the standard object's
        if (!object) return E_POINTER;
        *object = nullptr;
        for (int i = 0; i < static_cast<int>(std::size(kAnswered)); ++i) {
            if (!IsEqualIID(iid, *kAnswered[i])) continue;
            if (i >= kItsOwn) return m_standard->QueryInterface(iid, object);
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&m_references));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0) Destroy(this);
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child)) return m_standard->get_accName(child, name);
        if (!name) return E_POINTER;
        *name = nullptr;
        // Its control gone: COM has cut off the readers of other processes,
        // and a caller in this one is told the same.
        if (!m_speaker) return CO_E_OBJNOTCONNECTED;
        *name = SpokenName();
        return *name ? S_OK : S_FALSE;
    }

    // A client that reads properties through IDispatch (a script) reaches
    // them through the type information, which calls this object's own
    // methods: the name is the same either way.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return m_standard->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return m_standard->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        ITypeInfo* info = TypeInfo(locale);
        return info ? info->GetIDsOfNames(names, count, ids) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override {
        ITypeInfo* info = TypeInfo(locale);
        return info ? info->Invoke(static_cast<IAccessible*>(this), id, flags, params, result, exception,
                                   badArgument)
                    : E_NOTIMPL;
    }

    // Everything else is the standard object's.
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
    // The standard object's type information, asked for once; null where it
    // has none.
    ITypeInfo* TypeInfo(LCID locale) {
        if (!m_typeInfo && FAILED(m_standard->GetTypeInfo(0, locale, &m_typeInfo))) m_typeInfo = nullptr;
        return m_typeInfo;
    }

    // The name, then a space and the window's text, exactly as shown, when
    // that follows it; null when both are empty.
    BSTR SpokenName() const {
        // A character of the system's code page, one byte or two, is never
        // more than one UTF-16 unit.
        const CString& own = m_speaker->name;
        const int nameLength = own.GetLength();
        const int textLength = m_speaker->textFollows ? GetWindowTextLengthW(m_window) : 0;
        wchar_t* spoken = static_cast<wchar_t*>(std::malloc(sizeof(wchar_t) * (nameLength + textLength + 2)));
        if (!spoken) return nullptr;
        int length = MultiByteToWideChar(CP_ACP, 0, own, nameLength, spoken, nameLength);
        if (textLength > 0) {
            if (length > 0) spoken[length++] = L' ';
            length += GetWindowTextW(m_window, spoken + length, textLength + 1);
        }
        BSTR name = length > 0 ? g_api.SysAllocStringLen(spoken, static_cast<UINT>(length)) : nullptr;
        std::free(spoken);
        return name;
    }

    LONG m_references = 1;
    IAccessible* m_standard = nullptr;
    ITypeInfo* m_typeInfo = nullptr;
    HWND m_window;
    const Speaker* m_speaker;  // its control's, while that lives
};

// ---- The controls spoken for ------------------------------------------------------

// The control's user data is the program's to use (the system's controls keep
// their own state elsewhere), and reading it is a look into the window's own
// memory: a window property would cost a server round trip under Wine on every
// message the control gets.
Speaker* SpeakerOf(HWND window) {
    return reinterpret_cast<Speaker*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// Set once the first reader has asked, for the rest of the process.
bool g_readerPresent = false;

// The dialog whose work waits for a reader, and that work. Modal dialogs
// open one over another, and few of them wait: one slot will do.
HWND g_waitingDialog = nullptr;
void (*g_waitingWork)(HWND dialog) = nullptr;

// The control's named object, made on the first question. The reader takes
// its own reference; the object lives while it is held.
LRESULT AnswerWithName(HWND window, Speaker& speaker, WPARAM wParam) {
    if (!g_namesHeard) return 0;
    if (!speaker.object) {
        NamedAccessible* named = Make<NamedAccessible>(window, &speaker);
        if (!named) return 0;
        if (!named->Connect()) {
            named->Release();
            return 0;
        }
        speaker.object = named;
    }
    return g_api.LresultFromObject(kIAccessible, wParam, speaker.object);
}

// Tells the annotation service that a live control is polite. Where it
// refuses (Windows 7, Wine), the control is announced all the same.
void Annotate(HWND window, Speaker& speaker) {
    if (!speaker.live || !g_services) return;
    VARIANT polite{};
    polite.vt = VT_I4;
    polite.lVal = kPolite;
    speaker.annotated =
        SUCCEEDED(g_services->SetHwndProp(window, OBJID_CLIENT, CHILDID_SELF, kLiveSetting, polite));
}

BOOL CALLBACK AnnotateControl(HWND window, LPARAM) {
    if (Speaker* speaker = SpeakerOf(window)) Annotate(window, *speaker);
    return TRUE;
}

BOOL CALLBACK AnnotateControlsOf(HWND window, LPARAM) {
    EnumChildWindows(window, AnnotateControl, 0);
    return TRUE;
}

LRESULT CALLBACK SpeakerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Speaker* speaker = SpeakerOf(window);
    const WNDPROC previous = speaker->previous;
    if (message == WM_GETOBJECT) {
        AfxReaderAsked();
        if (speaker->named && static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
            const LRESULT answer = AnswerWithName(window, *speaker, wParam);
            if (answer > 0) return answer;
        }
    } else if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        if (NamedAccessible* object = speaker->object) {
            object->Disconnect();
            object->Release();
        }
        if (speaker->annotated)
            g_services->ClearHwndProps(window, OBJID_CLIENT, CHILDID_SELF, &kLiveSetting, 1);
        Destroy(speaker);
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

// The control's speaker, made and the control subclassed on first use: it
// answers a reader's first question itself.
Speaker* SpeakFor(HWND window) {
    Speaker* speaker = SpeakerOf(window);
    if (speaker || !window) return speaker;
    speaker = Make<Speaker>();
    if (!speaker) return nullptr;
    speaker->previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(speaker));
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
    if (!speaker) return;
    speaker->live = true;
    if (g_readerPresent) Annotate(control.m_hWnd, *speaker);
}

void AfxShowText(CWnd& control, LPCSTR text) {
    const int length = GetWindowTextLengthA(control.m_hWnd);
    char* shown = static_cast<char*>(std::malloc(length + 1));
    const bool same =
        shown && GetWindowTextA(control.m_hWnd, shown, length + 1) == length && std::strcmp(shown, text) == 0;
    std::free(shown);
    if (same) return;
    control.SetWindowText(text);
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control.m_hWnd, OBJID_CLIENT, CHILDID_SELF);
    const Speaker* speaker = SpeakerOf(control.m_hWnd);
    if (speaker && speaker->live) {
        NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, control.m_hWnd, OBJID_CLIENT, CHILDID_SELF);
    }
}

void AfxWhenReaderPresent(CWnd& dialog, void (*work)(HWND dialog)) {
    if (!g_readerPresent && !IsWindow(g_waitingDialog)) {
        g_waitingDialog = dialog.m_hWnd;
        g_waitingWork = work;
    } else {
        work(dialog.m_hWnd);  // a reader is here already (or, unlikely, another dialog waits)
    }
}

void AfxReaderAsked() {
    if (g_readerPresent) return;
    g_readerPresent = true;
    LoadAccessibility();
    EnumThreadWindows(GetCurrentThreadId(), AnnotateControlsOf, 0);
    if (IsWindow(g_waitingDialog)) g_waitingWork(g_waitingDialog);
}
