#include "companion_app.h"

#include "companion_dlg.h"

BEGIN_MESSAGE_MAP(CCompanionApp, CWinApp)
ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CCompanionApp::CCompanionApp() {}

// The one application object.
CCompanionApp theApp;

BOOL CCompanionApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControls();

    CCompanionDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();

    // The launcher has closed: end the program rather than start a message loop.
    return FALSE;
}
