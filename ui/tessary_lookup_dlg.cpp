#include "tessary_lookup_dlg.h"

#include "afxacc.h"
#include "resource.h"
#include "station_queries.h"

BEGIN_MESSAGE_MAP(CTessaryLookupDlg, CDialog)
ON_BN_CLICKED(IDC_LOOKUP, OnLookup)
END_MESSAGE_MAP()

CTessaryLookupDlg::CTessaryLookupDlg(CWnd* pParent) : CDialog(IDD_TESSARY_LOOKUP, pParent) {}

void CTessaryLookupDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_NUMBER_EDIT, m_numberEdit);
    DDX_Control(pDX, IDC_STATION_NAME, m_stationName);
}

BOOL CTessaryLookupDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // Its label comes after the field in window order, where a screen reader
    // does not look for it; the answer is read out as soon as it shows, as it
    // shows ("&" included: the system's own reading takes it for a mnemonic).
    AfxSetAccessibleName(m_numberEdit, "Tessary Number");
    AfxSetAccessibleName(m_stationName, "", true);
    AfxSetLiveRegion(m_stationName);
    return TRUE;
}

void CTessaryLookupDlg::OnLookup() {
    CString typed;
    m_numberEdit.GetWindowText(typed);
    AfxShowText(m_stationName, LookupStationText(typed, *m_pStationTable));
}
