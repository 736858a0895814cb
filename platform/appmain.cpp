// The process start-up: narrows where DLLs are loaded from, then hands control
// to the one application object.
#include "afxwin.h"

namespace {

// A portable program is often started from a downloads folder, the classic
// place for a planted DLL, and the window and input stack loads more DLLs by
// name once the first window appears. Every DLL this program needs is a
// system one: load them from the system folder only. Windows 7 without
// update KB2533623 lacks SetDefaultDllDirectories; there at least the
// current folder leaves the search.
void LoadDllsFromTheSystemFolderOnly() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    FARPROC found = kernel ? GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
    const auto setDefault =
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(found));
    if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryA("");
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    LoadDllsFromTheSystemFolderOnly();
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    app->m_hInstance = instance;
    // A dialog-based application does all its work inside InitInstance and
    // returns FALSE; only an application that returns TRUE needs a message loop.
    if (app->InitInstance()) {
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return app->ExitInstance();
}
