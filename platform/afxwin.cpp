#include "afxwin.h"

#include "afxacc.h"
#include "dialog_placement.h"

namespace {
CWinApp* g_app = nullptr;
}  // namespace

// ---- Message maps ----------------------------------------------------------------

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, AfxSig_end, {nullptr}}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

bool CCmdTarget::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nSig != AfxSig_end; ++entry) {
            if (entry->nMessage != message) continue;
            if (message == WM_COMMAND && (entry->nID != LOWORD(wParam) || entry->nCode != HIWORD(wParam)))
                continue;
            switch (entry->nSig) {
                case AfxSig_v_v:
                    (this->*entry->handler.pfn_v_v)();
                    break;
                case AfxSig_v_u_l:
                    (this->*entry->handler.pfn_v_u_l)(static_cast<UINT>(wParam), lParam);
                    break;
                case AfxSig_hc_v:
                    *result = reinterpret_cast<LRESULT>((this->*entry->handler.pfn_hc_v)());
                    break;
                case AfxSig_l_w_l:
                    *result = (this->*entry->handler.pfn_l_w_l)(wParam, lParam);
                    break;
                case AfxSig_end:
                    break;
            }
            return true;
        }
    }
    return false;
}

// ---- Application -------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp() {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

HICON CWinApp::LoadIcon(UINT id) const {
    LPCSTR name = MAKEINTRESOURCEA(id);
    return ::LoadIconA(AfxFindResourceHandle(name, RT_GROUP_ICON), name);
}

// There is no help file: the standard Help command is accepted and shows nothing.
void CWinApp::OnHelp() {}

CWinApp* AfxGetApp() {
    return g_app;
}

HINSTANCE AfxGetResourceHandle() {
    return GetModuleHandleA(nullptr);
}

// Every resource of the program lives in its own executable.
HINSTANCE AfxFindResourceHandle(LPCSTR, LPCSTR) {
    return AfxGetResourceHandle();
}

// The program hosts no ActiveX controls, so there is no container to set up.
void AfxEnableControlContainer() {}

// ---- Windows and controls -----------------------------------------------------------

CMenu* CMenu::FromHandle(HMENU menu) {
    // A few wrappers, taken in turn: two menus wrapped one after the other
    // never share one.
    constexpr unsigned kWrappers = 8;
    static CMenu wrappers[kWrappers];
    static unsigned next = 0;
    if (!menu) return nullptr;
    for (CMenu& wrapper : wrappers) {
        if (wrapper.m_hMenu == menu) return &wrapper;
    }
    CMenu& wrapper = wrappers[next++ % kWrappers];
    wrapper.m_hMenu = menu;
    return &wrapper;
}

void CWnd::GetWindowText(CString& text) const {
    const int length = GetWindowTextLengthA(m_hWnd);
    char* buffer = text.GetBufferSetLength(length);
    if (length > 0) ::GetWindowTextA(m_hWnd, buffer, length + 1);
    text.ReleaseBuffer();
}

// Inside a dialog procedure the default processing is the dialog manager's own,
// which runs when the procedure reports the message as not handled; Default()
// asks for exactly that once the handler returns.
LRESULT CWnd::Default() {
    m_defaultRequested = true;
    return 0;
}

CPaintDC::CPaintDC(CWnd* window) : m_hWnd(window->m_hWnd) {
    m_hDC = BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC() {
    EndPaint(m_hWnd, &m_ps);
}

// ---- Dialogs ------------------------------------------------------------------------

// Bound anew on every exchange: a dialog object run again gets its new
// window's controls, not the last run's destroyed ones.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    control.m_hWnd = GetDlgItem(pDX->m_pDlgWnd->m_hWnd, id);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return TRUE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

INT_PTR CDialog::DoModal() {
    // A dialog with no parent of its own belongs to the last active pop-up of
    // the application's main window: the dialog open over it, if any, else the
    // main window itself. The dialog manager disables the owner for the modal
    // loop and enables it again when the dialog ends, so a dialog opened while
    // another is open must not be owned by the main window, which would then
    // take input again under the first.
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    CWinApp* app = AfxGetApp();
    if (!owner && app && app->m_pMainWnd && app->m_pMainWnd != this && app->m_pMainWnd->m_hWnd) {
        owner = GetLastActivePopup(app->m_pMainWnd->m_hWnd);
    }
    const INT_PTR result = DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), owner,
                                           DialogProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return result;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // A screen reader asks a dialog for its object before it reads the
    // dialog's controls: the system answers, once the program is ready for it.
    if (message == WM_GETOBJECT) AfxReaderAsked();
    if (message == WM_INITDIALOG) {
        CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        dialog->m_hWnd = window;
        const BOOL focusFirst = dialog->OnInitDialog();
        // A hidden template is placed over its owner before the dialog manager
        // shows it; a visible one keeps the position its template gives.
        if (!dialog->TemplateIsVisible()) dialog->CenterOverOwner();
        return focusFirst;
    }
    CDialog* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    return dialog ? dialog->HandleMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // A handler may run a nested modal loop that dispatches more messages to
    // this window; each message keeps its own request for default processing.
    const bool outerRequest = m_defaultRequested;
    m_defaultRequested = false;
    LRESULT result = 0;
    bool handled = OnWndMsg(message, wParam, lParam, &result);
    if (!handled && message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        // Unmapped commands: the default OK and Cancel (Enter, Esc, the close
        // box), then the application's own map (the Help command).
        handled = true;
        if (LOWORD(wParam) == IDOK) {
            OnOK();
        } else if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
        } else {
            handled = AfxGetApp() && AfxGetApp()->OnWndMsg(message, wParam, lParam, &result);
        }
    }
    const bool wantsDefault = m_defaultRequested;
    m_defaultRequested = outerRequest;
    if (!handled || wantsDefault) return FALSE;
    // WM_QUERYDRAGICON, alone of the messages a map can name, returns its
    // result from the dialog procedure itself; the rest use DWLP_MSGRESULT.
    if (message == WM_QUERYDRAGICON) return static_cast<INT_PTR>(result);
    SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

// Read from the template itself: while WM_INITDIALOG runs, the dialog manager
// has not yet shown even a visible template's window.
bool CDialog::TemplateIsVisible() const {
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(m_nIDTemplate), RT_DIALOG);
    const WORD* words =
        resource ? static_cast<const WORD*>(LockResource(LoadResource(module, resource))) : nullptr;
    if (!words) return false;
    // An extended template starts with version 1 and signature 0xFFFF, and
    // keeps its style after the help id and extended style.
    const bool extended = words[0] == 1 && words[1] == 0xFFFF;
    const DWORD style = extended ? MAKELONG(words[6], words[7]) : MAKELONG(words[0], words[1]);
    return (style & WS_VISIBLE) != 0;
}

void CDialog::CenterOverOwner() {
    HWND owner = GetWindow(m_hWnd, GW_OWNER);
    // The dialog stays on its owner's monitor, the one the user is looking at
    // (for an iconic owner, the one it is restored to), inside its work area.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(owner ? owner : m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
    RECT over{}, box{};
    const bool ownerUsable = owner && IsWindowVisible(owner) && !::IsIconic(owner);
    if (ownerUsable) GetWindowRect(owner, &over);
    GetWindowRect(m_hWnd, &box);
    const RECT& work = monitor.rcWork;
    const ScreenPoint at =
        CentredPlacement({over.left, over.top, over.right, over.bottom}, ownerUsable, box.right - box.left,
                         box.bottom - box.top, {work.left, work.top, work.right, work.bottom});
    SetWindowPos(m_hWnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
