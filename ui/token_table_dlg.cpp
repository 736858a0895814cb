#include "token_table_dlg.h"

#include "resource.h"

BEGIN_MESSAGE_MAP(CTokenTableDlg, CDialog)
END_MESSAGE_MAP()

CTokenTableDlg::CTokenTableDlg(CWnd* pParent) : CDialog(IDD_TOKEN_TABLE, pParent) {}

void CTokenTableDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
}

namespace {

DWORD Kind(HWND control) {
    return static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE)) & SS_TYPEMASK;
}

LONG Top(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    return rect.top;
}

}  // namespace

// A screen reader reads a dialog in window order, which the template gives by
// column: every situation, then every award. Each award (left-aligned) is put
// straight after the situation (right-aligned) on its line, so that the table
// reads row by row. Nothing moves on screen, and none of them is a tab stop.
BOOL CTokenTableDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    for (HWND situation = ::GetWindow(m_hWnd, GW_CHILD); situation;
         situation = ::GetWindow(situation, GW_HWNDNEXT)) {
        if (Kind(situation) != SS_RIGHT) continue;
        for (HWND award = ::GetWindow(m_hWnd, GW_CHILD); award; award = ::GetWindow(award, GW_HWNDNEXT)) {
            if (Kind(award) == SS_LEFT && Top(award) == Top(situation)) {
                SetWindowPos(award, situation, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOOWNERZORDER);
                break;
            }
        }
    }
    return TRUE;
}
