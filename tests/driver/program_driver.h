// Drives the real Tarrowby.exe from outside, as a user would: starts it, finds
// its windows, reads what they show, and types, clicks and closes through the
// system's input path, as the keyboard and mouse do.
//
// Command line: ui_driver_test <Tarrowby.exe> [<screenshot folder>]
// (or TARROWBY_EXE / TARROWBY_SCREENSHOTS). Unix paths are taken as Wine's Z:.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "cases/station_tool_cases.h"
#include "station_table.h"

namespace driver {

// Wine may take seconds to start a process or to answer; every wait polls
// up to this long and gives up only then.
constexpr DWORD kDeadlineMs = 30000;

// Polls `condition` until it holds or `timeoutMs` has passed.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = kDeadlineMs);

std::wstring ProgramPath();
std::wstring ScreenshotFolder();  // empty: no screenshots

// ---- Windows of the program ----------------------------------------------
// Sent messages time out rather than hang the run when the program stops answering.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
std::wstring Text(HWND window);
void SetText(HWND window, const std::wstring& text);  // as pasted: no ES_NUMBER filter
std::wstring ClassName(HWND window);
DWORD Style(HWND window);
std::vector<HWND> Children(HWND parent);  // in template (tab) order
HWND Item(HWND dialog, int id);            // fails the test when missing

// Every static's and text button's text must fit inside it as the control lays
// it out (a static word-wrapped, or on one line when vertically centred; a
// button on one line), in the dialog's font, made again here from its face and
// size, with the program's own "MS Serif" where the system has none.
void ExpectTextsFit(HWND dialog, const wchar_t* fontFace, int points);
// An "MS Serif" dialog grows with the display's dots per inch: its client area
// is within 15 % of its size at 96 dpi times the ratio of the two settings.
void ExpectSizedForDpi(HWND dialog, int templateId);

// ---- Input -----------------------------------------------------------------
// Keys and clicks go in through the system's input path (SendInput), as a
// person's do: a key to the window that has the focus, a click to the window
// under the pointer, which it activates. Focus, key state and the default
// button then behave as they do for a person.
void PressKey(UINT virtualKey);                   // down, up
void PressChord(UINT modifier, UINT virtualKey);  // e.g. Alt+F4, Shift+Tab
void TypeKeys(const std::wstring& chars);         // each character's keys
// The focus in the thread of `window`.
HWND FocusIn(HWND window);
// Clicks `control` unless it has the focus in the active window already.
void FocusByClick(HWND control);
POINT Centre(HWND window);
void MovePointer(POINT screen);
void ClickAt(POINT screen);
void Click(HWND window);     // a click at the window's centre
void CloseBox(HWND window);  // a click on the close box of the caption
// Clicks a combo box to drop its list, scrolls `index` into view, puts the
// pointer on it and returns that point once the list shows the entry as the
// one under the pointer (the list still dropped); {-1, -1} when it failed.
POINT DropListAt(HWND combo, int index);
// Picks a list entry with the mouse: drops the list and clicks the entry.
void Pick(HWND combo, int index);
void PickStation(HWND dialog, int comboId, const std::wstring& name);
// Chooses a list entry and tells the dialog, as the user's pick would.
void Choose(HWND dialog, int comboId, int index);
// The entry with exactly this text in a combo box's list (CB_ERR when none).
int FindEntry(HWND combo, const std::wstring& text);
void ChooseStation(HWND dialog, int comboId, const std::wstring& name);
// Runs `action`, which makes the program rewrite `output`, and returns the
// new text. A marker put in first tells the new answer from the old one.
std::wstring AnswerAfter(HWND output, const std::function<void()>& action);

// The Station Current Finder and the Tessary Lookup alike: a number field,
// a default button and an answer field.
struct QueryDialog {
    HWND dialog;
    int editId;
    int buttonId;
    int answerId;
};
QueryDialog CurrentFinder(HWND dialog);
QueryDialog TessaryLookup(HWND dialog);
using Entry = cases::Entry;  // keys typed, or WM_SETTEXT
using Trigger = cases::Trigger;
// Puts `text` into the number field and asks; returns the new answer.
// Typed text must be digits only, which the field keeps as they are.
std::wstring Ask(const QueryDialog& query, Entry entry, const std::wstring& text, Trigger trigger);

// ---- The station table, to know the right answers ---------------------------
const StationTable& Stations();
std::wstring Widen(const char* text);
std::string Narrow(const std::wstring& text);
std::wstring StationName(int index);
int StationIndex(const std::wstring& name);  // -1 when there is none

// ---- One run of the program ----------------------------------------------
class Program {
public:
    Program() = default;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program();

    // Starts the program and waits for its launcher.
    testing::AssertionResult Start();
    // Closes whatever dialog is open, then the launcher; the process must exit
    // by itself. Killing it is the last resort, and a failure.
    testing::AssertionResult End();
    testing::AssertionResult WaitForExit();
    bool Running() const;

    HWND Launcher() const { return m_launcher; }
    // Whether the process has loaded the module of this file name.
    bool HasLoaded(const wchar_t* module) const;
    // The window that has the keyboard focus in the program's GUI thread.
    HWND Focus() const;
    // The visible dialog with this caption, other than the launcher; nullptr
    // when none appears before the deadline.
    HWND WaitForDialog(const std::wstring& caption) const;
    std::vector<HWND> TopLevelWindows(bool visibleOnly) const;
    // Presses a key (with `modifier` held, if not 0) once `dialog` is the
    // active window, so that it goes to the dialog's focused control.
    void PressKeyIn(HWND dialog, UINT virtualKey, UINT modifier = 0) const;
    // Waits until `window` is the active window of the foreground; under a
    // window manager, clicks it first if it does not become so by itself.
    testing::AssertionResult Activate(HWND window) const;

private:
    void ReleaseHandles();

    PROCESS_INFORMATION m_process{};
    HWND m_launcher = nullptr;
};

// Where the program places a dialog: centred over its owner, or over the
// owner's monitor's work area when the owner is minimised, kept inside that
// work area.
POINT CentredPlace(HWND dialog);
// Moves a dialog back to that place from here (where Wine lost it).
void PutBackInPlace(HWND dialog);

// The About box has no title bar: its window text names it for screen readers.
inline constexpr wchar_t kAboutBoxName[] = L"About Tarrowby Companion 1.0.0.1";

// The user's ways of closing a dialog.
enum class Closer { Escape, Enter, CloseBox, OkButton };
void PrintTo(Closer how, std::ostream* out);
std::string CloserName(const testing::TestParamInfo<Closer>& info);

// Where a test puts the launcher before a dialog opens over it: on the
// monitor farthest right (the second where there are two), well inside it or
// partly past its right edge, or well inside it and then minimised.
enum class LauncherPlace { WellInside, AtRightEdge, Minimised };
void PrintTo(LauncherPlace place, std::ostream* out);

// A fresh program for each test, ended after it.
class ProgramTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(program.Start()); }
    void TearDown() override { EXPECT_TRUE(program.End()); }

    // Clicks a launcher button (or, `asCommand`, posts the click) and waits
    // for the tool it opens, which must be owned by the launcher, hold it
    // disabled and sit centred over it (over its monitor's work area when it
    // is minimised), kept inside the work area of the launcher's monitor.
    HWND OpenTool(int buttonId, const std::wstring& caption, bool asCommand = false);
    HWND OpenAboutBox();
    void ExpectModalOverLauncher(HWND dialog);
    // Moves the launcher to `place`, restoring it first if it is minimised.
    void PlaceLauncher(LauncherPlace place);
    // Closes `dialog` one of the user's ways; it must go and the launcher
    // must take input again.
    void CloseTool(HWND dialog, Closer how);

    Program program;
};


}  // namespace driver
