// The launcher, run inside this process on the program's own application
// object, as InitInstance runs it. What no other process may read (the window
// and drag icons, the system menu, dialog units, the pixels drawn while
// iconic) is checked here: each test runs the launcher's modal loop on the
// main thread and works on the window from a second thread, as a user would,
// then closes it and checks that DoModal came back.
//
// --screenshot=PATH (or the environment variable TARROWBY_SCREENSHOT) names
// the BMP file that the screenshot test writes; without one it is skipped.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "companion_app.h"
#include "companion_dlg.h"
#include "host_system.h"
#include "station_table.h"
#include "tessary_lookup_dlg.h"

// The program's one application object, defined with the application class.
extern CCompanionApp theApp;

namespace {

// ---------------------------------------------------------------------------
// The numbers the program's resources and menu are known by.

constexpr int kApplicationIcon = 128;
constexpr UINT kAboutCommand = 0x0010;
constexpr char kAboutItemText[] = "&About Tarrowby...";
constexpr char kLauncherCaption[] = "Tarrowby Companion";
constexpr char kDialogClass[] = "#32770";

constexpr int kChargeDeltaButton = 1038;
constexpr int kCurrentFinderButton = 1027;
constexpr int kTessaryLookupButton = 1037;
constexpr int kTokenTableButton = 1042;

// The launcher's template: the client area in dialog units, and its controls
// in tab order, with their texts once the launcher has opened (the icon
// buttons carry their tools' names, which they do not draw).
constexpr int kLauncherWidthDu = 150;
constexpr int kLauncherHeightDu = 156;

struct TemplateControl {
    int id;
    const char* windowClass;
    int x, y, cx, cy;  // dialog units
    const char* text;
};

const TemplateControl kLauncherControls[] = {
    {kChargeDeltaButton, "Button", 7, 7, 32, 32, "Charge Delta Calculator"},
    {kCurrentFinderButton, "Button", 7, 43, 32, 32, "Station Current Finder"},
    {kTessaryLookupButton, "Button", 7, 79, 32, 32, "Tessary Lookup"},
    {1039, "Static", 42, 7, 100, 10, "Charge Delta Calculator"},
    {1040, "Static", 42, 43, 100, 10, "Station Current Finder"},
    {1041, "Static", 42, 79, 100, 10, "Tessary Lookup"},
    {-1, "Static", 42, 23, 98, 16, "Calculate the Current differential\nbetween two Stations"},
    {-1, "Static", 42, 59, 98, 16, "Find all Stations with a specified\nCurrent"},
    {-1, "Static", 42, 94, 98, 16, "Look up a Station from its\nTessary Number"},
    {kTokenTableButton, "Button", 7, 114, 32, 32, "Token Collection Table"},
    {1043, "Static", 42, 114, 100, 10, "Token Collection Table"},
    {-1, "Static", 42, 130, 98, 16, "Summary of Tokens claimable\nafter each Move"},
};

struct ToolButton {
    int button;
    int icon;
    const char* tool;
};

const ToolButton kToolButtons[] = {
    {kChargeDeltaButton, 134, "Charge Delta Calculator"},
    {kCurrentFinderButton, 141, "Station Current Finder"},
    {kTessaryLookupButton, 139, "Tessary Lookup"},
    {kTokenTableButton, 144, "Token Collection Table"},
};

// ---------------------------------------------------------------------------
// Small helpers.

// Polls until `done` holds or a generous deadline passes; returns the last poll.
template <class Condition>
bool WaitUntil(Condition done, std::chrono::milliseconds deadline = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return done();
        Sleep(10);
    }
    return true;
}

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// A rectangle that GoogleTest can compare and print.
struct Box {
    LONG left, top, right, bottom;
    bool operator==(const Box&) const = default;
    friend void PrintTo(const Box& box, std::ostream* out) {
        *out << "(" << box.left << ", " << box.top << ")-(" << box.right << ", " << box.bottom << ")";
    }
};

Box ToBox(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

Box WindowBox(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return ToBox(rect);
}

// Where the dialog manager puts a rectangle given in the dialog's units. It
// converts the position and the size each on its own, so the far edge is the
// sum of two rounded numbers, not the rounded sum.
Box DialogUnitsToPixels(HWND dialog, int x, int y, int cx, int cy) {
    RECT position{x, y, cx, cy};
    EXPECT_TRUE(MapDialogRect(dialog, &position));
    return {position.left, position.top, position.left + position.right, position.top + position.bottom};
}

// A child's window rectangle in its dialog's client coordinates.
Box RectInParent(HWND child, HWND dialog) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return ToBox(rect);
}

HICON ResourceIcon(int id) {
    return LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// The visible dialog boxes among a thread's top-level windows.
std::vector<HWND> VisibleDialogsOf(DWORD thread) {
    std::vector<HWND> all, dialogs;
    EnumThreadWindows(thread, CollectWindow, reinterpret_cast<LPARAM>(&all));
    for (HWND window : all) {
        if (ClassOf(window) == kDialogClass && IsWindowVisible(window)) dialogs.push_back(window);
    }
    return dialogs;
}

HWND FindLauncher(DWORD thread) {
    std::vector<HWND> all;
    EnumThreadWindows(thread, CollectWindow, reinterpret_cast<LPARAM>(&all));
    for (HWND window : all) {
        if (ClassOf(window) == kDialogClass && TextOf(window) == kLauncherCaption) return window;
    }
    return nullptr;
}

// The one visible dialog of the thread other than the launcher, if any.
HWND FindOtherDialog(DWORD thread, HWND launcher) {
    for (HWND window : VisibleDialogsOf(thread)) {
        if (window != launcher) return window;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Pixels.

// A 32-bit top-down DIB section selected into a memory DC.
class Pixels {
public:
    Pixels(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<DWORD*>(bits);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~Pixels() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Pixels(const Pixels&) = delete;
    Pixels& operator=(const Pixels&) = delete;

    bool valid() const { return bits_ != nullptr; }
    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    DWORD at(int x, int y) const {
        GdiFlush();
        return bits_[y * width_ + x] & 0xFFFFFF;
    }
    void Fill(COLORREF colour) {
        HBRUSH brush = CreateSolidBrush(colour);
        RECT all{0, 0, width_, height_};
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    // Copies the area of `source` whose top-left corner is at (x, y).
    bool CopyFrom(HDC source, int x, int y) {
        return BitBlt(dc_, 0, 0, width_, height_, source, x, y, SRCCOPY) != FALSE;
    }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    DWORD* bits_ = nullptr;
};

// What DrawIcon makes of an icon: the pixels it covers (opaque in its mask)
// and the colour it gives each, relative to the icon's top-left corner. Drawn
// once over black and once over white, a covered pixel comes out the same.
struct IconPixel {
    int x, y;
    DWORD colour;
};

std::vector<IconPixel> OpaquePixelsOf(HICON icon) {
    const int width = GetSystemMetrics(SM_CXICON), height = GetSystemMetrics(SM_CYICON);
    Pixels overBlack(width, height), overWhite(width, height);
    overBlack.Fill(RGB(0, 0, 0));
    overWhite.Fill(RGB(255, 255, 255));
    DrawIcon(overBlack.dc(), 0, 0, icon);
    DrawIcon(overWhite.dc(), 0, 0, icon);
    std::vector<IconPixel> opaque;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (overBlack.at(x, y) == overWhite.at(x, y)) opaque.push_back({x, y, overBlack.at(x, y)});
        }
    }
    return opaque;
}

// How the icon drawn with its top-left corner at (x, y) compares with an
// image: the covered pixels that fall inside the image, and those of them
// that differ.
struct IconMatch {
    int compared = 0;
    int differing = 0;
};

IconMatch CompareIconAt(const std::vector<IconPixel>& icon, const Pixels& image, int x, int y) {
    IconMatch match;
    for (const IconPixel& pixel : icon) {
        const int px = x + pixel.x, py = y + pixel.y;
        if (px < 0 || py < 0 || px >= image.width() || py >= image.height()) continue;
        ++match.compared;
        if (image.at(px, py) != pixel.colour) ++match.differing;
    }
    return match;
}

// Where in an image the icon is drawn whole, if anywhere: the top-left corner
// of the first place, searching with the corner up to one icon size outside.
std::string WhereIconIs(const std::vector<IconPixel>& icon, const Pixels& image) {
    const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    for (int y = -cy + 1; y < image.height(); ++y) {
        for (int x = -cx + 1; x < image.width(); ++x) {
            const IconMatch match = CompareIconAt(icon, image, x, y);
            if (match.differing == 0 && match.compared * 2 > static_cast<int>(icon.size())) {
                return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
            }
        }
    }
    return "nowhere";
}

// Copies a window's client area as it stands now.
bool CaptureClient(HWND window, Pixels& into) {
    HDC dc = GetDC(window);
    const bool copied = into.CopyFrom(dc, 0, 0);
    ReleaseDC(window, dc);
    return copied;
}

// Copies an area of the screen, as the display shows it.
bool CaptureScreen(const RECT& area, Pixels& into) {
    HDC dc = GetDC(nullptr);
    const bool copied = into.CopyFrom(dc, area.left, area.top);
    ReleaseDC(nullptr, dc);
    return copied;
}

bool WriteBmp(const Pixels& image, const std::string& path) {
    const int rowBytes = (image.width() * 3 + 3) & ~3;
    const DWORD imageBytes = static_cast<DWORD>(rowBytes * image.height());
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + imageBytes;
    info.biSize = sizeof info;
    info.biWidth = image.width();
    info.biHeight = image.height();  // bottom-up
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = imageBytes;
    std::vector<unsigned char> rows(imageBytes, 0);
    for (int y = 0; y < image.height(); ++y) {
        unsigned char* row = &rows[static_cast<size_t>(rowBytes) * (image.height() - 1 - y)];
        for (int x = 0; x < image.width(); ++x) {
            const DWORD pixel = image.at(x, y);
            row[x * 3 + 0] = static_cast<unsigned char>(pixel & 0xFF);
            row[x * 3 + 1] = static_cast<unsigned char>((pixel >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<unsigned char>((pixel >> 16) & 0xFF);
        }
    }
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    bool written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                   std::fwrite(&info, sizeof info, 1, out) == 1 &&
                   std::fwrite(rows.data(), 1, rows.size(), out) == rows.size();
    written = std::fclose(out) == 0 && written;
    return written;
}

// Makes every missing folder on the way to a file.
void MakeFoldersFor(const std::string& path) {
    for (size_t slash = path.find_first_of("/\\", 3); slash != std::string::npos;
         slash = path.find_first_of("/\\", slash + 1)) {
        CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
    }
}

std::string ScreenshotPath() {
    const std::string option = "--screenshot=";
    for (int i = 1; i < __argc; ++i) {
        if (std::strncmp(__argv[i], option.c_str(), option.size()) == 0) return __argv[i] + option.size();
    }
    const char* variable = std::getenv("TARROWBY_SCREENSHOT");
    return variable ? variable : "";
}

// ---------------------------------------------------------------------------
// Running the launcher.

// How the user ends the launcher.
enum class Closing { kCloseMessage, kCloseSystemCommand, kEscapeKey };

void PrintTo(Closing closing, std::ostream* out) {
    switch (closing) {
        case Closing::kCloseMessage:
            *out << "WM_CLOSE";
            break;
        case Closing::kCloseSystemCommand:
            *out << "SC_CLOSE";
            break;
        case Closing::kEscapeKey:
            *out << "Esc";
            break;
    }
}

void Close(HWND launcher, Closing closing) {
    switch (closing) {
        case Closing::kCloseMessage:
            PostMessageA(launcher, WM_CLOSE, 0, 0);
            break;
        case Closing::kCloseSystemCommand:
            PostMessageA(launcher, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case Closing::kEscapeKey:
            // Esc pressed on the button that has the focus when the launcher opens.
            PostMessageA(GetDlgItem(launcher, kChargeDeltaButton), WM_KEYDOWN, VK_ESCAPE, 1);
            break;
    }
}

struct LauncherRun {
    HWND window = nullptr;    // the launcher's window while it was open
    INT_PTR result = 0;       // what DoModal returned
    bool windowLeft = false;  // the window still existed after DoModal returned
};

// Set by a timer of the launcher's thread: a timer message comes only when
// nothing else waits in the queue, so the modal loop has run and its queue is
// about to run empty for the first time.
std::atomic<bool> g_modalLoopRunning{false};

void CALLBACK MarkModalLoopRunning(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    g_modalLoopRunning = true;
}

// Runs the launcher modally on this thread, set up as InitInstance sets it up,
// while `drive` works on its window from a second thread. Whatever `drive`
// does or fails at, any dialog it left open and then the launcher are closed.
// How the launcher is started: as the application starts it, through
// InitInstance (which returns FALSE), or as a dialog of its own (DoModal's result).
enum class Start { kDialog, kInitInstance };

LauncherRun RunLauncher(const std::function<void(HWND launcher, DWORD uiThread)>& drive,
                        Closing closing = Closing::kCloseMessage, Start start = Start::kDialog) {
    LauncherRun run;
    const DWORD uiThread = GetCurrentThreadId();
    g_modalLoopRunning = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, MarkModalLoopRunning);
    std::thread driver([&] {
        HWND launcher = nullptr;
        if (!WaitUntil([&] {
                return g_modalLoopRunning && (launcher = FindLauncher(uiThread)) != nullptr &&
                       IsWindowVisible(launcher);
            })) {
            ADD_FAILURE() << "the launcher did not open";
            if (launcher) PostMessageA(launcher, WM_CLOSE, 0, 0);
            return;
        }
        // The dialog manager shows a modal dialog (SW_SHOWNORMAL) when its
        // queue first runs empty, which would undo a minimise made before.
        // Two round trips through the loop take it past that point.
        SendMessageA(launcher, WM_NULL, 0, 0);
        SendMessageA(launcher, WM_NULL, 0, 0);
        run.window = launcher;
        drive(launcher, uiThread);
        for (HWND other; (other = FindOtherDialog(uiThread, launcher)) != nullptr;) {
            PostMessageA(other, WM_CLOSE, 0, 0);
            if (!WaitUntil([&] { return !IsWindow(other); })) break;
        }
        Close(launcher, closing);
        if (WaitUntil([&] { return !IsWindow(launcher); })) return;
        // It did not close: end its modal loop by other means, so that the
        // tests after this one still run.
        ADD_FAILURE() << "the launcher did not close";
        PostMessageA(launcher, WM_COMMAND, IDCANCEL, 0);
        if (!WaitUntil([&] { return !IsWindow(launcher); }, std::chrono::seconds(5))) {
            PostThreadMessageA(uiThread, WM_QUIT, 0, 0);
        }
    });
    if (start == Start::kInitInstance) {
        run.result = theApp.InitInstance();
        theApp.m_pMainWnd = nullptr;  // it named the launcher, now gone
    } else {
        CCompanionDlg launcher;
        theApp.m_pMainWnd = &launcher;
        run.result = launcher.DoModal();
        theApp.m_pMainWnd = nullptr;
    }
    driver.join();
    // A modal loop ended by WM_QUIT posts it again for the loop outside it.
    for (MSG quit; PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);) {
    }
    if (!g_modalLoopRunning) KillTimer(nullptr, timer);
    run.windowLeft = run.window && IsWindow(run.window);
    return run;
}

// Runs the launcher and expects it to have closed the ordinary way.
void ExpectLauncherRun(const std::function<void(HWND launcher, DWORD uiThread)>& drive) {
    const LauncherRun run = RunLauncher(drive);
    EXPECT_EQ(IDCANCEL, run.result);
    EXPECT_FALSE(run.windowLeft);
}

}  // namespace

// ---------------------------------------------------------------------------

namespace {

// A dialog's "MS Serif" must be a bitmap face: Windows' own, or where the
// system has none (Wine) the program's own, on whose one 8-point strike, 13
// pixels high, the launcher's 6 points and the other dialogs' 8 both fall.
void ExpectBitmapSerifFace(HWND dialog, const char* what) {
    SCOPED_TRACE(what);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    ASSERT_NE(nullptr, font);
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, font);
    char face[LF_FACESIZE] = "";
    GetTextFaceA(dc, sizeof face, face);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    EXPECT_STREQ("MS Serif", face);
    EXPECT_EQ(0, metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) << "not a bitmap face";
    if (host_system::UnderWine()) {
        EXPECT_EQ(13, metrics.tmHeight) << "not the program's own face";
    }
}

}  // namespace

// First of all tests: Wine keeps the face it chose for a font request even
// after a new face is added, so no dialog may open before the program has
// added its face, as the program itself makes sure.
TEST(LauncherFont, EveryDialogDrawsInTheBitmapSerifFace) {
    const LauncherRun run = RunLauncher(
        [](HWND launcher, DWORD uiThread) {
            ExpectBitmapSerifFace(launcher, "launcher");
            const auto expectIn = [&](const char* what, HWND target, UINT message, WPARAM wParam) {
                PostMessageA(target, message, wParam, 0);
                HWND dialog = nullptr;
                ASSERT_TRUE(WaitUntil([&] {
                    return (dialog = FindOtherDialog(uiThread, launcher)) != nullptr;
                })) << what
                    << " did not open";
                ExpectBitmapSerifFace(dialog, what);
                PostMessageA(dialog, WM_CLOSE, 0, 0);
                EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); })) << what << " did not close";
            };
            expectIn("Charge Delta Calculator", GetDlgItem(launcher, kChargeDeltaButton), BM_CLICK, 0);
            expectIn("Station Current Finder", GetDlgItem(launcher, kCurrentFinderButton), BM_CLICK, 0);
            expectIn("Tessary Lookup", GetDlgItem(launcher, kTessaryLookupButton), BM_CLICK, 0);
            expectIn("About box", launcher, WM_SYSCOMMAND, kAboutCommand);
        },
        Closing::kCloseMessage, Start::kInitInstance);
    EXPECT_EQ(FALSE, run.result) << "InitInstance must end the program";
    EXPECT_FALSE(run.windowLeft);
}

// ---------------------------------------------------------------------------

TEST(LauncherWindow, RunsOnTheProgramsOwnApplicationObject) {
    EXPECT_EQ(static_cast<CWinApp*>(&theApp), AfxGetApp());
}

// A dialog object may run more than once: each run works on its own new
// window's controls, not on the last run's destroyed ones.
TEST(LauncherWindow, ADialogObjectRunTwiceWorksBothTimes) {
    constexpr int kNumberEdit = 1037, kStationName = 1038, kLookup = 1033;
    StationTable table;
    table.FillStationTable();
    CTessaryLookupDlg dialog;
    dialog.SetStationTable(&table);
    const DWORD uiThread = GetCurrentThreadId();
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        std::thread driver([&] {
            HWND window = nullptr;
            if (!WaitUntil([&] {
                    const std::vector<HWND> open = VisibleDialogsOf(uiThread);
                    return !open.empty() && (window = open.front()) != nullptr;
                })) {
                ADD_FAILURE() << "the dialog did not open";
                return;
            }
            SetWindowTextA(GetDlgItem(window, kNumberEdit), "61");
            SendMessageA(window, WM_COMMAND, MAKEWPARAM(kLookup, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(window, kLookup)));
            EXPECT_EQ("Crossharbour & London Arena", TextOf(GetDlgItem(window, kStationName)));
            PostMessageA(window, WM_CLOSE, 0, 0);
        });
        EXPECT_EQ(IDCANCEL, dialog.DoModal());
        driver.join();
    }
}

// Each menu gets a wrapper of its own: wrapping a second menu leaves the
// first one's wrapper on the first menu.
TEST(LauncherWindow, MenuWrappersAreNotShared) {
    HMENU first = CreatePopupMenu(), second = CreatePopupMenu();
    CMenu* firstWrapper = CMenu::FromHandle(first);
    CMenu* secondWrapper = CMenu::FromHandle(second);
    EXPECT_NE(firstWrapper, secondWrapper);
    EXPECT_EQ(first, firstWrapper->m_hMenu);
    EXPECT_EQ(second, secondWrapper->m_hMenu);
    EXPECT_EQ(firstWrapper, CMenu::FromHandle(first));
    DestroyMenu(first);
    DestroyMenu(second);
}

TEST(LauncherWindow, OpensAtTheTopLeftCornerWithItsTemplateSize) {
    ExpectLauncherRun([](HWND launcher, DWORD uiThread) {
        EXPECT_EQ(kLauncherCaption, TextOf(launcher));
        const Box window = WindowBox(launcher);
        EXPECT_EQ(0, window.left);
        EXPECT_EQ(0, window.top);

        RECT client{};
        GetClientRect(launcher, &client);
        EXPECT_EQ(DialogUnitsToPixels(launcher, 0, 0, kLauncherWidthDu, kLauncherHeightDu), ToBox(client));

        EXPECT_TRUE(IsWindowEnabled(launcher));
        EXPECT_FALSE(IsIconic(launcher));
        // The dialog manager gives the focus to the first tab stop.
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetGUIThreadInfo(uiThread, &info));
        EXPECT_EQ(GetDlgItem(launcher, kChargeDeltaButton), info.hwndFocus);
    });
}

TEST(LauncherWindow, ControlsStandWhereTheTemplatePutsThem) {
    ExpectLauncherRun([](HWND launcher, DWORD) {
        std::vector<HWND> children;
        for (HWND child = GetWindow(launcher, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            children.push_back(child);
        }
        ASSERT_EQ(std::size(kLauncherControls), children.size());
        for (size_t i = 0; i < children.size(); ++i) {
            const TemplateControl& expected = kLauncherControls[i];
            SCOPED_TRACE("control " + std::to_string(i) + ", id " + std::to_string(expected.id));
            EXPECT_EQ(expected.id, GetDlgCtrlID(children[i]));
            EXPECT_EQ(expected.windowClass, ClassOf(children[i]));
            EXPECT_EQ(expected.text, TextOf(children[i]));
            EXPECT_EQ(DialogUnitsToPixels(launcher, expected.x, expected.y, expected.cx, expected.cy),
                      RectInParent(children[i], launcher));
        }
    });
}

// ---------------------------------------------------------------------------

namespace {

struct MenuItem {
    UINT type;
    UINT id;
    std::string text;
    bool operator==(const MenuItem&) const = default;
    friend void PrintTo(const MenuItem& item, std::ostream* out) {
        *out << "{type 0x" << std::hex << item.type << ", id 0x" << item.id << std::dec << ", \"" << item.text
             << "\"}";
    }
};

std::vector<MenuItem> ItemsOf(HMENU menu) {
    std::vector<MenuItem> items;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[128] = "";
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        EXPECT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) << "item " << i;
        items.push_back({info.fType, info.wID, text});
    }
    return items;
}

// The system menu that a window of the launcher's style gets from the system.
std::vector<MenuItem> PlainSystemMenuLike(HWND launcher) {
    const DWORD style = static_cast<DWORD>(GetWindowLongA(launcher, GWL_STYLE)) & ~WS_VISIBLE;
    HWND plain = CreateWindowExA(0, "Static", "plain", style, 0, 0, 100, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(nullptr, plain);
    if (!plain) return {};
    HMENU menu = GetSystemMenu(plain, FALSE);
    std::vector<MenuItem> items = menu ? ItemsOf(menu) : std::vector<MenuItem>{};
    DestroyWindow(plain);
    return items;
}

}  // namespace

TEST(LauncherSystemMenu, EndsWithOneSeparatorAndTheAboutItem) {
    ExpectLauncherRun([](HWND launcher, DWORD) {
        HMENU menu = GetSystemMenu(launcher, FALSE);
        ASSERT_NE(nullptr, menu);
        std::vector<MenuItem> expected = PlainSystemMenuLike(launcher);
        ASSERT_FALSE(expected.empty());
        expected.push_back({MFT_SEPARATOR, 0, ""});
        expected.push_back({MFT_STRING, kAboutCommand, kAboutItemText});
        EXPECT_EQ(expected, ItemsOf(menu));
    });
}

// ---------------------------------------------------------------------------

TEST(LauncherIcons, WindowAndDragIconsAreTheApplicationIcon) {
    HICON application = ResourceIcon(kApplicationIcon);
    ASSERT_NE(nullptr, application);
    ASSERT_EQ(application, ResourceIcon(kApplicationIcon)) << "a resource icon is loaded once and shared";
    ExpectLauncherRun([application](HWND launcher, DWORD) {
        EXPECT_EQ(application, reinterpret_cast<HICON>(SendMessageA(launcher, WM_GETICON, ICON_BIG, 0)));
        EXPECT_EQ(application, reinterpret_cast<HICON>(SendMessageA(launcher, WM_GETICON, ICON_SMALL, 0)));
        EXPECT_EQ(application, reinterpret_cast<HICON>(SendMessageA(launcher, WM_QUERYDRAGICON, 0, 0)));
    });
}

TEST(LauncherIcons, EachToolButtonShowsItsOwnIcon) {
    std::vector<HICON> seen{ResourceIcon(kApplicationIcon)};
    for (const ToolButton& tool : kToolButtons) {
        HICON icon = ResourceIcon(tool.icon);
        ASSERT_NE(nullptr, icon) << "icon " << tool.icon;
        ASSERT_EQ(seen.end(), std::find(seen.begin(), seen.end(), icon)) << "icon " << tool.icon;
        seen.push_back(icon);
    }
    ExpectLauncherRun([](HWND launcher, DWORD) {
        for (const ToolButton& tool : kToolButtons) {
            SCOPED_TRACE(tool.tool);
            HWND button = GetDlgItem(launcher, tool.button);
            ASSERT_NE(nullptr, button);
            EXPECT_EQ(ResourceIcon(tool.icon),
                      reinterpret_cast<HICON>(SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0)));
        }
    });
}

// ---------------------------------------------------------------------------

namespace {

// Checks one axis of a box that should be centred over another, unless that
// would take it off the work area, in which case it stands at that edge.
void ExpectCentredOnAxis(const char* axis, LONG start, LONG size, LONG overStart, LONG overSize,
                         LONG areaStart, LONG areaEnd) {
    SCOPED_TRACE(axis);
    const double centred = overStart + (overSize - size) / 2.0;
    if (centred < areaStart) {
        EXPECT_EQ(areaStart, start);
    } else if (centred + size > areaEnd) {
        EXPECT_EQ(areaEnd - size, start);
    } else {
        EXPECT_NEAR(centred, start, 1.0);
    }
}

}  // namespace

TEST(LauncherAboutBox, AboutItemOpensAnOwnedBoxCentredOverTheLauncher) {
    ExpectLauncherRun([](HWND launcher, DWORD uiThread) {
        // The system keeps the low four bits of a system command for itself.
        for (const WPARAM command : {WPARAM{kAboutCommand}, WPARAM{kAboutCommand | 0xF}}) {
            SCOPED_TRACE("WM_SYSCOMMAND " + std::to_string(command));
            ASSERT_TRUE(PostMessageA(launcher, WM_SYSCOMMAND, command, 0));
            HWND about = nullptr;
            ASSERT_TRUE(WaitUntil([&] { return (about = FindOtherDialog(uiThread, launcher)) != nullptr; }))
                << "no About box opened";
            EXPECT_EQ(launcher, GetWindow(about, GW_OWNER));
            EXPECT_FALSE(IsWindowEnabled(launcher));
            EXPECT_EQ("OK", TextOf(GetDlgItem(about, IDOK)));

            MONITORINFO monitor{};
            monitor.cbSize = sizeof monitor;
            GetMonitorInfoA(MonitorFromWindow(launcher, MONITOR_DEFAULTTONEAREST), &monitor);
            const RECT& work = monitor.rcWork;
            const Box over = WindowBox(launcher), box = WindowBox(about);
            ExpectCentredOnAxis("x", box.left, box.right - box.left, over.left, over.right - over.left,
                                work.left, work.right);
            ExpectCentredOnAxis("y", box.top, box.bottom - box.top, over.top, over.bottom - over.top,
                                work.top, work.bottom);

            PostMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
            EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about) && IsWindowEnabled(launcher); }))
                << "OK did not close the About box and give the launcher back";
        }
    });
}

// ---------------------------------------------------------------------------

namespace {

// Counts, from inside the launcher's thread, the WM_ICONERASEBKGND messages
// sent to the launcher's window, and those of them that carry a device context.
class IconEraseWatch {
public:
    IconEraseWatch(HWND window, DWORD thread) {
        window_ = window;
        Reset();
        probes_ = 0;
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, thread);
    }
    ~IconEraseWatch() {
        if (hook_) UnhookWindowsHookEx(hook_);
    }
    IconEraseWatch(const IconEraseWatch&) = delete;
    IconEraseWatch& operator=(const IconEraseWatch&) = delete;

    // A hook set from another thread takes effect there a little later: true
    // once it has seen a message sent to the window.
    bool Active() const {
        return hook_ && WaitUntil([&] {
                   SendMessageA(window_, WM_NULL, 0, 0);
                   return probes_ > 0;
               });
    }
    void Reset() { erases_ = erasesWithDc_ = 0; }
    int erases() const { return erases_; }
    int erasesWithDc() const { return erasesWithDc_; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && sent->hwnd == window_) {
            if (sent->message == WM_NULL) ++probes_;
            if (sent->message == WM_ICONERASEBKGND) {
                ++erases_;
                if (GetObjectType(reinterpret_cast<HGDIOBJ>(sent->wParam)) == OBJ_DC) ++erasesWithDc_;
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline std::atomic<HWND> window_{nullptr};
    static inline std::atomic<int> erases_{0}, erasesWithDc_{0}, probes_{0};
    HHOOK hook_;
};

// Invalidates the whole window and has it painted on its own thread, waiting
// for that paint to finish (RDW_UPDATENOW from another thread can lose the
// race to the window's own message loop and return before the paint is done);
// true once nothing is left to paint, which the display may still put off a
// little by exposing the window anew.
bool RepaintNow(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    SendMessageA(window, WM_PAINT, 0, 0);
    return WaitUntil([&] { return GetUpdateRect(window, nullptr, FALSE) == FALSE; });
}

}  // namespace

TEST(LauncherIconic, MinimisedLauncherPaintsAsAnIconAndIsRestored) {
    HICON application = ResourceIcon(kApplicationIcon);
    ExpectLauncherRun([&](HWND launcher, DWORD uiThread) {
        const Box normal = WindowBox(launcher);
        IconEraseWatch watch(launcher, uiThread);
        ASSERT_TRUE(watch.Active());

        ShowWindow(launcher, SW_MINIMIZE);
        ASSERT_TRUE(WaitUntil([&] { return IsIconic(launcher) != FALSE; }));
        watch.Reset();
        EXPECT_TRUE(RepaintNow(launcher));
        EXPECT_GE(watch.erasesWithDc(), 1) << "an iconic paint erases the icon's background";
        EXPECT_EQ(application, reinterpret_cast<HICON>(SendMessageA(launcher, WM_QUERYDRAGICON, 0, 0)));

        // Restored through the system command, which the launcher leaves to
        // the default processing.
        // The style changes before the window moves back: another thread may
        // see it no longer iconic and still at the minimised place.
        PostMessageA(launcher, WM_SYSCOMMAND, SC_RESTORE, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsIconic(launcher) && WindowBox(launcher) == normal; }));
        EXPECT_EQ(normal, WindowBox(launcher));
        watch.Reset();
        EXPECT_TRUE(RepaintNow(launcher));
        EXPECT_EQ(0, watch.erases());
    });
}

namespace {

struct ClientSize {
    int width, height;
    const char* why;
};

const ClientSize kIconicClientSizes[] = {
    {160, 120, "even sizes: the icon's corner falls on a whole pixel"},
    {161, 121, "odd sizes: the spare pixel goes to the right and below"},
    {20, 18, "smaller than the icon: the corner is outside, rounded toward zero"},
};

// Takes the window's frame away and gives it the size asked for, so that its
// client area is the whole window, as a minimised window's is.
bool MakeFrameless(HWND window, int width, int height) {
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    const LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    SetWindowLongA(window, GWL_STYLE, style & ~(WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME));
    SetWindowLongA(window, GWL_EXSTYLE,
                   exStyle & ~(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
    SetWindowPos(window, nullptr, 0, 0, width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RECT frame{}, client{};
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    return frame.right - frame.left == width && frame.bottom - frame.top == height && client.right == width &&
           client.bottom == height;
}

}  // namespace

// Minimised under Wine, the launcher keeps a frame only: its client area is
// empty, at the window's corner, and an iconic window is painted through a DC
// whose origin is the window's corner. So that there is something to see, the
// iconic state (the style bit that IsIconic reads) is given here to the
// launcher made frameless at a chosen size: a client area that is the whole
// window, as a minimised window's is, only larger.
TEST(LauncherIconic, PaintCentresTheApplicationIconInTheClientArea) {
    const std::vector<IconPixel> icon = OpaquePixelsOf(ResourceIcon(kApplicationIcon));
    ASSERT_FALSE(icon.empty());
    const int cxIcon = GetSystemMetrics(SM_CXICON), cyIcon = GetSystemMetrics(SM_CYICON);
    ExpectLauncherRun([&](HWND launcher, DWORD uiThread) {
        const Box normal = WindowBox(launcher);
        IconEraseWatch watch(launcher, uiThread);
        ASSERT_TRUE(watch.Active());
        for (const ClientSize& size : kIconicClientSizes) {
            SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height) + ", " + size.why);
            const LONG style = GetWindowLongA(launcher, GWL_STYLE);
            const LONG exStyle = GetWindowLongA(launcher, GWL_EXSTYLE);
            ASSERT_TRUE(MakeFrameless(launcher, size.width, size.height));
            SetWindowLongA(launcher, GWL_STYLE, GetWindowLongA(launcher, GWL_STYLE) | WS_MINIMIZE);
            ASSERT_TRUE(IsIconic(launcher));
            RECT client{};
            GetClientRect(launcher, &client);
            ASSERT_EQ(size.width, client.right);
            ASSERT_EQ(size.height, client.bottom);

            watch.Reset();
            EXPECT_TRUE(RepaintNow(launcher));
            EXPECT_GE(watch.erasesWithDc(), 1) << "an iconic paint erases the icon's background";

            // Integer division truncates toward zero, also below zero.
            const int x = (size.width - cxIcon + 1) / 2, y = (size.height - cyIcon + 1) / 2;
            // The display may expose the resized window once more and have it
            // repainted while it is read: read it until it shows the icon.
            Pixels shown(size.width, size.height);
            IconMatch match;
            WaitUntil(
                [&] {
                    RepaintNow(launcher);
                    match = CaptureClient(launcher, shown) ? CompareIconAt(icon, shown, x, y) : IconMatch{};
                    return match.compared > 0 && match.differing == 0;
                },
                std::chrono::seconds(5));
            EXPECT_GT(match.compared, 0);
            EXPECT_EQ(0, match.differing) << "of " << match.compared << " pixels the icon covers at (" << x
                                          << ", " << y << "); it is drawn at " << WhereIconIs(icon, shown);
            // One pixel off in any direction is not where it is drawn.
            for (const POINT off : {POINT{-1, 0}, POINT{1, 0}, POINT{0, -1}, POINT{0, 1}}) {
                EXPECT_GT(CompareIconAt(icon, shown, x + off.x, y + off.y).differing, 0)
                    << "the icon also matches at (" << x + off.x << ", " << y + off.y << ")";
            }

            ShowWindow(launcher, SW_RESTORE);
            ASSERT_TRUE(WaitUntil([&] { return !IsIconic(launcher); }));
            SetWindowLongA(launcher, GWL_STYLE, style);
            SetWindowLongA(launcher, GWL_EXSTYLE, exStyle);
            SetWindowPos(launcher, nullptr, normal.left, normal.top, normal.right - normal.left,
                         normal.bottom - normal.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }

        // Not iconic, the launcher paints as any dialog does.
        ASSERT_EQ(normal, WindowBox(launcher));
        RECT client{};
        GetClientRect(launcher, &client);
        EXPECT_EQ(DialogUnitsToPixels(launcher, 0, 0, kLauncherWidthDu, kLauncherHeightDu), ToBox(client));
        watch.Reset();
        EXPECT_TRUE(RepaintNow(launcher));
        EXPECT_EQ(0, watch.erases());
    });
}

// ---------------------------------------------------------------------------

class LauncherClosing : public ::testing::TestWithParam<Closing> {};

TEST_P(LauncherClosing, EndsDoModalAndDestroysTheWindow) {
    const LauncherRun run = RunLauncher([](HWND, DWORD) {}, GetParam());
    EXPECT_NE(nullptr, run.window);
    EXPECT_EQ(IDCANCEL, run.result);
    EXPECT_FALSE(run.windowLeft);
}

INSTANTIATE_TEST_SUITE_P(EveryWay, LauncherClosing,
                         ::testing::Values(Closing::kCloseMessage, Closing::kCloseSystemCommand,
                                           Closing::kEscapeKey));

// ---------------------------------------------------------------------------

namespace {

// Whether the icon is drawn somewhere inside the given part of an image. The
// focused button's dotted focus rectangle may cross it: up to half of the
// pixels on its four sides, cx + cy in all, may differ. (Another of the tool
// icons differs in hundreds.)
bool IconDrawnWithin(const std::vector<IconPixel>& icon, const Pixels& image, const RECT& part) {
    const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    for (int y = part.top; y + cy <= part.bottom; ++y) {
        for (int x = part.left; x + cx <= part.right; ++x) {
            const IconMatch match = CompareIconAt(icon, image, x, y);
            if (match.compared == static_cast<int>(icon.size()) && match.differing <= cx + cy) return true;
        }
    }
    return false;
}

}  // namespace

TEST(LauncherScreenshot, ShowsEachToolIconOnItsButton) {
    const std::string path = ScreenshotPath();
    std::vector<std::vector<IconPixel>> icons;
    for (const ToolButton& tool : kToolButtons) icons.push_back(OpaquePixelsOf(ResourceIcon(tool.icon)));
    ExpectLauncherRun([&](HWND launcher, DWORD) {
        RECT area{};
        GetWindowRect(launcher, &area);
        Pixels screen(area.right - area.left, area.bottom - area.top);
        ASSERT_TRUE(screen.valid());
        // The display shows what the launcher paints a moment later: read the
        // screen until every button shows its icon.
        std::string missing;
        WaitUntil([&] {
            missing.clear();
            if (!CaptureScreen(area, screen)) {
                missing = " (the screen could not be read)";
                return false;
            }
            for (size_t i = 0; i < std::size(kToolButtons); ++i) {
                RECT button{};
                GetWindowRect(GetDlgItem(launcher, kToolButtons[i].button), &button);
                OffsetRect(&button, -area.left, -area.top);
                if (!IconDrawnWithin(icons[i], screen, button))
                    missing += std::string(" ") + kToolButtons[i].tool;
            }
            return missing.empty();
        });
        EXPECT_EQ("", missing) << "buttons not showing their icon";
        if (!path.empty()) {
            MakeFoldersFor(path);
            EXPECT_TRUE(WriteBmp(screen, path)) << path;
        }
    });
    if (path.empty()) GTEST_SKIP() << "no --screenshot=PATH given: nothing saved";
}
