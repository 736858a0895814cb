// The one CString operation that needs the system: string resources.
#include <windows.h>

#include "afxstr.h"

bool CString::LoadString(unsigned int id) {
    char buffer[256];  // ample for the program's own short strings
    const int length = ::LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    *this = length > 0 ? buffer : "";
    return length > 0;
}
