#include "charge_delta_dlg.h"

#include "afxacc.h"
#include "resource.h"
#include "station_queries.h"

BEGIN_MESSAGE_MAP(CChargeDeltaDlg, CDialog)
ON_CBN_SELCHANGE(IDC_FROM_COMBO, OnSelchangeFromCombo)
ON_CBN_SELCHANGE(IDC_TO_COMBO, OnSelchangeToCombo)
// A dropped list may show another entry when it closes than its last
// selection change said (Wine moves the selection under the pointer without
// telling, and keeps it on cancel): read it again then. A list also cancels
// when it loses the focus; a figure that stays the same is not announced.
ON_CBN_CLOSEUP(IDC_FROM_COMBO, OnSelchangeFromCombo)
ON_CBN_SELENDCANCEL(IDC_FROM_COMBO, OnSelchangeFromCombo)
ON_CBN_CLOSEUP(IDC_TO_COMBO, OnSelchangeToCombo)
ON_CBN_SELENDCANCEL(IDC_TO_COMBO, OnSelchangeToCombo)
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
        AddStation(m_fromCombo, name, index);
        AddStation(m_toCombo, name, index);
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

// A name the list could not take (CB_ERR, CB_ERRSPACE) gets no item data:
// index -1 would give every entry this station.
void CChargeDeltaDlg::AddStation(CComboBox& list, const CString& name, int station) {
    const int entry = list.AddString(name);
    if (entry >= 0) list.SetItemData(entry, static_cast<DWORD_PTR>(station));
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
    // Item data is only a number kept in the control: never index the table
    // with one that is not a station's.
    const DWORD_PTR station = list.GetItemData(selected);
    if (station >= static_cast<DWORD_PTR>(NUM_STATIONS)) return;
    AfxShowText(current, CurrentText(m_pStationTable->GetStationCurrent(static_cast<int>(station))));
}

void CChargeDeltaDlg::UpdateDelta() {
    CString fromText, toText, delta;
    m_fromCurrent.GetWindowText(fromText);
    m_toCurrent.GetWindowText(toText);
    if (DeltaText(fromText, toText, delta)) AfxShowText(m_delta, delta);
}
