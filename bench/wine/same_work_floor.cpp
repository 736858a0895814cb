// The same-work floor for the Wine benchmark: the launcher and the four tools
// doing what Tarrowby visibly does, written the straight way in plain Win32
// (DialogBoxParam and dialog procedures) over the program's own resources.
// The window and button icons, the system menu's About item, the buttons'
// names, both sorted station lists filled with each station's index as item
// data, every dialog centred over its owner within its monitor's work area,
// and the answers. Nothing for screen readers. What Tarrowby spends beyond
// this is what its own way of doing things costs.
#include <windows.h>

#include <algorithm>
#include <initializer_list>

#include "afxwin.h"  // for AfxAddFontWhereMissing alone: the face is added the same way
#include "resource.h"
#include "station_queries.h"

namespace {

StationTable g_stations;

void CentreOverOwner(HWND dialog) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT over, box;
    GetWindowRect(owner, &over);
    GetWindowRect(dialog, &box);
    const RECT& work = monitor.rcWork;
    const LONG width = box.right - box.left, height = box.bottom - box.top;
    LONG x = over.left + (over.right - over.left - width) / 2;
    LONG y = over.top + (over.bottom - over.top - height) / 2;
    x = std::max(work.left, std::min(x, work.right - width));
    y = std::max(work.top, std::min(y, work.bottom - height));
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetText(HWND dialog, int id, const CString& text) {
    SetDlgItemTextA(dialog, id, text);
}

CString ItemText(HWND dialog, int id) {
    char text[64];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return CString(text);
}

// Shows the selected station's current beside `list`, then the delta.
void ShowSelection(HWND dialog, int list, int current) {
    const LRESULT selected = SendDlgItemMessageA(dialog, list, CB_GETCURSEL, 0, 0);
    if (selected != CB_ERR) {
        const LRESULT station = SendDlgItemMessageA(dialog, list, CB_GETITEMDATA, selected, 0);
        if (station >= 0 && station < NUM_STATIONS)
            SetText(dialog, current, CurrentText(g_stations.GetStationCurrent(static_cast<int>(station))));
    }
    CString delta;
    if (DeltaText(ItemText(dialog, IDC_FROM_CURRENT), ItemText(dialog, IDC_TO_CURRENT), delta))
        SetText(dialog, IDC_DELTA, delta);
}

INT_PTR CALLBACK Tool(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            if (lParam == IDD_CHARGE_DELTA) {
                HWND from = GetDlgItem(dialog, IDC_FROM_COMBO), to = GetDlgItem(dialog, IDC_TO_COMBO);
                for (int station = 0; station < NUM_STATIONS; ++station) {
                    const CString name = g_stations.GetStationName(station);
                    for (HWND list : {from, to}) {
                        const LRESULT entry =
                            SendMessageA(list, CB_ADDSTRING, 0, (LPARAM) static_cast<LPCSTR>(name));
                        if (entry >= 0) SendMessageA(list, CB_SETITEMDATA, entry, station);
                    }
                }
            }
            CentreOverOwner(dialog);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                case IDCANCEL:
                    EndDialog(dialog, LOWORD(wParam));
                    return TRUE;
                case IDC_FIND:  // also IDC_LOOKUP: the two answers' dialogs differ
                    if (GetDlgItem(dialog, IDC_FOUND_STATIONS)) {
                        SetText(dialog, IDC_FOUND_STATIONS,
                                FindStationsText(ItemText(dialog, IDC_CURRENT_EDIT), g_stations));
                    } else {
                        SetText(dialog, IDC_STATION_NAME,
                                LookupStationText(ItemText(dialog, IDC_NUMBER_EDIT), g_stations));
                    }
                    return TRUE;
                case IDC_FROM_COMBO:
                    if (HIWORD(wParam) == CBN_SELCHANGE)
                        ShowSelection(dialog, IDC_FROM_COMBO, IDC_FROM_CURRENT);
                    return TRUE;
                case IDC_TO_COMBO:
                    if (HIWORD(wParam) == CBN_SELCHANGE) ShowSelection(dialog, IDC_TO_COMBO, IDC_TO_CURRENT);
                    return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

const struct {
    int button, tool, icon;
    const char* name;
} kTools[] = {{IDC_CHARGE_DELTA_BUTTON, IDD_CHARGE_DELTA, IDI_CHARGE_DELTA, "Charge Delta Calculator"},
              {IDC_CURRENT_FINDER_BUTTON, IDD_CURRENT_FINDER, IDI_CURRENT_FINDER, "Station Current Finder"},
              {IDC_TESSARY_LOOKUP_BUTTON, IDD_TESSARY_LOOKUP, IDI_TESSARY_LOOKUP, "Tessary Lookup"},
              {IDC_TOKEN_TABLE_BUTTON, IDD_TOKEN_TABLE, IDI_TOKEN_TABLE, "Token Collection Table"}};

INT_PTR CALLBACK Launcher(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    static HICON icon;
    switch (message) {
        case WM_INITDIALOG: {
            char about[64];
            HMENU menu = GetSystemMenu(dialog, FALSE);
            if (menu && LoadStringA(instance, IDS_ABOUTBOX, about, sizeof about) > 0) {
                AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
                AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, about);
            }
            icon = LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
            SendMessageW(dialog, WM_SETICON, ICON_BIG, (LPARAM)icon);
            SendMessageW(dialog, WM_SETICON, ICON_SMALL, (LPARAM)icon);
            for (const auto& tool : kTools) {
                HWND button = GetDlgItem(dialog, tool.button);
                SendMessageW(button, BM_SETIMAGE, IMAGE_ICON,
                             (LPARAM)LoadIconW(instance, MAKEINTRESOURCEW(tool.icon)));
                SetWindowTextA(button, tool.name);
            }
            g_stations.FillStationTable();
            return TRUE;
        }
        case WM_COMMAND:
            for (const auto& tool : kTools) {
                if (LOWORD(wParam) == tool.button) {
                    DialogBoxParamW(instance, MAKEINTRESOURCEW(tool.tool), dialog, Tool, tool.tool);
                    return TRUE;
                }
            }
            if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
            return TRUE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) != IDM_ABOUTBOX) return FALSE;
            DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUTBOX), dialog, Tool, IDD_ABOUTBOX);
            return TRUE;
        case WM_PAINT: {  // iconic: the application icon, centred
            if (!IsIconic(dialog)) return FALSE;
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(dialog, &paint);
            SendMessageW(dialog, WM_ICONERASEBKGND, (WPARAM)dc, 0);
            RECT client;
            GetClientRect(dialog, &client);
            DrawIcon(dc, (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2,
                     (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2, icon);
            EndPaint(dialog, &paint);
            return TRUE;
        }
        case WM_QUERYDRAGICON:
            return (INT_PTR)icon;
        case DM_GETDEFID:  // Enter opens the focused tool button's tool
            for (const auto& tool : kTools) {
                if (GetFocus() == GetDlgItem(dialog, tool.button)) {
                    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, MAKELRESULT(tool.button, DC_HASDEFID));
                    return TRUE;
                }
            }
            return FALSE;
        case WM_CLOSE:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    AfxAddFontWhereMissing(instance, "MS Serif", IDR_SERIF_FONT);
    return static_cast<int>(
        DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_COMPANION_DIALOG), nullptr, Launcher, 0));
}
