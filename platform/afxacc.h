// What screen readers hear of a control. A reader asks the system's accessible
// object of each window for its name, and listens for events that say a name
// changed; these calls give a control a name of the program's choosing and
// raise those events. Where the system lacks a facility (no oleacc, no live
// regions before Windows 8, Wine's stubs), the program goes on unheard.
//
// Until a reader asks a window of the program for its object (WM_GETOBJECT),
// these calls only note what is wanted: no accessibility library is loaded, no
// COM apartment joined and no window moved. The first reader's question sets
// up everything noted for the windows open then; later windows get it at once.
#pragma once

#include "afxwin.h"

// Names `control` for screen readers, from now until it is destroyed; nothing
// on screen changes. An empty name leaves it unnamed. With `textFollows`, the
// control's own text follows the name, exactly as shown: "Delta" showing
// "-31" reads "Delta -31", and an unnamed answer reads as its text alone.
void AfxSetAccessibleName(CWnd& control, LPCSTR name, bool textFollows = false);

// Asks readers to announce each new text of `control` politely, when they are
// done speaking, wherever the focus is (a live region).
void AfxSetLiveRegion(CWnd& control);

// Shows `text` in `control` and tells readers of it: its name changed, and
// for a live region, that it is to be announced. Nothing at all when the
// control shows that text already, so that a reader hears each change once.
void AfxShowText(CWnd& control, LPCSTR text);

// Runs `work` on `dialog` once a screen reader is present: at once if one has
// asked already, else when the first one asks, if the dialog is still open.
void AfxWhenReaderPresent(CWnd& dialog, void (*work)(HWND dialog));

// A reader asked a window of the program for its object: sets up what the
// program's windows need for readers, the first time.
void AfxReaderAsked();
