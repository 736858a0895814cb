#include "charge_delta_dlg.h"

#include "afxacc.h"
#include "resource.h"
#include "station_queries.h"

BEGIN_MESSAGE_MAP(CChargeDeltaDlg, CDialog)
ON_CBN_SELCHANGE(IDC_FROM_COMBO, OnSelchangeFromCombo)
ON_CBN_SELCHANGE(IDC_TO_COMBO, OnSelchangeToCombo)
END_MESSAGE_MAP()

CChargeDeltaDlg::CChargeDeltaDlg(CWnd* pParent) : CDialog(IDD_CHARGE_DELTA, pParent) {}

void CChargeDeltaDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FROM_CURRENT, m_fromCurrent);
    DDX_Control(pDX, IDC_TO_COMBO, m_toCombo);
    DDX_Control(pDX, IDC_FROM_COMBO, m_fromCombo);
    DDX_Control(pDX, IDC_DELTA, m_delta);
    DDX_Control(pDX, IDC_TO_CURRENT, m_toCurrent);
}

BOOL CChargeDeltaDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    // The lists sort themselves, so an entry's place says nothing of its
    // station: each entry carries its station's index as item data.
    for (int index = 0; index < NUM_STATIONS; ++index) {
        const CString name = m_pStationTable->GetStationName(index);
        m_fromCombo.SetItemData(m_fromCombo.AddString(name), static_cast<DWORD_PTR>(index));
        m_toCombo.SetItemData(m_toCombo.AddString(name), static_cast<DWORD_PTR>(index));
    }
    // For screen readers: the labels come after the lists in window order,
    // where a reader does not look for them, and the figures have none. Each
    // figure is read with its name and as soon as it changes.
    AfxSetAccessibleName(m_fromCombo, "From");
    AfxSetAccessibleName(m_toCombo, "To");
    AfxSetAccessibleName(m_fromCurrent, "From current", true);
    AfxSetAccessibleName(m_toCurrent, "To current", true);
    AfxSetAccessibleName(m_delta, "Delta", true);
    AfxSetLiveRegion(m_fromCurrent);
    AfxSetLiveRegion(m_toCurrent);
    AfxSetLiveRegion(m_delta);
    return TRUE;
}

void CChargeDeltaDlg::OnSelchangeFromCombo() {
    ShowSelectedCurrent(m_fromCombo, m_fromCurrent);
    UpdateDelta();
}

void CChargeDeltaDlg::OnSelchangeToCombo() {
    ShowSelectedCurrent(m_toCombo, m_toCurrent);
    UpdateDelta();
}

void CChargeDeltaDlg::ShowSelectedCurrent(const CComboBox& list, CStatic& current) {
    const int selected = list.GetCurSel();
    if (selected == CB_ERR) return;
    const int station = static_cast<int>(list.GetItemData(selected));
    current.SetWindowText(CurrentText(m_pStationTable->GetStationCurrent(station)));
    AfxNotifyNewText(current);
}

void CChargeDeltaDlg::UpdateDelta() {
    CString fromText, toText, delta;
    m_fromCurrent.GetWindowText(fromText);
    m_toCurrent.GetWindowText(toText);
    if (DeltaText(fromText, toText, delta)) {
        m_delta.SetWindowText(delta);
        AfxNotifyNewText(m_delta);
    }
}
