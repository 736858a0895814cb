#include "token_table_dlg.h"

#include <span>

#include "afxacc.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CTokenTableDlg, CDialog)
END_MESSAGE_MAP()

CTokenTableDlg::CTokenTableDlg(CWnd* pParent) : CDialog(IDD_TOKEN_TABLE, pParent) {}

void CTokenTableDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
}

namespace {

// A screen reader reads a dialog in window order, which the template gives by
// column: every situation, then every award. Each award (left-aligned) is put
// straight after the situation (right-aligned) on its line, so that the table
// reads row by row. Nothing moves on screen, and none of them is a tab stop.
// Each control's kind and line are read once: under Wine every such question
// is a round trip to its server.
void PutInReadingOrder(HWND dialog) {
    struct Cell {
        HWND window;
        DWORD kind;
        LONG top;
    } cells[64];
    int count = 0;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child && count < 64;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        ::GetWindowRect(child, &rect);
        cells[count++] = {child, static_cast<DWORD>(::GetWindowLongA(child, GWL_STYLE)) & SS_TYPEMASK,
                          rect.top};
    }
    for (const Cell& situation : std::span(cells, count)) {
        if (situation.kind != SS_RIGHT) continue;
        for (const Cell& award : std::span(cells, count)) {
            if (award.kind == SS_LEFT && award.top == situation.top) {
                ::SetWindowPos(award.window, situation.window, 0, 0, 0, 0,
                               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOOWNERZORDER);
                break;
            }
        }
    }
}

}  // namespace

// Only a reader needs the order: with none, the table opens as its template is.
BOOL CTokenTableDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    AfxWhenReaderPresent(*this, PutInReadingOrder);
    return TRUE;
}
