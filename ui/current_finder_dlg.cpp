#include "current_finder_dlg.h"

#include "afxacc.h"
#include "resource.h"
#include "station_queries.h"

BEGIN_MESSAGE_MAP(CCurrentFinderDlg, CDialog)
ON_BN_CLICKED(IDC_FIND, OnFind)
END_MESSAGE_MAP()

CCurrentFinderDlg::CCurrentFinderDlg(CWnd* pParent) : CDialog(IDD_CURRENT_FINDER, pParent) {}

void CCurrentFinderDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CURRENT_EDIT, m_currentEdit);
    DDX_Control(pDX, IDC_FOUND_STATIONS, m_foundStations);
}

BOOL CCurrentFinderDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // Its label comes after the field in window order, where a screen reader
    // does not look for it; the answer is read out as soon as it shows, as it
    // shows ("&" included: the system's own reading takes it for a mnemonic).
    AfxSetAccessibleName(m_currentEdit, "Current");
    AfxSetAccessibleName(m_foundStations, "", true);
    AfxSetLiveRegion(m_foundStations);
    return TRUE;
}

void CCurrentFinderDlg::OnFind() {
    CString typed;
    m_currentEdit.GetWindowText(typed);
    AfxShowText(m_foundStations, FindStationsText(typed, *m_pStationTable));
}
