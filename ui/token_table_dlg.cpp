#include "token_table_dlg.h"

#include "resource.h"

BEGIN_MESSAGE_MAP(CTokenTableDlg, CDialog)
END_MESSAGE_MAP()

CTokenTableDlg::CTokenTableDlg(CWnd* pParent) : CDialog(IDD_TOKEN_TABLE, pParent) {}

void CTokenTableDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
}
