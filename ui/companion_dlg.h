// The launcher: one icon button per tool, and the owner of the station table.
#pragma once

#include "afxwin.h"
#include "station_table.h"

class CCompanionDlg : public CDialog {
public:
    explicit CCompanionDlg(CWnd* pParent = nullptr);

protected:
    CButton m_tokenTableButton;
    CButton m_tessaryLookupButton;
    CButton m_currentFinderButton;
    CStatic m_tessaryLookupTitle;
    CStatic m_currentFinderTitle;
    CStatic m_chargeDeltaTitle;
    CButton m_chargeDeltaButton;
    HICON m_hIcon;
    HICON m_hChargeDeltaIcon;
    HICON m_hTessaryLookupIcon;
    HICON m_hCurrentFinderIcon;
    HICON m_hTokenTableIcon;
    StationTable m_stationTable;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnTessaryLookupButton();
    afx_msg void OnCurrentFinderButton();
    afx_msg void OnChargeDeltaButton();
    afx_msg void OnTokenTableButton();
    afx_msg LRESULT OnGetDefID(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
