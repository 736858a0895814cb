// What screen readers hear of a control. A reader asks the system's accessible
// object of each window for its name, and listens for events that say a name
// changed; these calls give a control a name of the program's choosing and
// raise those events. Where the system lacks a facility (no oleacc, no live
// regions before Windows 8, Wine's stubs), the program goes on unheard.
#pragma once

#include "afxwin.h"

// Names `control` for screen readers, from now until it is destroyed; nothing
// on screen changes. An empty name leaves it unnamed. With `textFollows`, the
// control's own text follows the name: "Delta" showing "-31" reads "Delta -31".
void AfxSetAccessibleName(CWnd& control, LPCSTR name, bool textFollows = false);

// Asks readers to announce each new text of `control` politely, when they are
// done speaking, wherever the focus is (a live region).
void AfxSetLiveRegion(CWnd& control);

// Tells readers that `control` shows something new: its name changed, and for
// a live region, that it is to be announced. Call after setting its text.
void AfxNotifyNewText(CWnd& control);
