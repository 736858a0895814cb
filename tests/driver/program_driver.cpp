#include "program_driver.h"

#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "afxwin.h"
#include "host_system.h"
#include "resource.h"

namespace driver {

namespace {

constexpr DWORD kPollMs = 25;
constexpr UINT kSendTimeoutMs = 15000;

// A Unix path handed over by CTest becomes Wine's Z: drive path.
std::wstring WindowsPath(std::wstring path) {
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

// The arguments that are not GoogleTest's own, after the program name.
std::vector<std::wstring> Arguments() {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    for (int i = 1; i < count; ++i) {
        if (std::wstring(words[i]).rfind(L"--gtest", 0) != 0) arguments.emplace_back(words[i]);
    }
    LocalFree(words);
    return arguments;
}

std::wstring Setting(size_t position, const wchar_t* variable) {
    const std::vector<std::wstring> arguments = Arguments();
    if (position < arguments.size()) return WindowsPath(arguments[position]);
    const wchar_t* value = _wgetenv(variable);
    return value ? WindowsPath(value) : std::wstring();
}

struct Search {
    DWORD processId;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM lParam) {
    Search& search = *reinterpret_cast<Search*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == search.processId && (!search.visibleOnly || IsWindowVisible(window))) {
        search.found.push_back(window);
    }
    return TRUE;
}

}  // namespace

namespace {

// Each retry the driver made, by what was retried: printed as it happens and
// in a tally at the end of the run, so that a retry that hides a fault shows.
std::vector<std::string>& Retries() {
    static std::vector<std::string> retries;
    return retries;
}

class RetryTally : public testing::Environment {
public:
    void TearDown() override {
        std::printf("[  RETRY   ] tally: %u retries\n", static_cast<unsigned>(Retries().size()));
        std::vector<std::string> kinds = Retries();
        std::sort(kinds.begin(), kinds.end());
        for (auto kind = kinds.begin(); kind != kinds.end();) {
            const auto next = std::upper_bound(kind, kinds.end(), *kind);
            std::printf("[  RETRY   ]   %u x %s\n", static_cast<unsigned>(next - kind), kind->c_str());
            kind = next;
        }
    }
};
testing::Environment* const retryTally = testing::AddGlobalTestEnvironment(new RetryTally);

}  // namespace

void NoteRetry(const std::string& what) {
    Retries().push_back(what);
    std::printf("[  RETRY   ] %s\n", what.c_str());
    std::fflush(stdout);
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() > deadline) return false;
        Sleep(kPollMs);
    }
}

std::wstring ProgramPath() {
    return Setting(0, L"TARROWBY_EXE");
}
std::wstring ScreenshotFolder() {
    return Setting(1, L"TARROWBY_SCREENSHOTS");
}

// ---- Windows of the program ----------------------------------------------

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &result)) {
        ADD_FAILURE() << "window " << window << " did not answer message 0x" << std::hex << message;
        return 0;
    }
    return static_cast<LRESULT>(result);
}

std::wstring Text(HWND window) {
    // The text may change between asking its length and reading it: read
    // into room to spare, and again if it filled the room.
    for (;;) {
        std::wstring text(static_cast<size_t>(Send(window, WM_GETTEXTLENGTH)) + 64, L'\0');
        const LRESULT copied = Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
        if (static_cast<size_t>(copied) + 1 < text.size()) {
            text.resize(static_cast<size_t>(copied));
            return text;
        }
    }
}

void SetText(HWND window, const std::wstring& text) {
    Send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

DWORD Style(HWND window) {
    return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

HWND Item(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    if (!item) ADD_FAILURE() << "the dialog has no control " << id;
    return item;
}

// The driver draws the program's texts as the program does: where the system
// has no "MS Serif" (Wine), with the program's own face, taken from its
// executable; on Windows with Windows' own.
void UseTheProgramsFaces() {
    static const bool added = [] {
        HMODULE program = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        return program && AfxAddFontWhereMissing(program, "MS Serif", IDR_SERIF_FONT);
    }();
    ASSERT_TRUE(added) << "the program's \"MS Serif\" face could not be added";
}

void ExpectTextsFit(HWND dialog, const wchar_t* fontFace, int points) {
    UseTheProgramsFaces();
    HDC dc = CreateCompatibleDC(nullptr);
    LOGFONTW face{};
    face.lfHeight = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
    face.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(face.lfFaceName, fontFace, LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectW(&face);
    HGDIOBJ old = SelectObject(dc, font);
    // The program's own face must be the one measured; for any other face the
    // system gives this process what it gives the program.
    wchar_t chosen[LF_FACESIZE] = L"";
    GetTextFaceW(dc, LF_FACESIZE, chosen);
    if (std::wstring(fontFace) == L"MS Serif") {
        EXPECT_STREQ(chosen, fontFace) << "measured in another face";
    }
    for (HWND control : Children(dialog)) {
        const std::wstring text = Text(control);
        const DWORD style = Style(control);
        const std::wstring kind = ClassName(control);
        RECT room;
        GetClientRect(control, &room);
        UINT format = DT_CALCRECT | DT_EXPANDTABS;
        if (kind == L"Static" && (style & SS_TYPEMASK) <= SS_RIGHT) {
            format |= style & SS_CENTERIMAGE ? DT_SINGLELINE : DT_WORDBREAK;
            if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
        } else if (kind == L"Button" && !(style & (BS_ICON | BS_BITMAP))) {
            // A push button draws its text on one line inside its 3D edge.
            format |= DT_SINGLELINE;
            InflateRect(&room, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
            OffsetRect(&room, -room.left, -room.top);
        } else {
            continue;  // images, lists, fields, and icon buttons, which draw no text
        }
        if (text.empty()) continue;
        RECT needed = room;
        DrawTextW(dc, text.c_str(), -1, &needed, format);
        EXPECT_TRUE(needed.right <= room.right && needed.bottom <= room.bottom)
            << "\"" << Narrow(text) << "\" is laid out in " << needed.right << " x " << needed.bottom
            << " pixels, has " << room.right << " x " << room.bottom;
    }
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
}

namespace {

// A dialog template's size in dialog units, read from the program's file.
SIZE TemplateSize(int templateId) {
    SIZE size{};
    HMODULE program = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found =
        program ? FindResourceW(program, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5)) : nullptr;
    const WORD* words =
        found ? static_cast<const WORD*>(LockResource(LoadResource(program, found))) : nullptr;
    if (words) {
        // An extended template keeps its size after the help id and extended style.
        const bool extended = words[0] == 1 && words[1] == 0xFFFF;
        size = extended ? SIZE{words[11], words[12]} : SIZE{words[7], words[8]};
    }
    if (program) FreeLibrary(program);
    return size;
}

}  // namespace

void ExpectSizedForDpi(HWND dialog, int templateId) {
    const SIZE units = TemplateSize(templateId);
    ASSERT_GT(units.cx, 0) << "no dialog template " << templateId;
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    // Wine 10, as Windows does, tells a DPI-unaware program 96 dpi and scales
    // its windows itself: then the program lays out as at 96 and is not ours
    // to grow. Wine 8 tells every program the display's own setting.
    const char* setting = std::getenv("TARROWBY_DISPLAY_DPI");
    if (setting && std::atoi(setting) != dpi) {
        std::printf("[   INFO   ] display set to %s dpi, programs told %d: the system scales them\n", setting,
                    dpi);
        return;
    }
    RECT client{};
    GetClientRect(dialog, &client);
    // At 96 dpi both the 6- and the 8-point "MS Serif" have base units of 6 x 13.
    const double wanted = dpi / 96.0;
    const double wide = client.right / static_cast<double>(MulDiv(units.cx, 6, 4));
    const double high = client.bottom / static_cast<double>(MulDiv(units.cy, 13, 8));
    EXPECT_NEAR(wide, wanted, 0.15 * wanted) << "width " << client.right << " pixels at " << dpi << " dpi";
    EXPECT_NEAR(high, wanted, 0.15 * wanted) << "height " << client.bottom << " pixels at " << dpi << " dpi";
}

// ---- Input -----------------------------------------------------------------

namespace {

void SendKey(UINT virtualKey, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(virtualKey);
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    // The keys of the block between the main keys and the number pad send a
    // prefixed scan code; without it the scan code is a number pad key's.
    switch (virtualKey) {
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_INSERT:
        case VK_DELETE:
            input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
            break;
        default:
            break;
    }
    if (SendInput(1, &input, sizeof input) != 1) ADD_FAILURE() << "SendInput refused key " << virtualKey;
}

// Every mouse event carries its place on the screen: a button pressed "where
// the pointer is" could land where an older move, still on its way, puts it.
void SendMouse(POINT screen, DWORD buttons) {
    const LONG left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const LONG width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    // Normalised to 0..65535 over the whole desktop, rounded up so that the
    // system's rounding down comes back to the very pixel.
    input.mi.dx = static_cast<LONG>(((static_cast<LONGLONG>(screen.x - left) << 16) + width - 1) / width);
    input.mi.dy = static_cast<LONG>(((static_cast<LONGLONG>(screen.y - top) << 16) + height - 1) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK | buttons;
    if (SendInput(1, &input, sizeof input) != 1) ADD_FAILURE() << "SendInput refused a mouse event";
}

struct ListSearch {
    HWND combo;
    HWND found;
};

// The dropped list of a combo box is a pop-up window of its own, shown right
// below the combo box (or above it, where the screen ends).
BOOL CALLBACK FindDroppedList(HWND window, LPARAM lParam) {
    ListSearch& search = *reinterpret_cast<ListSearch*>(lParam);
    if (GetWindowThreadProcessId(window, nullptr) != GetWindowThreadProcessId(search.combo, nullptr) ||
        !IsWindowVisible(window) || ClassName(window) != L"ComboLBox") {
        return TRUE;
    }
    RECT list, combo;
    GetWindowRect(window, &list);
    GetWindowRect(search.combo, &combo);
    if (list.left != combo.left ||
        (std::abs(list.top - combo.bottom) > 2 && std::abs(list.bottom - combo.top) > 2)) {
        return TRUE;
    }
    search.found = window;
    return FALSE;
}

HWND CaptureIn(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndCapture : nullptr;
}

}  // namespace

void PressKey(UINT virtualKey) {
    SendKey(virtualKey, false);
    SendKey(virtualKey, true);
}

void PressChord(UINT modifier, UINT virtualKey) {
    SendKey(modifier, false);
    PressKey(virtualKey);
    SendKey(modifier, true);
}

void TypeKeys(const std::wstring& chars) {
    for (wchar_t ch : chars) {
        const SHORT key = VkKeyScanW(ch);
        if (key == -1) {
            ADD_FAILURE() << "no key types character " << static_cast<int>(ch);
            continue;
        }
        if (HIBYTE(key) & 1) {
            PressChord(VK_SHIFT, LOBYTE(key));
        } else {
            PressKey(LOBYTE(key));
        }
    }
}

HWND FocusIn(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

void FocusByClick(HWND control) {
    HWND top = GetAncestor(control, GA_ROOT);
    if (FocusIn(control) == control && GetForegroundWindow() == top) return;
    Click(control);
    if (!WaitFor([&] { return FocusIn(control) == control && GetForegroundWindow() == top; })) {
        ADD_FAILURE() << "a click did not give control " << GetDlgCtrlID(control) << " the focus";
    }
}

POINT Centre(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void MovePointer(POINT screen) {
    SendMouse(screen, 0);
}

namespace {

POINT lastClick{-1000, -1000};
ULONGLONG lastClickTime = 0;

// The button goes down at `screen`. Two clicks close together in place and
// time are a double click, which a person makes on purpose only: a second
// click on the same spot waits.
void PressAt(POINT screen) {
    const ULONGLONG calm = lastClickTime + GetDoubleClickTime() + 50;
    if (std::abs(screen.x - lastClick.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
        std::abs(screen.y - lastClick.y) <= GetSystemMetrics(SM_CYDOUBLECLK) && GetTickCount64() < calm) {
        Sleep(static_cast<DWORD>(calm - GetTickCount64()));
    }
    MovePointer(screen);
    SendMouse(screen, MOUSEEVENTF_LEFTDOWN);
}

void ReleaseAt(POINT screen) {
    SendMouse(screen, MOUSEEVENTF_LEFTUP);
    lastClick = screen;
    lastClickTime = GetTickCount64();
}

}  // namespace

bool InWindowManager() {
    return std::getenv("TARROWBY_WINDOW_MANAGER") != nullptr;
}

void ClickAt(POINT screen) {
    PressAt(screen);
    ReleaseAt(screen);
}

void Click(HWND window) {
    HWND top = GetAncestor(window, GA_ROOT);
    if (ClassName(window) != L"Button" || !IsWindowEnabled(window) || !IsWindowEnabled(top)) {
        ClickAt(Centre(window));
        return;
    }
    // A push button shows itself pushed while the mouse button is down on it:
    // it is released only then. Under a window manager on a busy machine Wine 8
    // may believe a dialog elsewhere than the X server has it (see
    // WaitForDialog), and the press misses: the dialog is put back in the
    // program's place and the button pressed again.
    for (int tries = 0;; ++tries) {
        const POINT centre = Centre(window);
        PressAt(centre);
        const bool pushed = WaitFor([&] { return (Send(window, BM_GETSTATE) & BST_PUSHED) != 0; },
                                    InWindowManager() ? 5000 : kDeadlineMs);
        ReleaseAt(centre);
        if (pushed) return;
        if (!InWindowManager() || tries == 2) {
            ADD_FAILURE() << "button " << GetDlgCtrlID(window)
                          << " never showed itself pushed under the pointer";
            return;
        }
        NoteRetry(
            "a press missed a button of a dialog Wine places elsewhere than the X server: dialog put back");
        PutBackInPlace(top);
    }
}

void CloseBox(HWND window) {
    // The close box is where the window says it is, somewhere along its top edge.
    RECT rect;
    GetWindowRect(window, &rect);
    for (LONG y = rect.top; y < rect.top + GetSystemMetrics(SM_CYCAPTION) * 2; ++y) {
        for (LONG x = rect.right - 1; x > rect.right - GetSystemMetrics(SM_CXSIZE) * 2; --x) {
            if (Send(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
                // Its middle, not its edge.
                const LONG middle = y + GetSystemMetrics(SM_CYSIZE) / 3;
                ClickAt({x - GetSystemMetrics(SM_CXSIZE) / 3, middle});
                return;
            }
        }
    }
    ADD_FAILURE() << "no close box on " << Narrow(Text(window));
}

POINT DropListAt(HWND combo, int index) {
    const POINT nowhere{-1, -1};
    const auto dropped = [&] { return Send(combo, CB_GETDROPPEDSTATE) != 0; };
    // Under a window manager on a busy machine Wine 8 may lose a click on a
    // window just shown, or the window's place (see WaitForDialog): there the
    // dialog is put back in its place and the list clicked again.
    const bool managed = InWindowManager();
    for (int tries = 0; !dropped() && tries < (managed ? 3 : 1); ++tries) {
        if (tries > 0) {
            NoteRetry(
                "a list did not drop under the window manager: its dialog put back, the list clicked again");
            PutBackInPlace(GetAncestor(combo, GA_ROOT));
        }
        Click(combo);
        WaitFor(dropped, managed ? 5000 : kDeadlineMs);
    }
    if (!dropped()) {
        ADD_FAILURE() << "the list did not drop";
        return nowhere;
    }
    ListSearch search{combo, nullptr};
    if (!WaitFor([&] {
            search.found = nullptr;
            EnumWindows(FindDroppedList, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        })) {
        ADD_FAILURE() << "no dropped list shows";
        return nowhere;
    }
    HWND list = search.found;
    // The click that dropped it must be over first: then the list takes the
    // mouse capture (Wine's list, and the system's after it, does).
    WaitFor([&] { return CaptureIn(list) == list; }, 3000);
    // The entry is scrolled into view as the scroll bar would, and the pointer
    // put on it. A dropped list selects the entry under the pointer, so the
    // entry is under it once the list selects it. Where the list selects it
    // already, the pointer goes to a neighbour first, so that the list is seen
    // to follow the pointer: that also ends the scrolling a captured list does
    // on a timer while the pointer is above it. If it scrolled meanwhile, the
    // pointer moves after the entry.
    RECT client;
    GetClientRect(list, &client);
    const LRESULT height = std::max<LRESULT>(Send(list, LB_GETITEMHEIGHT, 0), 1);
    const LRESULT rows = std::max<LRESULT>(client.bottom / height, 2);
    LRESULT aim = index;
    if (Send(list, LB_GETCURSEL) == index) aim = index + 1 < Send(list, LB_GETCOUNT) ? index + 1 : index - 1;
    POINT point{-1, -1};
    const bool shown = WaitFor([&] {
        LRESULT top = Send(list, LB_GETTOPINDEX);
        if (std::min<LRESULT>(aim, index) < top || std::max<LRESULT>(aim, index) >= top + rows) {
            Send(list, LB_SETTOPINDEX, static_cast<WPARAM>(std::min<LRESULT>(aim, index)));
            top = Send(list, LB_GETTOPINDEX);
        }
        const POINT wanted{client.right / 3, static_cast<LONG>((aim - top) * height + height / 2)};
        if (wanted.x != point.x || wanted.y != point.y) {
            point = wanted;
            POINT screen = point;
            ClientToScreen(list, &screen);
            MovePointer(screen);
            return false;
        }
        if (Send(list, LB_GETCURSEL) != aim || Send(list, LB_GETTOPINDEX) != top) return false;
        if (aim == index) return true;
        aim = index;
        return false;
    });
    if (!shown) {
        ADD_FAILURE() << "the list never showed entry " << index << " under the pointer";
        return nowhere;
    }
    ClientToScreen(list, &point);
    return point;
}

void Pick(HWND combo, int index) {
    const POINT entry = DropListAt(combo, index);
    if (entry.x < 0) return;
    // The list shows the entry under the pointer: the button goes down there.
    ClickAt(entry);
    if (!WaitFor([&] { return Send(combo, CB_GETDROPPEDSTATE) == 0; }))
        ADD_FAILURE() << "the list stayed dropped";
    if (Send(combo, CB_GETCURSEL) != index) {
        ADD_FAILURE() << "clicked entry " << index << ", the list selected " << Send(combo, CB_GETCURSEL);
    }
}

void PickStation(HWND dialog, int comboId, const std::wstring& name) {
    HWND combo = Item(dialog, comboId);
    const int entry = FindEntry(combo, name);
    if (entry == CB_ERR) {
        ADD_FAILURE() << Narrow(name) << " is not in list " << comboId;
        return;
    }
    Pick(combo, entry);
}

void Choose(HWND dialog, int comboId, int index) {
    HWND combo = Item(dialog, comboId);
    Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index));
    Send(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

int FindEntry(HWND combo, const std::wstring& text) {
    return static_cast<int>(
        Send(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str())));
}

void ChooseStation(HWND dialog, int comboId, const std::wstring& name) {
    const int entry = FindEntry(Item(dialog, comboId), name);
    if (entry == CB_ERR) ADD_FAILURE() << Narrow(name) << " is not in list " << comboId;
    Choose(dialog, comboId, entry);
}

std::wstring AnswerAfter(HWND output, const std::function<void()>& action) {
    const std::wstring marker = L"\x2030 waiting \x2030";
    SetText(output, marker);
    action();
    std::wstring answer = marker;
    if (!WaitFor([&] { return (answer = Text(output)) != marker; })) {
        ADD_FAILURE() << "the answer field was never rewritten";
    }
    return answer;
}

QueryDialog CurrentFinder(HWND dialog) {
    return {dialog, IDC_CURRENT_EDIT, IDC_FIND, IDC_FOUND_STATIONS};
}
QueryDialog TessaryLookup(HWND dialog) {
    return {dialog, IDC_NUMBER_EDIT, IDC_LOOKUP, IDC_STATION_NAME};
}

std::wstring Ask(const QueryDialog& query, Entry entry, const std::wstring& text, Trigger trigger) {
    HWND edit = Item(query.dialog, query.editId);
    return AnswerAfter(Item(query.dialog, query.answerId), [&] {
        if (entry == Entry::Typed) {
            SetText(edit, L"");
            FocusByClick(edit);
            TypeKeys(text);
            if (!WaitFor([&] { return Text(edit) == text; })) {
                ADD_FAILURE() << "typed " << Narrow(text) << ", the field shows " << Narrow(Text(edit));
            }
        } else {
            SetText(edit, text);
        }
        if (trigger == Trigger::EnterKey) {
            FocusByClick(edit);
            PressKey(VK_RETURN);
        } else if (trigger == Trigger::TabSpace) {
            FocusByClick(edit);
            PressKey(VK_TAB);
            HWND button = Item(query.dialog, query.buttonId);
            if (!WaitFor([&] { return FocusIn(button) == button; }))
                ADD_FAILURE() << "Tab did not reach the button";
            PressKey(VK_SPACE);
        } else {
            Click(Item(query.dialog, query.buttonId));
        }
    });
}

// ---- The station table ------------------------------------------------------

const StationTable& Stations() {
    static const StationTable* table = [] {
        auto* filled = new StationTable;
        filled->FillStationTable();
        return filled;
    }();
    return *table;
}

std::wstring Widen(const char* text) {
    std::wstring wide;
    for (; *text; ++text) wide += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    return wide;
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t ch : text) narrow += static_cast<char>(ch);
    return narrow;
}

std::wstring StationName(int index) {
    return Widen(Stations().GetStationName(index));
}

int StationIndex(const std::wstring& name) {
    for (int index = 0; index < NUM_STATIONS; ++index) {
        if (StationName(index) == name) return index;
    }
    return -1;
}

// ---- One run of the program ----------------------------------------------

Program::~Program() {
    if (Running()) TerminateProcess(m_process.hProcess, 1);
    ReleaseHandles();
}

void Program::ReleaseHandles() {
    if (m_process.hProcess) CloseHandle(m_process.hProcess);
    if (m_process.hThread) CloseHandle(m_process.hThread);
    m_process = PROCESS_INFORMATION{};
}

testing::AssertionResult Program::Start() {
    const std::wstring path = ProgramPath();
    if (path.empty())
        return testing::AssertionFailure() << "usage: ui_driver_test <Tarrowby.exe> [<screenshots>]";
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // Wine answers ERROR_INTERNAL_ERROR when the new process ended before it
    // finished Wine's own start-up (ntdll's NtCreateUserProcess finds it
    // neither initialised nor given an exit code): before any of the program
    // ran. Seen about once in 3,300 starts: Debian's Wine has no preloader,
    // and the kernel now and then puts the loader's heap where the shared
    // user data page must go ("failed to map the shared user data"). Only
    // that start is tried again.
    for (int attempt = 1; !CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                          nullptr, nullptr, &startup, &m_process);
         ++attempt) {
        const DWORD error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == 3) {
            return testing::AssertionFailure() << "cannot start " << Narrow(path) << ": error " << error;
        }
        NoteRetry("a start ended inside Wine's own start-up (error 1359): started again");
    }
    WaitForInputIdle(m_process.hProcess, kDeadlineMs);
    // Matched by process as well as by caption: other programs on the same
    // display may show a window of that name.
    const bool found = WaitFor([&] {
        for (HWND window : TopLevelWindows(true)) {
            if (ClassName(window) == L"#32770" && Text(window) == L"Tarrowby Companion") {
                m_launcher = window;
                return true;
            }
        }
        return !Running();
    });
    if (!found || !m_launcher) return testing::AssertionFailure() << "the launcher did not appear";
    return Activate(m_launcher);
}

testing::AssertionResult Program::Activate(HWND window) const {
    const auto active = [&] { return GetForegroundWindow() == window; };
    if (WaitFor(active, 3000)) return testing::AssertionSuccess();
    // A window manager may leave a new window without the focus: a click on
    // the window's own background gives it, as it would to a person.
    NoteRetry("a window was left without the focus: clicked to give it");
    POINT corner{1, 1};
    ClientToScreen(window, &corner);
    ClickAt(corner);
    if (WaitFor(active)) return testing::AssertionSuccess();
    return testing::AssertionFailure() << Narrow(Text(window)) << " never became the active window";
}

bool Program::Running() const {
    return m_process.hProcess && WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT;
}

testing::AssertionResult Program::WaitForExit() {
    if (WaitForSingleObject(m_process.hProcess, kDeadlineMs) != WAIT_OBJECT_0) {
        return testing::AssertionFailure() << "the process did not exit";
    }
    return testing::AssertionSuccess();
}

testing::AssertionResult Program::End() {
    if (!m_process.hProcess) return testing::AssertionSuccess();
    if (Running()) {
        // A tool or the About box left open by a failed test goes first.
        for (HWND window : TopLevelWindows(true)) {
            if (window != m_launcher && ClassName(window) == L"#32770") PostMessageW(window, WM_CLOSE, 0, 0);
        }
        WaitFor([&] { return IsWindowEnabled(m_launcher) != FALSE; }, kDeadlineMs / 3);
        PostMessageW(m_launcher, WM_CLOSE, 0, 0);
    }
    testing::AssertionResult exited = WaitForExit();
    if (!exited) {
        TerminateProcess(m_process.hProcess, 1);
        WaitForSingleObject(m_process.hProcess, kDeadlineMs);
        exited << " on closing its launcher, and had to be killed";
    }
    ReleaseHandles();
    return exited;
}

// Every module, a 32-bit process's too (Wine's Toolhelp list leaves those out).
bool Program::HasLoaded(const wchar_t* module) const {
    HMODULE modules[512];
    DWORD size = 0;
    EnumProcessModulesEx(m_process.hProcess, modules, sizeof modules, &size, LIST_MODULES_ALL);
    return std::any_of(modules, modules + std::min<DWORD>(size / sizeof(HMODULE), 512), [&](HMODULE loaded) {
        wchar_t name[MAX_PATH];
        return GetModuleBaseNameW(m_process.hProcess, loaded, name, MAX_PATH) && !_wcsicmp(name, module);
    });
}

HWND Program::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(m_process.dwThreadId, &info) ? info.hwndFocus : nullptr;
}

std::vector<HWND> Program::TopLevelWindows(bool visibleOnly) const {
    Search search{m_process.dwProcessId, visibleOnly, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void PutBackInPlace(HWND dialog) {
    // A pixel off first: Wine tells the X server of a move only when it
    // believes the window elsewhere, and here it may believe it in place.
    // Brought to the top too: a window manager that keeps a new window from
    // taking the focus may have left it under the dialog open before it.
    const POINT place = CentredPlace(dialog);
    for (LONG offset : {1, 0}) {
        SetWindowPos(dialog, HWND_TOP, place.x + offset, place.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

POINT CentredPlace(HWND dialog) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& screen = monitor.rcWork;
    RECT over = screen, box;
    if (owner && !IsIconic(owner)) GetWindowRect(owner, &over);
    GetWindowRect(dialog, &box);
    const auto centred = [](LONG areaFrom, LONG areaTo, LONG size, LONG screenFrom, LONG screenTo) {
        return std::clamp(areaFrom + (areaTo - areaFrom - size) / 2, screenFrom, screenTo - size);
    };
    return {centred(over.left, over.right, box.right - box.left, screen.left, screen.right),
            centred(over.top, over.bottom, box.bottom - box.top, screen.top, screen.bottom)};
}

HWND Program::WaitForDialog(const std::wstring& caption) const {
    HWND dialog = nullptr;
    WaitFor([&] {
        for (HWND window : TopLevelWindows(true)) {
            if (window != m_launcher && ClassName(window) == L"#32770" && Text(window) == caption) {
                dialog = window;
                return true;
            }
        }
        return false;
    });
    // A window manager shows a new window where it likes first and then where
    // the program put it: the dialog is handed over once it stands there.
    // Wine 8 under a window manager, on a busy machine, may instead take the
    // window's first place from the X server after the program moved it, while
    // the X window stays where the program put it, and clicks would miss:
    // where a window manager runs, the program's place is put back from here.
    const auto placed = [&] {
        RECT box;
        GetWindowRect(dialog, &box);
        const POINT place = CentredPlace(dialog);
        return std::abs(box.left - place.x) <= 1 && std::abs(box.top - place.y) <= 1;
    };
    if (dialog && !WaitFor(placed, 3000) && InWindowManager()) {
        NoteRetry("Wine lost a new dialog's place under the window manager: put back");
        PutBackInPlace(dialog);
        WaitFor(placed, 3000);
    }
    return dialog;
}

void Program::PressKeyIn(HWND dialog, UINT virtualKey, UINT modifier) const {
    EXPECT_TRUE(Activate(dialog));
    if (modifier) {
        PressChord(modifier, virtualKey);
    } else {
        PressKey(virtualKey);
    }
}

// ---- Tools -------------------------------------------------------------------

void PrintTo(Closer how, std::ostream* out) {
    static const char* const names[] = {"Escape", "Enter", "CloseBox", "OkButton"};
    *out << names[static_cast<int>(how)];
}

std::string CloserName(const testing::TestParamInfo<Closer>& info) {
    return testing::PrintToString(info.param);
}

HWND ProgramTest::OpenTool(int buttonId, const std::wstring& caption, bool asCommand) {
    // A minimised launcher's buttons are out of the pointer's reach: there the
    // click comes as a command (an assistive tool's, say).
    HWND button = Item(program.Launcher(), buttonId);
    if (asCommand || IsIconic(program.Launcher())) {
        PostMessageW(button, BM_CLICK, 0, 0);
    } else {
        Click(button);
    }
    HWND tool = program.WaitForDialog(caption);
    if (!tool) {
        ADD_FAILURE() << "the \"" << Narrow(caption) << "\" dialog did not open";
        return nullptr;
    }
    ExpectModalOverLauncher(tool);
    return tool;
}

HWND ProgramTest::OpenAboutBox() {
    PostMessageW(program.Launcher(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND about = program.WaitForDialog(kAboutBoxName);
    if (!about) {
        ADD_FAILURE() << "the About box did not open";
        return nullptr;
    }
    ExpectModalOverLauncher(about);
    return about;
}

void ProgramTest::ExpectModalOverLauncher(HWND dialog) {
    HWND launcher = program.Launcher();
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), launcher) << "owner of " << Narrow(Text(dialog));
    EXPECT_TRUE(WaitFor([&] { return !IsWindowEnabled(launcher); }))
        << "the launcher takes input under a dialog";

    // Over the launcher, or over its monitor's work area when the launcher is
    // minimised, and kept inside that work area: on the launcher's own monitor.
    RECT box;
    GetWindowRect(dialog, &box);
    const POINT place = CentredPlace(dialog);
    EXPECT_NEAR(box.left, place.x, 1);
    EXPECT_NEAR(box.top, place.y, 1);
}

namespace {

BOOL CALLBACK NoteMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    reinterpret_cast<std::vector<HMONITOR>*>(list)->push_back(monitor);
    return TRUE;
}

}  // namespace

void PrintTo(LauncherPlace place, std::ostream* out) {
    static const char* const names[] = {"WellInside", "AtRightEdge", "Minimised"};
    *out << names[static_cast<int>(place)];
}

void ProgramTest::PlaceLauncher(LauncherPlace place) {
    HWND launcher = program.Launcher();
    if (IsIconic(launcher)) {
        ShowWindow(launcher, SW_RESTORE);
        EXPECT_TRUE(WaitFor([&] { return !IsIconic(launcher); })) << "the launcher stayed minimised";
    }
    // The monitor farthest right: the second one where there are two.
    std::vector<HMONITOR> monitors;
    EnumDisplayMonitors(nullptr, nullptr, NoteMonitor, reinterpret_cast<LPARAM>(&monitors));
    // A run on a display of several monitors says how many (TARROWBY_MONITORS).
    if (const char* expected = std::getenv("TARROWBY_MONITORS")) {
        ASSERT_EQ(monitors.size(), static_cast<size_t>(std::atoi(expected))) << "monitors the program sees";
    }
    ASSERT_FALSE(monitors.empty());
    MONITORINFO chosen{}, info{};
    chosen.cbSize = info.cbSize = sizeof info;
    GetMonitorInfoW(monitors.front(), &chosen);
    for (HMONITOR monitor : monitors) {
        if (GetMonitorInfoW(monitor, &info) && info.rcWork.left > chosen.rcWork.left) chosen = info;
    }
    const RECT& work = chosen.rcWork;
    RECT rect;
    GetWindowRect(launcher, &rect);
    const LONG width = rect.right - rect.left;
    // Well inside; or a quarter of it past the right edge, where a dialog
    // centred over it would cross that edge.
    const LONG x = place == LauncherPlace::AtRightEdge ? work.right - width * 3 / 4 : work.left + 280;
    const LONG y = work.top + 200;
    SetWindowPos(launcher, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitFor([&] {
        GetWindowRect(launcher, &rect);
        return rect.left == x && rect.top == y;
    })) << "the launcher did not move to "
        << x << ", " << y;
    if (place == LauncherPlace::Minimised) {
        ShowWindow(launcher, SW_MINIMIZE);
        EXPECT_TRUE(WaitFor([&] { return IsIconic(launcher) != FALSE; })) << "the launcher was not minimised";
    }
}

void ProgramTest::CloseTool(HWND dialog, Closer how) {
    switch (how) {
        case Closer::Escape:
            program.PressKeyIn(dialog, VK_ESCAPE);
            break;
        case Closer::Enter:
            program.PressKeyIn(dialog, VK_RETURN);
            break;
        case Closer::CloseBox:
            CloseBox(dialog);
            break;
        case Closer::OkButton:
            Click(Item(dialog, IDOK));
            break;
    }
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); })) << "the dialog stayed open";
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(program.Launcher()) != FALSE; }))
        << "the launcher stayed disabled";
    EXPECT_TRUE(program.Running());
}

}  // namespace driver
