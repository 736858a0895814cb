// The About box: the product's icon and name strip, closed with OK.
#pragma once

#include "afxwin.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

protected:
    BOOL OnInitDialog() override;

    DECLARE_MESSAGE_MAP()
};
