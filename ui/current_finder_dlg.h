// Station Current Finder: every station with the typed current.
#pragma once

#include "afxwin.h"
#include "station_table.h"

class CCurrentFinderDlg : public CDialog {
public:
    explicit CCurrentFinderDlg(CWnd* pParent = nullptr);
    void SetStationTable(const StationTable* pTable) { m_pStationTable = pTable; }

protected:
    CEdit m_currentEdit;
    CStatic m_foundStations;
    const StationTable* m_pStationTable = nullptr;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    afx_msg void OnFind();

    DECLARE_MESSAGE_MAP()
};
