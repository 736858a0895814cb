// Tessary Lookup: the station with the typed Tessary number.
#pragma once

#include "afxwin.h"
#include "station_table.h"

class CTessaryLookupDlg : public CDialog {
public:
    explicit CTessaryLookupDlg(CWnd* pParent = nullptr);
    void SetStationTable(const StationTable* pTable) { m_pStationTable = pTable; }

protected:
    CEdit m_numberEdit;
    CStatic m_stationName;
    const StationTable* m_pStationTable = nullptr;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    afx_msg void OnLookup();

    DECLARE_MESSAGE_MAP()
};
