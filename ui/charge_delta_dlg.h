// Charge Delta Calculator: two station lists, their currents, and To minus From.
#pragma once

#include "afxwin.h"
#include "station_table.h"

class CChargeDeltaDlg : public CDialog {
public:
    explicit CChargeDeltaDlg(CWnd* pParent = nullptr);
    void SetStationTable(const StationTable* pTable) { m_pStationTable = pTable; }

protected:
    CStatic m_fromCurrent;
    CComboBox m_toCombo;
    CComboBox m_fromCombo;
    CStatic m_delta;
    CStatic m_toCurrent;
    const StationTable* m_pStationTable = nullptr;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    afx_msg void OnSelchangeFromCombo();
    afx_msg void OnSelchangeToCombo();

private:
    static void AddStation(CComboBox& list, const CString& name, int station);
    void ShowSelectedCurrent(const CComboBox& list, CStatic& current);
    void UpdateDelta();

    DECLARE_MESSAGE_MAP()
};
