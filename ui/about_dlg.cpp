#include "about_dlg.h"

#include "afxacc.h"
#include "resource.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
END_MESSAGE_MAP()

namespace {

// The program's version as its version resource gives it, "1.0.0.1"; empty
// when there is none.
CString VersionText() {
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(VS_VERSION_INFO), RT_VERSION);
    const BYTE* bytes =
        resource ? static_cast<const BYTE*>(LockResource(LoadResource(module, resource))) : nullptr;
    // The fixed part follows the resource's three words and its key,
    // L"VS_VERSION_INFO", aligned on four bytes: at byte 40.
    if (!bytes || SizeofResource(module, resource) < 40 + sizeof(VS_FIXEDFILEINFO)) return CString();
    const VS_FIXEDFILEINFO* fixed = reinterpret_cast<const VS_FIXEDFILEINFO*>(bytes + 40);
    if (fixed->dwSignature != 0xFEEF04BD) return CString();
    char text[48];
    wsprintfA(text, "%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
              HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    return CString(text);
}

// The strip's static loads its bitmap from the template at every opening.
// Windows deletes such a bitmap with the static; Wine does not, and would
// keep one more at each opening. The first one loaded is kept for every
// opening, as the icons are, and each later one deleted at once: a bitmap the
// program gives a static is the program's, on either.
void KeepOneStrip(HWND strip) {
    static HGDIOBJ kept;
    const HGDIOBJ loaded = reinterpret_cast<HGDIOBJ>(
        ::SendMessageA(strip, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(kept)));
    if (kept)
        ::DeleteObject(loaded);
    else
        kept = loaded;
    ::SendMessageA(strip, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(kept));
}

}  // namespace

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The box has no title bar, so its window text shows nowhere: it names
    // the box for screen readers.
    const CString version = VersionText();
    SetWindowText(version.IsEmpty() ? CString("About Tarrowby Companion")
                                    : "About Tarrowby Companion " + version);
    // The icon and the strip hold their resource numbers where a text would
    // be, which a reader would read out as characters: the icon is named for
    // the program, and the strip, a decoration, not at all.
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        CStatic picture;
        picture.m_hWnd = child;
        const DWORD kind = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE)) & SS_TYPEMASK;
        if (kind == SS_ICON) AfxSetAccessibleName(picture, "Tarrowby Companion");
        if (kind == SS_BITMAP) {
            AfxSetAccessibleName(picture, "");
            KeepOneStrip(child);
        }
    }
    return TRUE;
}
