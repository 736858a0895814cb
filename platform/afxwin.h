// A thin layer with the shape of the classic framework's dialog classes, over
// plain USER32: an application object, modal dialogs with message maps,
// control wrappers bound by DDX_Control, and a few GDI/menu wrappers. It has
// exactly what the program calls, and knows nothing of what the program does.
#pragma once

#include <windows.h>

#include "afxstr.h"

#ifndef ID_HELP
#define ID_HELP 0xE146  // the framework's standard Help command
#endif

class CCmdTarget;
class CWnd;
class CDialog;
class CWinApp;

// ---- Message maps ----------------------------------------------------------
// Each class with DECLARE_MESSAGE_MAP has a static table of entries; a message
// is looked up in the class's own table, then in its base class's, and so on.

enum AfxSig {
    AfxSig_end,    // end of a table
    AfxSig_v_v,    // void Handler()
    AfxSig_v_u_l,  // void Handler(UINT, LPARAM)
    AfxSig_hc_v,   // HCURSOR Handler()
    AfxSig_l_w_l,  // LRESULT Handler(WPARAM, LPARAM)
};

union AfxHandler {
    void (CCmdTarget::*pfn_v_v)();
    void (CCmdTarget::*pfn_v_u_l)(UINT, LPARAM);
    HCURSOR (CCmdTarget::*pfn_hc_v)();
    LRESULT (CCmdTarget::*pfn_l_w_l)(WPARAM, LPARAM);
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message
    UINT nCode;     // for WM_COMMAND: the notification code
    UINT nID;       // for WM_COMMAND: the control or command id
    AfxSig nSig;
    AfxHandler handler;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// clang-format off
#define DECLARE_MESSAGE_MAP()                    \
public:                                          \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }

#define BEGIN_MESSAGE_MAP(theClass, baseClass)               \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {        \
        using ThisClass [[maybe_unused]] = theClass;         \
        using TheBaseClass = baseClass;                      \
        static const AFX_MSGMAP_ENTRY entries[] = {
#define END_MESSAGE_MAP()                                                      \
        {0, 0, 0, AfxSig_end, {nullptr}}};                                     \
        static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &map;                                                           \
    }

#define AFX_HANDLER(sig, field, type, member) \
    sig, {.field = static_cast<type>(member)}

#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND, 0, (UINT)(id), AFX_HANDLER(AfxSig_v_v, pfn_v_v, void (CCmdTarget::*)(), &ThisClass::memberFxn)},
#define ON_CONTROL(code, id, memberFxn) \
    {WM_COMMAND, (UINT)(code), (UINT)(id), AFX_HANDLER(AfxSig_v_v, pfn_v_v, void (CCmdTarget::*)(), &ThisClass::memberFxn)},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_SELENDCANCEL(id, memberFxn) ON_CONTROL(CBN_SELENDCANCEL, id, memberFxn)
#define ON_MESSAGE(message, memberFxn) \
    {(UINT)(message), 0, 0, AFX_HANDLER(AfxSig_l_w_l, pfn_l_w_l, LRESULT (CCmdTarget::*)(WPARAM, LPARAM), &ThisClass::memberFxn)},
#define ON_WM_SYSCOMMAND() \
    {WM_SYSCOMMAND, 0, 0, AFX_HANDLER(AfxSig_v_u_l, pfn_v_u_l, void (CCmdTarget::*)(UINT, LPARAM), &ThisClass::OnSysCommand)},
#define ON_WM_PAINT() \
    {WM_PAINT, 0, 0, AFX_HANDLER(AfxSig_v_v, pfn_v_v, void (CCmdTarget::*)(), &ThisClass::OnPaint)},
#define ON_WM_QUERYDRAGICON() \
    {WM_QUERYDRAGICON, 0, 0, AFX_HANDLER(AfxSig_hc_v, pfn_hc_v, HCURSOR (CCmdTarget::*)(), &ThisClass::OnQueryDragIcon)},

// clang-format on

#define afx_msg

// The root of every class with a message map.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const { return GetThisMessageMap(); }

    // Calls the handler mapped to the message, if any; true when one was found.
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
};

// ---- Application -------------------------------------------------------------

class CWinApp : public CCmdTarget {
public:
    CWinApp();
    ~CWinApp() override;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }

    HICON LoadIcon(UINT id) const;
    // Every Windows since 95 draws dialogs in 3D itself: nothing to switch on.
    BOOL Enable3dControls() { return TRUE; }

    afx_msg void OnHelp();

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;

    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetResourceHandle();
HINSTANCE AfxFindResourceHandle(LPCSTR name, LPCSTR type);
void AfxEnableControlContainer();
// Where the system has no face named `face`, adds the font file held in the
// RT_RCDATA resource `fontResource` of `module`, for this process only. True
// when the face is there afterwards.
bool AfxAddFontWhereMissing(HMODULE module, LPCSTR face, UINT fontResource);

// ---- Windows and controls ------------------------------------------------------

class CMenu {
public:
    // A wrapper for a menu the program does not own, the same one for the
    // same menu; it stays valid while fewer than eight other menus are
    // wrapped after it. Null for a null handle.
    static CMenu* FromHandle(HMENU menu);
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCSTR item = nullptr) {
        return ::AppendMenuA(m_hMenu, flags, id, item);
    }
    HMENU m_hMenu = nullptr;
};

class CWnd : public CCmdTarget {
public:
    void GetWindowText(CString& text) const;
    void SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
    CMenu* GetSystemMenu(BOOL revert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, revert)); }
    HICON SetIcon(HICON icon, BOOL bigIcon) {
        return reinterpret_cast<HICON>(
            SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }

    // Leaves the message being handled to the system's default processing.
    LRESULT Default();

    HWND m_hWnd = nullptr;

protected:
    bool m_defaultRequested = false;
};

class CButton : public CWnd {
public:
    HICON SetIcon(HICON icon) {
        return reinterpret_cast<HICON>(SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)));
    }
};
class CStatic : public CWnd {};
class CEdit : public CWnd {};
class CComboBox : public CWnd {
public:
    int AddString(LPCSTR text) {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    DWORD_PTR GetItemData(int index) const {
        return static_cast<DWORD_PTR>(SendMessage(CB_GETITEMDATA, index));
    }
    int SetItemData(int index, DWORD_PTR data) {
        return static_cast<int>(SendMessage(CB_SETITEMDATA, index, static_cast<LPARAM>(data)));
    }
};

class CPaintDC {
public:
    explicit CPaintDC(CWnd* window);
    ~CPaintDC();
    operator HDC() const { return m_hDC; }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }
    HDC m_hDC;

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps;
};

// ---- Dialogs ---------------------------------------------------------------------

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Binds a control member to the dialog's control with that id.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr)
        : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

    // Runs the modal loop; returns the value the dialog was ended with.
    virtual INT_PTR DoModal();

protected:
    virtual void DoDataExchange(CDataExchange*) {}
    virtual BOOL OnInitDialog();
    virtual void OnOK() { EndDialog(m_hWnd, IDOK); }
    virtual void OnCancel() { EndDialog(m_hWnd, IDCANCEL); }
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool TemplateIsVisible() const;
    void CenterOverOwner();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
};
