#include "current_finder_dlg.h"

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

void CCurrentFinderDlg::OnFind() {
    CString typed;
    m_currentEdit.GetWindowText(typed);
    m_foundStations.SetWindowText(FindStationsText(typed, *m_pStationTable));
}
