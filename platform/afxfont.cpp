// A font face the program brings for systems that lack it.
#include "afxwin.h"

namespace {

int CALLBACK NoteFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one is enough
}

bool FaceExists(LPCSTR face) {
    LOGFONTA wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExA(screen, &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

}  // namespace

bool AfxAddFontWhereMissing(HMODULE module, LPCSTR face, UINT fontResource) {
    if (FaceExists(face)) return true;
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(fontResource), RT_RCDATA);
    HGLOBAL data = resource ? LoadResource(module, resource) : nullptr;
    void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) return false;
    // Private to this process and gone with it: nothing is installed or left behind.
    DWORD added = 0;
    return AddFontMemResourceEx(bytes, SizeofResource(module, resource), nullptr, &added) && added > 0;
}
