#include "companion_dlg.h"

#include "about_dlg.h"
#include "charge_delta_dlg.h"
#include "current_finder_dlg.h"
#include "resource.h"
#include "tessary_lookup_dlg.h"
#include "token_table_dlg.h"

BEGIN_MESSAGE_MAP(CCompanionDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_TESSARY_LOOKUP_BUTTON, OnTessaryLookupButton)
ON_BN_CLICKED(IDC_CURRENT_FINDER_BUTTON, OnCurrentFinderButton)
ON_BN_CLICKED(IDC_CHARGE_DELTA_BUTTON, OnChargeDeltaButton)
ON_BN_CLICKED(IDC_TOKEN_TABLE_BUTTON, OnTokenTableButton)
ON_MESSAGE(DM_GETDEFID, OnGetDefID)
END_MESSAGE_MAP()

CCompanionDlg::CCompanionDlg(CWnd* pParent) : CDialog(IDD_COMPANION_DIALOG, pParent) {
    // Loaded once; the system owns icon resources, so they are never freed.
    m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
    m_hChargeDeltaIcon = AfxGetApp()->LoadIcon(IDI_CHARGE_DELTA);
    m_hCurrentFinderIcon = AfxGetApp()->LoadIcon(IDI_CURRENT_FINDER);
    m_hTessaryLookupIcon = AfxGetApp()->LoadIcon(IDI_TESSARY_LOOKUP);
    m_hTokenTableIcon = AfxGetApp()->LoadIcon(IDI_TOKEN_TABLE);
}

void CCompanionDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_TOKEN_TABLE_BUTTON, m_tokenTableButton);
    DDX_Control(pDX, IDC_TESSARY_LOOKUP_BUTTON, m_tessaryLookupButton);
    DDX_Control(pDX, IDC_CURRENT_FINDER_BUTTON, m_currentFinderButton);
    DDX_Control(pDX, IDC_TESSARY_LOOKUP_TITLE, m_tessaryLookupTitle);
    DDX_Control(pDX, IDC_CURRENT_FINDER_TITLE, m_currentFinderTitle);
    DDX_Control(pDX, IDC_CHARGE_DELTA_TITLE, m_chargeDeltaTitle);
    DDX_Control(pDX, IDC_CHARGE_DELTA_BUTTON, m_chargeDeltaButton);
}

BOOL CCompanionDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    CMenu* pSysMenu = GetSystemMenu(FALSE);
    if (pSysMenu) {
        CString strAboutMenu;
        strAboutMenu.LoadString(IDS_ABOUTBOX);
        if (!strAboutMenu.IsEmpty()) {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    m_chargeDeltaButton.SetIcon(m_hChargeDeltaIcon);
    m_currentFinderButton.SetIcon(m_hCurrentFinderIcon);
    m_tessaryLookupButton.SetIcon(m_hTessaryLookupIcon);
    m_tokenTableButton.SetIcon(m_hTokenTableIcon);
    // An icon button draws only its image, but a screen reader announces its
    // window text: each button is named for the tool it opens.
    m_chargeDeltaButton.SetWindowText("Charge Delta Calculator");
    m_currentFinderButton.SetWindowText("Station Current Finder");
    m_tessaryLookupButton.SetWindowText("Tessary Lookup");
    m_tokenTableButton.SetWindowText("Token Collection Table");

    m_stationTable.FillStationTable();

    return TRUE;  // the dialog manager gives the focus to the first tab stop
}

void CCompanionDlg::OnSysCommand(UINT nID, LPARAM) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        Default();
    }
}

// While iconic, the client area shows the application icon, centred.
void CCompanionDlg::OnPaint() {
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);

        const int cxIcon = GetSystemMetrics(SM_CXICON);
        const int cyIcon = GetSystemMetrics(SM_CYICON);
        RECT rect;
        GetClientRect(&rect);
        const int x = (rect.right - rect.left - cxIcon + 1) / 2;
        const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;

        dc.DrawIcon(x, y, m_hIcon);
    } else {
        Default();
    }
}

HCURSOR CCompanionDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}

// Enter asks for the default button when the focused control is not one. A
// tool button that has the focus shows the focus rectangle, yet the dialog
// manager makes it the default only when it moved the focus there itself
// (Tab), not when the focus was put there (at start, or back after a tool
// closed): Enter would then end the launcher. The focused tool button is the
// default; elsewhere the dialog manager answers.
LRESULT CCompanionDlg::OnGetDefID(WPARAM, LPARAM) {
    const HWND focus = ::GetFocus();
    const CButton* const toolButtons[] = {&m_chargeDeltaButton, &m_currentFinderButton,
                                          &m_tessaryLookupButton, &m_tokenTableButton};
    for (const CButton* button : toolButtons) {
        if (focus && focus == button->m_hWnd) return MAKELRESULT(::GetDlgCtrlID(focus), DC_HASDEFID);
    }
    return Default();
}

// Each tool runs modally over the launcher and is gone when it closes.
void CCompanionDlg::OnTessaryLookupButton() {
    CTessaryLookupDlg dlg;
    dlg.SetStationTable(&m_stationTable);
    dlg.DoModal();
}

void CCompanionDlg::OnCurrentFinderButton() {
    CCurrentFinderDlg dlg;
    dlg.SetStationTable(&m_stationTable);
    dlg.DoModal();
}

void CCompanionDlg::OnChargeDeltaButton() {
    CChargeDeltaDlg dlg;
    dlg.SetStationTable(&m_stationTable);
    dlg.DoModal();
}

void CCompanionDlg::OnTokenTableButton() {
    CTokenTableDlg dlg;
    dlg.DoModal();
}
