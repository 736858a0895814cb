// The floor for the Wine benchmark: the launcher and the four tools from the
// same dialog templates as Tarrowby, opened empty. No icons, no station table,
// no lists filled: what is left is what Wine spends on the dialogs themselves.
// It adds the program's own "MS Serif" as the program does, so that both draw
// the same text.
#include <windows.h>

#include "afxwin.h"
#include "resource.h"

namespace {

INT_PTR CALLBACK EmptyTool(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        case WM_CLOSE: EndDialog(dialog, IDCANCEL); return TRUE;
        default: return FALSE;
    }
}

INT_PTR CALLBACK EmptyLauncher(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    static const struct {
        int button;
        int tool;
    } kTools[] = {{IDC_CHARGE_DELTA_BUTTON, IDD_CHARGE_DELTA},
                  {IDC_CURRENT_FINDER_BUTTON, IDD_CURRENT_FINDER},
                  {IDC_TESSARY_LOOKUP_BUTTON, IDD_TESSARY_LOOKUP},
                  {IDC_TOKEN_TABLE_BUTTON, IDD_TOKEN_TABLE}};
    switch (message) {
        case WM_INITDIALOG: return TRUE;
        case WM_COMMAND:
            for (const auto& entry : kTools) {
                if (LOWORD(wParam) == entry.button) {
                    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(entry.tool), dialog, EmptyTool, 0);
                    return TRUE;
                }
            }
            if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
            return TRUE;
        case WM_CLOSE: EndDialog(dialog, IDCANCEL); return TRUE;
        default: return FALSE;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    AfxAddFontWhereMissing(instance, "MS Serif", IDR_SERIF_FONT);
    return static_cast<int>(
        DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_COMPANION_DIALOG), nullptr, EmptyLauncher, 0));
}
