#include "win32_styles.h"

#include <cstdio>
#include <vector>

namespace win32 {

namespace {

struct Flag {
    std::uint32_t bits;
    const char* name;
};

std::string Hex(std::uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", value);
    return buffer;
}

// Names `flags` greedily (each entry's bits all set), then the rest in hex.
void AppendFlags(std::uint32_t& remaining, const std::vector<Flag>& flags, std::vector<std::string>& names) {
    for (const Flag& f : flags) {
        if (f.bits != 0 && (remaining & f.bits) == f.bits) {
            names.push_back(f.name);
            remaining &= ~f.bits;
        }
    }
}

std::string Join(const std::vector<std::string>& names, std::uint32_t rest) {
    std::string out;
    for (const std::string& n : names) {
        if (!out.empty()) out += "|";
        out += n;
    }
    if (rest != 0) {
        if (!out.empty()) out += "|";
        out += Hex(rest);
    }
    return out.empty() ? "0" : out;
}

const std::vector<Flag> kWindowFlags = {
    {WS_POPUP, "WS_POPUP"},
    {WS_CHILD, "WS_CHILD"},
    {WS_MINIMIZE, "WS_MINIMIZE"},
    {WS_VISIBLE, "WS_VISIBLE"},
    {WS_DISABLED, "WS_DISABLED"},
    {WS_CLIPSIBLINGS, "WS_CLIPSIBLINGS"},
    {WS_CLIPCHILDREN, "WS_CLIPCHILDREN"},
    {WS_MAXIMIZE, "WS_MAXIMIZE"},
    {WS_CAPTION, "WS_CAPTION"},
    {WS_BORDER, "WS_BORDER"},
    {WS_DLGFRAME, "WS_DLGFRAME"},
    {WS_VSCROLL, "WS_VSCROLL"},
    {WS_HSCROLL, "WS_HSCROLL"},
    {WS_SYSMENU, "WS_SYSMENU"},
    {WS_THICKFRAME, "WS_THICKFRAME"},
};

// WS_GROUP and WS_TABSTOP share their bits with the minimise and maximise boxes.
const std::vector<Flag> kControlWindowFlags = {{WS_GROUP, "WS_GROUP"}, {WS_TABSTOP, "WS_TABSTOP"}};
const std::vector<Flag> kTopLevelWindowFlags = {{WS_MINIMIZEBOX, "WS_MINIMIZEBOX"},
                                                {WS_MAXIMIZEBOX, "WS_MAXIMIZEBOX"}};

const std::vector<Flag> kDialogFlags = {
    {DS_ABSALIGN, "DS_ABSALIGN"},
    {DS_SYSMODAL, "DS_SYSMODAL"},
    {DS_3DLOOK, "DS_3DLOOK"},
    {DS_FIXEDSYS, "DS_FIXEDSYS"},
    {DS_NOFAILCREATE, "DS_NOFAILCREATE"},
    {DS_LOCALEDIT, "DS_LOCALEDIT"},
    {DS_SETFONT, "DS_SETFONT"},
    {DS_MODALFRAME, "DS_MODALFRAME"},
    {DS_NOIDLEMSG, "DS_NOIDLEMSG"},
    {DS_SETFOREGROUND, "DS_SETFOREGROUND"},
    {DS_CONTROL, "DS_CONTROL"},
    {DS_CENTER, "DS_CENTER"},
    {DS_CENTERMOUSE, "DS_CENTERMOUSE"},
    {DS_CONTEXTHELP, "DS_CONTEXTHELP"},
};

const std::vector<Flag> kButtonFlags = {
    {BS_LEFTTEXT, "BS_LEFTTEXT"}, {BS_ICON, "BS_ICON"},         {BS_BITMAP, "BS_BITMAP"},
    {BS_LEFT, "BS_LEFT"},         {BS_RIGHT, "BS_RIGHT"},       {BS_TOP, "BS_TOP"},
    {BS_BOTTOM, "BS_BOTTOM"},     {BS_PUSHLIKE, "BS_PUSHLIKE"}, {BS_MULTILINE, "BS_MULTILINE"},
    {BS_NOTIFY, "BS_NOTIFY"},     {BS_FLAT, "BS_FLAT"},
};
const char* const kButtonTypes[16] = {
    "BS_PUSHBUTTON",  "BS_DEFPUSHBUTTON",   "BS_CHECKBOX",   "BS_AUTOCHECKBOX",
    "BS_RADIOBUTTON", "BS_3STATE",          "BS_AUTO3STATE", "BS_GROUPBOX",
    "BS_USERBUTTON",  "BS_AUTORADIOBUTTON", "BS_PUSHBOX",    "BS_OWNERDRAW",
    "0x0000000C",     "0x0000000D",         "0x0000000E",    "0x0000000F",
};

const std::vector<Flag> kEditFlags = {
    {ES_CENTER, "ES_CENTER"},           {ES_RIGHT, "ES_RIGHT"},
    {ES_MULTILINE, "ES_MULTILINE"},     {ES_UPPERCASE, "ES_UPPERCASE"},
    {ES_LOWERCASE, "ES_LOWERCASE"},     {ES_PASSWORD, "ES_PASSWORD"},
    {ES_AUTOVSCROLL, "ES_AUTOVSCROLL"}, {ES_AUTOHSCROLL, "ES_AUTOHSCROLL"},
    {ES_NOHIDESEL, "ES_NOHIDESEL"},     {ES_OEMCONVERT, "ES_OEMCONVERT"},
    {ES_READONLY, "ES_READONLY"},       {ES_WANTRETURN, "ES_WANTRETURN"},
    {ES_NUMBER, "ES_NUMBER"},
};

const std::vector<Flag> kStaticFlags = {
    {SS_REALSIZECONTROL, "SS_REALSIZECONTROL"},
    {SS_NOPREFIX, "SS_NOPREFIX"},
    {SS_NOTIFY, "SS_NOTIFY"},
    {SS_CENTERIMAGE, "SS_CENTERIMAGE"},
    {SS_RIGHTJUST, "SS_RIGHTJUST"},
    {SS_REALSIZEIMAGE, "SS_REALSIZEIMAGE"},
    {SS_SUNKEN, "SS_SUNKEN"},
    {SS_EDITCONTROL, "SS_EDITCONTROL"},
    {SS_WORDELLIPSIS, "SS_WORDELLIPSIS"},
    {SS_ENDELLIPSIS, "SS_ENDELLIPSIS"},
    {SS_PATHELLIPSIS, "SS_PATHELLIPSIS"},
};
const char* const kStaticTypes[19] = {
    "SS_LEFT",        "SS_CENTER",     "SS_RIGHT",          "SS_ICON",        "SS_BLACKRECT",
    "SS_GRAYRECT",    "SS_WHITERECT",  "SS_BLACKFRAME",     "SS_GRAYFRAME",   "SS_WHITEFRAME",
    "SS_USERITEM",    "SS_SIMPLE",     "SS_LEFTNOWORDWRAP", "SS_OWNERDRAW",   "SS_BITMAP",
    "SS_ENHMETAFILE", "SS_ETCHEDHORZ", "SS_ETCHEDVERT",     "SS_ETCHEDFRAME",
};

const std::vector<Flag> kComboFlags = {
    {CBS_DROPDOWNLIST, "CBS_DROPDOWNLIST"},
    {CBS_DROPDOWN, "CBS_DROPDOWN"},
    {CBS_SIMPLE, "CBS_SIMPLE"},
    {CBS_OWNERDRAWFIXED, "CBS_OWNERDRAWFIXED"},
    {CBS_OWNERDRAWVARIABLE, "CBS_OWNERDRAWVARIABLE"},
    {CBS_AUTOHSCROLL, "CBS_AUTOHSCROLL"},
    {CBS_OEMCONVERT, "CBS_OEMCONVERT"},
    {CBS_SORT, "CBS_SORT"},
    {CBS_HASSTRINGS, "CBS_HASSTRINGS"},
    {CBS_NOINTEGRALHEIGHT, "CBS_NOINTEGRALHEIGHT"},
    {CBS_DISABLENOSCROLL, "CBS_DISABLENOSCROLL"},
    {CBS_UPPERCASE, "CBS_UPPERCASE"},
    {CBS_LOWERCASE, "CBS_LOWERCASE"},
};

const std::vector<Flag> kExFlags = {
    {WS_EX_DLGMODALFRAME, "WS_EX_DLGMODALFRAME"},
    {WS_EX_NOPARENTNOTIFY, "WS_EX_NOPARENTNOTIFY"},
    {WS_EX_TOPMOST, "WS_EX_TOPMOST"},
    {WS_EX_ACCEPTFILES, "WS_EX_ACCEPTFILES"},
    {WS_EX_TRANSPARENT, "WS_EX_TRANSPARENT"},
    {WS_EX_MDICHILD, "WS_EX_MDICHILD"},
    {WS_EX_TOOLWINDOW, "WS_EX_TOOLWINDOW"},
    {WS_EX_WINDOWEDGE, "WS_EX_WINDOWEDGE"},
    {WS_EX_CLIENTEDGE, "WS_EX_CLIENTEDGE"},
    {WS_EX_CONTEXTHELP, "WS_EX_CONTEXTHELP"},
    {WS_EX_RIGHT, "WS_EX_RIGHT"},
    {WS_EX_RTLREADING, "WS_EX_RTLREADING"},
    {WS_EX_LEFTSCROLLBAR, "WS_EX_LEFTSCROLLBAR"},
    {WS_EX_CONTROLPARENT, "WS_EX_CONTROLPARENT"},
    {WS_EX_STATICEDGE, "WS_EX_STATICEDGE"},
    {WS_EX_APPWINDOW, "WS_EX_APPWINDOW"},
    {WS_EX_LAYERED, "WS_EX_LAYERED"},
    {WS_EX_NOINHERITLAYOUT, "WS_EX_NOINHERITLAYOUT"},
    {WS_EX_LAYOUTRTL, "WS_EX_LAYOUTRTL"},
    {WS_EX_COMPOSITED, "WS_EX_COMPOSITED"},
    {WS_EX_NOACTIVATE, "WS_EX_NOACTIVATE"},
};

}  // namespace

std::string DescribeStyle(std::uint32_t style, StyleKind kind) {
    std::vector<std::string> names;
    std::uint32_t rest = style;
    AppendFlags(rest, kWindowFlags, names);
    AppendFlags(rest, kind == StyleKind::kDialog ? kTopLevelWindowFlags : kControlWindowFlags, names);
    switch (kind) {
        case StyleKind::kDialog:
            AppendFlags(rest, kDialogFlags, names);
            break;
        case StyleKind::kButton:
            names.push_back(kButtonTypes[rest & BS_TYPEMASK]);
            rest &= ~BS_TYPEMASK;
            AppendFlags(rest, kButtonFlags, names);
            break;
        case StyleKind::kEdit:
            AppendFlags(rest, kEditFlags, names);
            break;
        case StyleKind::kStatic: {
            const std::uint32_t type = rest & SS_TYPEMASK;
            names.push_back(type < 19 ? kStaticTypes[type] : Hex(type));
            rest &= ~SS_TYPEMASK;
            AppendFlags(rest, kStaticFlags, names);
            break;
        }
        case StyleKind::kComboBox:
            AppendFlags(rest, kComboFlags, names);
            break;
        case StyleKind::kOther:
            break;
    }
    return Hex(style) + " (" + Join(names, rest) + ")";
}

std::string DescribeExStyle(std::uint32_t ex_style) {
    std::vector<std::string> names;
    std::uint32_t rest = ex_style;
    AppendFlags(rest, kExFlags, names);
    return Hex(ex_style) + " (" + Join(names, rest) + ")";
}

}  // namespace win32
