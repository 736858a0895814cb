// Token Collection Table: a fixed reference card; all of it is in its template.
#pragma once

#include "afxwin.h"

class CTokenTableDlg : public CDialog {
public:
    explicit CTokenTableDlg(CWnd* pParent = nullptr);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    DECLARE_MESSAGE_MAP()
};
