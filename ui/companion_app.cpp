#include "companion_app.h"

#include "companion_dlg.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CCompanionApp, CWinApp)
ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CCompanionApp::CCompanionApp() {}

// The one application object.
CCompanionApp theApp;

BOOL CCompanionApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControls();
    // The dialogs' face. Windows has it; where the system lacks one (Wine),
    // the program's own bitmap copy stands in, for this process only.
    AfxAddFontWhereMissing(AfxGetResourceHandle(), "MS Serif", IDR_SERIF_FONT);

    CCompanionDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();

    // The launcher has closed: end the program rather than start a message loop.
    return FALSE;
}
