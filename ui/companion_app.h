// The application: runs the launcher and ends the program when it closes.
#pragma once

#include "afxwin.h"

class CCompanionApp : public CWinApp {
public:
    CCompanionApp();
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};
