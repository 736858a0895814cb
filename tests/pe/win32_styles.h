// The Win32 window, dialog and control style constants that the templates
// use, with their <windows.h> names, and a printer that spells a style word
// out in those names for readable test failures.
#pragma once

#include <cstdint>
#include <string>

namespace win32 {

// Window styles.
inline constexpr std::uint32_t WS_POPUP = 0x80000000;
inline constexpr std::uint32_t WS_CHILD = 0x40000000;
inline constexpr std::uint32_t WS_MINIMIZE = 0x20000000;
inline constexpr std::uint32_t WS_VISIBLE = 0x10000000;
inline constexpr std::uint32_t WS_DISABLED = 0x08000000;
inline constexpr std::uint32_t WS_CLIPSIBLINGS = 0x04000000;
inline constexpr std::uint32_t WS_CLIPCHILDREN = 0x02000000;
inline constexpr std::uint32_t WS_MAXIMIZE = 0x01000000;
inline constexpr std::uint32_t WS_BORDER = 0x00800000;
inline constexpr std::uint32_t WS_DLGFRAME = 0x00400000;
inline constexpr std::uint32_t WS_CAPTION = WS_BORDER | WS_DLGFRAME;
inline constexpr std::uint32_t WS_VSCROLL = 0x00200000;
inline constexpr std::uint32_t WS_HSCROLL = 0x00100000;
inline constexpr std::uint32_t WS_SYSMENU = 0x00080000;
inline constexpr std::uint32_t WS_THICKFRAME = 0x00040000;
inline constexpr std::uint32_t WS_GROUP = 0x00020000;
inline constexpr std::uint32_t WS_TABSTOP = 0x00010000;
inline constexpr std::uint32_t WS_MINIMIZEBOX = 0x00020000;  // on a top-level window
inline constexpr std::uint32_t WS_MAXIMIZEBOX = 0x00010000;  // on a top-level window

// Dialog styles.
inline constexpr std::uint32_t DS_ABSALIGN = 0x0001;
inline constexpr std::uint32_t DS_SYSMODAL = 0x0002;
inline constexpr std::uint32_t DS_3DLOOK = 0x0004;
inline constexpr std::uint32_t DS_FIXEDSYS = 0x0008;
inline constexpr std::uint32_t DS_NOFAILCREATE = 0x0010;
inline constexpr std::uint32_t DS_LOCALEDIT = 0x0020;
inline constexpr std::uint32_t DS_SETFONT = 0x0040;
inline constexpr std::uint32_t DS_MODALFRAME = 0x0080;
inline constexpr std::uint32_t DS_NOIDLEMSG = 0x0100;
inline constexpr std::uint32_t DS_SETFOREGROUND = 0x0200;
inline constexpr std::uint32_t DS_CONTROL = 0x0400;
inline constexpr std::uint32_t DS_CENTER = 0x0800;
inline constexpr std::uint32_t DS_CENTERMOUSE = 0x1000;
inline constexpr std::uint32_t DS_CONTEXTHELP = 0x2000;

// Extended window styles.
inline constexpr std::uint32_t WS_EX_DLGMODALFRAME = 0x00000001;
inline constexpr std::uint32_t WS_EX_NOPARENTNOTIFY = 0x00000004;
inline constexpr std::uint32_t WS_EX_TOPMOST = 0x00000008;
inline constexpr std::uint32_t WS_EX_ACCEPTFILES = 0x00000010;
inline constexpr std::uint32_t WS_EX_TRANSPARENT = 0x00000020;
inline constexpr std::uint32_t WS_EX_MDICHILD = 0x00000040;
inline constexpr std::uint32_t WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr std::uint32_t WS_EX_WINDOWEDGE = 0x00000100;
inline constexpr std::uint32_t WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr std::uint32_t WS_EX_CONTEXTHELP = 0x00000400;
inline constexpr std::uint32_t WS_EX_RIGHT = 0x00001000;
inline constexpr std::uint32_t WS_EX_RTLREADING = 0x00002000;
inline constexpr std::uint32_t WS_EX_LEFTSCROLLBAR = 0x00004000;
inline constexpr std::uint32_t WS_EX_CONTROLPARENT = 0x00010000;
inline constexpr std::uint32_t WS_EX_STATICEDGE = 0x00020000;
inline constexpr std::uint32_t WS_EX_APPWINDOW = 0x00040000;
inline constexpr std::uint32_t WS_EX_LAYERED = 0x00080000;
inline constexpr std::uint32_t WS_EX_NOINHERITLAYOUT = 0x00100000;
inline constexpr std::uint32_t WS_EX_LAYOUTRTL = 0x00400000;
inline constexpr std::uint32_t WS_EX_COMPOSITED = 0x02000000;
inline constexpr std::uint32_t WS_EX_NOACTIVATE = 0x08000000;

// Button styles.
inline constexpr std::uint32_t BS_PUSHBUTTON = 0x0000;
inline constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x0001;
inline constexpr std::uint32_t BS_CHECKBOX = 0x0002;
inline constexpr std::uint32_t BS_AUTOCHECKBOX = 0x0003;
inline constexpr std::uint32_t BS_RADIOBUTTON = 0x0004;
inline constexpr std::uint32_t BS_3STATE = 0x0005;
inline constexpr std::uint32_t BS_AUTO3STATE = 0x0006;
inline constexpr std::uint32_t BS_GROUPBOX = 0x0007;
inline constexpr std::uint32_t BS_USERBUTTON = 0x0008;
inline constexpr std::uint32_t BS_AUTORADIOBUTTON = 0x0009;
inline constexpr std::uint32_t BS_PUSHBOX = 0x000A;
inline constexpr std::uint32_t BS_OWNERDRAW = 0x000B;
inline constexpr std::uint32_t BS_TYPEMASK = 0x000F;
inline constexpr std::uint32_t BS_LEFTTEXT = 0x0020;
inline constexpr std::uint32_t BS_ICON = 0x0040;
inline constexpr std::uint32_t BS_BITMAP = 0x0080;
inline constexpr std::uint32_t BS_LEFT = 0x0100;
inline constexpr std::uint32_t BS_RIGHT = 0x0200;
inline constexpr std::uint32_t BS_TOP = 0x0400;
inline constexpr std::uint32_t BS_BOTTOM = 0x0800;
inline constexpr std::uint32_t BS_PUSHLIKE = 0x1000;
inline constexpr std::uint32_t BS_MULTILINE = 0x2000;
inline constexpr std::uint32_t BS_NOTIFY = 0x4000;
inline constexpr std::uint32_t BS_FLAT = 0x8000;

// Edit styles.
inline constexpr std::uint32_t ES_LEFT = 0x0000;
inline constexpr std::uint32_t ES_CENTER = 0x0001;
inline constexpr std::uint32_t ES_RIGHT = 0x0002;
inline constexpr std::uint32_t ES_MULTILINE = 0x0004;
inline constexpr std::uint32_t ES_UPPERCASE = 0x0008;
inline constexpr std::uint32_t ES_LOWERCASE = 0x0010;
inline constexpr std::uint32_t ES_PASSWORD = 0x0020;
inline constexpr std::uint32_t ES_AUTOVSCROLL = 0x0040;
inline constexpr std::uint32_t ES_AUTOHSCROLL = 0x0080;
inline constexpr std::uint32_t ES_NOHIDESEL = 0x0100;
inline constexpr std::uint32_t ES_OEMCONVERT = 0x0400;
inline constexpr std::uint32_t ES_READONLY = 0x0800;
inline constexpr std::uint32_t ES_WANTRETURN = 0x1000;
inline constexpr std::uint32_t ES_NUMBER = 0x2000;

// Static styles; the low five bits are one type, not flags.
inline constexpr std::uint32_t SS_LEFT = 0x0000;
inline constexpr std::uint32_t SS_CENTER = 0x0001;
inline constexpr std::uint32_t SS_RIGHT = 0x0002;
inline constexpr std::uint32_t SS_ICON = 0x0003;
inline constexpr std::uint32_t SS_BLACKRECT = 0x0004;
inline constexpr std::uint32_t SS_GRAYRECT = 0x0005;
inline constexpr std::uint32_t SS_WHITERECT = 0x0006;
inline constexpr std::uint32_t SS_BLACKFRAME = 0x0007;
inline constexpr std::uint32_t SS_GRAYFRAME = 0x0008;
inline constexpr std::uint32_t SS_WHITEFRAME = 0x0009;
inline constexpr std::uint32_t SS_USERITEM = 0x000A;
inline constexpr std::uint32_t SS_SIMPLE = 0x000B;
inline constexpr std::uint32_t SS_LEFTNOWORDWRAP = 0x000C;
inline constexpr std::uint32_t SS_OWNERDRAW = 0x000D;
inline constexpr std::uint32_t SS_BITMAP = 0x000E;
inline constexpr std::uint32_t SS_ENHMETAFILE = 0x000F;
inline constexpr std::uint32_t SS_ETCHEDHORZ = 0x0010;
inline constexpr std::uint32_t SS_ETCHEDVERT = 0x0011;
inline constexpr std::uint32_t SS_ETCHEDFRAME = 0x0012;
inline constexpr std::uint32_t SS_TYPEMASK = 0x001F;
inline constexpr std::uint32_t SS_REALSIZECONTROL = 0x0040;
inline constexpr std::uint32_t SS_NOPREFIX = 0x0080;
inline constexpr std::uint32_t SS_NOTIFY = 0x0100;
inline constexpr std::uint32_t SS_CENTERIMAGE = 0x0200;
inline constexpr std::uint32_t SS_RIGHTJUST = 0x0400;
inline constexpr std::uint32_t SS_REALSIZEIMAGE = 0x0800;
inline constexpr std::uint32_t SS_SUNKEN = 0x1000;
inline constexpr std::uint32_t SS_EDITCONTROL = 0x2000;
inline constexpr std::uint32_t SS_ENDELLIPSIS = 0x4000;
inline constexpr std::uint32_t SS_PATHELLIPSIS = 0x8000;
inline constexpr std::uint32_t SS_WORDELLIPSIS = 0xC000;

// Combo box styles.
inline constexpr std::uint32_t CBS_SIMPLE = 0x0001;
inline constexpr std::uint32_t CBS_DROPDOWN = 0x0002;
inline constexpr std::uint32_t CBS_DROPDOWNLIST = 0x0003;
inline constexpr std::uint32_t CBS_OWNERDRAWFIXED = 0x0010;
inline constexpr std::uint32_t CBS_OWNERDRAWVARIABLE = 0x0020;
inline constexpr std::uint32_t CBS_AUTOHSCROLL = 0x0040;
inline constexpr std::uint32_t CBS_OEMCONVERT = 0x0080;
inline constexpr std::uint32_t CBS_SORT = 0x0100;
inline constexpr std::uint32_t CBS_HASSTRINGS = 0x0200;
inline constexpr std::uint32_t CBS_NOINTEGRALHEIGHT = 0x0400;
inline constexpr std::uint32_t CBS_DISABLENOSCROLL = 0x0800;
inline constexpr std::uint32_t CBS_UPPERCASE = 0x2000;
inline constexpr std::uint32_t CBS_LOWERCASE = 0x4000;

// Languages.
inline constexpr std::uint16_t LANG_ENGLISH_US = 0x0409;
inline constexpr std::uint16_t LANG_ENGLISH_UK = 0x0809;

// What a style word's bits mean depends on what it styles.
enum class StyleKind { kDialog, kButton, kEdit, kStatic, kComboBox, kOther };

// "0x50010001 (WS_CHILD|WS_VISIBLE|WS_TABSTOP|BS_DEFPUSHBUTTON)"; bits with no
// name here are printed as a hex remainder.
std::string DescribeStyle(std::uint32_t style, StyleKind kind);
std::string DescribeExStyle(std::uint32_t ex_style);

}  // namespace win32
