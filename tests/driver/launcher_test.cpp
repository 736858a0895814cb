// The launcher window, its About box, and ending the program.

#include "program_driver.h"
#include "resource.h"
#include "screenshot.h"

namespace driver {
namespace {

struct LiveControl {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
};

constexpr DWORD kIconButton = BS_PUSHBUTTON | BS_ICON | WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kTitle = SS_CENTER | SS_SUNKEN | WS_CHILD | WS_VISIBLE | WS_GROUP;
constexpr DWORD kDescription = SS_LEFT | WS_CHILD | WS_VISIBLE | WS_GROUP;

const LiveControl kLauncherControls[] = {
    {IDC_CHARGE_DELTA_BUTTON, L"Button", L"Charge Delta Calculator", kIconButton | BS_MULTILINE},
    {IDC_CURRENT_FINDER_BUTTON, L"Button", L"Station Current Finder", kIconButton},
    {IDC_TESSARY_LOOKUP_BUTTON, L"Button", L"Tessary Lookup", kIconButton},
    {IDC_CHARGE_DELTA_TITLE, L"Static", L"Charge Delta Calculator", kTitle},
    {IDC_CURRENT_FINDER_TITLE, L"Static", L"Station Current Finder", kTitle},
    {IDC_TESSARY_LOOKUP_TITLE, L"Static", L"Tessary Lookup", kTitle},
    {-1, L"Static", L"Calculate the Current differential\nbetween two Stations", kDescription},
    {-1, L"Static", L"Find all Stations with a specified\nCurrent", kDescription},
    {-1, L"Static", L"Look up a Station from its\nTessary Number", kDescription},
    {IDC_TOKEN_TABLE_BUTTON, L"Button", L"Token Collection Table", kIconButton},
    {IDC_TOKEN_TABLE_TITLE, L"Static", L"Token Collection Table", kTitle},
    {-1, L"Static", L"Summary of Tokens claimable\nafter each Move", kDescription},
};

using LauncherTest = ProgramTest;

TEST_F(LauncherTest, OpensAtTopLeftWithItsCaptionAndFrame) {
    HWND launcher = program.Launcher();
    EXPECT_EQ(Text(launcher), L"Tarrowby Companion");
    RECT rect;
    GetWindowRect(launcher, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    const DWORD style = Style(launcher);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), DWORD{WS_CAPTION | WS_SYSMENU});
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | DS_MODALFRAME), 0u);
    EXPECT_TRUE(GetWindowLongW(launcher, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_TRUE(IsWindowEnabled(launcher));
    SaveScreenshot(launcher, L"launcher");
}

TEST_F(LauncherTest, ControlsShowTheirTextsAndStyles) {
    const std::vector<HWND> children = Children(program.Launcher());
    ASSERT_EQ(children.size(), std::size(kLauncherControls));
    for (size_t i = 0; i < children.size(); ++i) {
        const LiveControl& expected = kLauncherControls[i];
        HWND child = children[i];
        SCOPED_TRACE(testing::Message() << "control " << i << " (" << Narrow(expected.text) << ")");
        EXPECT_EQ(LOWORD(GetDlgCtrlID(child)), LOWORD(expected.id));
        EXPECT_EQ(ClassName(child), expected.className);
        EXPECT_EQ(Text(child), expected.text);
        const DWORD style = Style(child);
        EXPECT_EQ(style, expected.style) << std::hex << "live 0x" << style << ", built 0x" << expected.style;
        if (expected.style & BS_ICON) {
            EXPECT_NE(Send(child, BM_GETIMAGE, IMAGE_ICON), 0) << "no icon on the button";
        }
    }
}

// The names are for assistive tools only: without them the launcher looks the same, pixel for pixel.
TEST_F(LauncherTest, ToolButtonNamesDrawNothing) {
    HWND launcher = program.Launcher();
    const Image named = CaptureWindow(launcher);
    ASSERT_GT(named.width, 0);
    for (const LiveControl& control : kLauncherControls) {
        if (control.style & BS_ICON) SetText(Item(launcher, control.id), L"");
    }
    RedrawWindow(launcher, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const Image unnamed = CaptureWindow(launcher);
    EXPECT_EQ(unnamed.width, named.width);
    EXPECT_EQ(unnamed.height, named.height);
    EXPECT_TRUE(unnamed.rgb == named.rgb) << "the launcher looks different without the buttons' names";
}

TEST_F(LauncherTest, ShowsEveryTextWhole) {
    ExpectSizedForDpi(program.Launcher(), IDD_COMPANION_DIALOG);
    ExpectTextsFit(program.Launcher(), L"MS Serif", 6);
}

TEST_F(LauncherTest, FocusStartsOnTheChargeDeltaButton) {
    HWND expected = Item(program.Launcher(), IDC_CHARGE_DELTA_BUTTON);
    EXPECT_TRUE(WaitFor([&] { return program.Focus() == expected; }))
        << "focus is on control " << GetDlgCtrlID(program.Focus());
}

// ---- Enter on the launcher ---------------------------------------------------
// Enter presses the tool button that shows the focus rectangle, however the
// focus came to it; it never ends the program from there.

struct EnterStep {
    const char* how;  // how the focus came to the button
    UINT key;         // pressed first, with `modifier` held (0: none)
    UINT modifier;
    int clicked;  // a button clicked first, its tool then closed with Esc (0: none)
    int button;   // the button that then has the focus
    const wchar_t* tool;
    Closer closer;
};

const EnterStep kEnterSteps[] = {
    {"at start", 0, 0, 0, IDC_CHARGE_DELTA_BUTTON, L"Charge Delta Calculator", Closer::Escape},
    {"back from its tool", 0, 0, 0, IDC_CHARGE_DELTA_BUTTON, L"Charge Delta Calculator", Closer::CloseBox},
    {"Tab", VK_TAB, 0, 0, IDC_CURRENT_FINDER_BUTTON, L"Station Current Finder", Closer::Escape},
    {"back from its tool", 0, 0, 0, IDC_CURRENT_FINDER_BUTTON, L"Station Current Finder", Closer::CloseBox},
    {"Shift+Tab", VK_TAB, VK_SHIFT, 0, IDC_CHARGE_DELTA_BUTTON, L"Charge Delta Calculator", Closer::Enter},
    {"a click", 0, 0, IDC_TESSARY_LOOKUP_BUTTON, IDC_TESSARY_LOOKUP_BUTTON, L"Tessary Lookup",
     Closer::Escape},
    {"Tab", VK_TAB, 0, 0, IDC_TOKEN_TABLE_BUTTON, L"Token Collection Table", Closer::Enter},
    {"back from its tool", 0, 0, 0, IDC_TOKEN_TABLE_BUTTON, L"Token Collection Table", Closer::Escape},
    {"Tab past the last button", VK_TAB, 0, 0, IDC_CHARGE_DELTA_BUTTON, L"Charge Delta Calculator",
     Closer::Escape},
};

TEST_F(LauncherTest, EnterOpensTheToolWhoseButtonHasTheFocus) {
    HWND launcher = program.Launcher();
    for (const EnterStep& step : kEnterSteps) {
        SCOPED_TRACE(testing::Message() << "focus by " << step.how << " on control " << step.button);
        if (step.clicked) {
            HWND tool = OpenTool(step.clicked, step.tool);
            ASSERT_NE(tool, nullptr);
            CloseTool(tool, Closer::Escape);
        }
        if (step.key) program.PressKeyIn(launcher, step.key, step.modifier);
        HWND expected = Item(launcher, step.button);
        ASSERT_TRUE(WaitFor([&] { return program.Focus() == expected; }))
            << "focus is on control " << GetDlgCtrlID(program.Focus());

        program.PressKeyIn(launcher, VK_RETURN);
        HWND tool = program.WaitForDialog(step.tool);
        ASSERT_NE(tool, nullptr) << "Enter opened no tool"
                                 << (program.Running() ? "" : ": the program ended");
        ExpectModalOverLauncher(tool);
        CloseTool(tool, step.closer);
        ASSERT_TRUE(program.Running());
    }
}

// ---- About box ---------------------------------------------------------------

using AboutBoxTest = ProgramTest;

TEST_F(AboutBoxTest, HasNoTitleBarAndShowsIconBitmapAndOk) {
    HWND about = OpenAboutBox();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(Text(about), kAboutBoxName);
    EXPECT_EQ(Style(about) & (WS_CAPTION | WS_SYSMENU), 0u);

    const std::vector<HWND> children = Children(about);
    ASSERT_EQ(children.size(), 3u);
    EXPECT_EQ(GetDlgCtrlID(children[0]), IDOK);
    EXPECT_EQ(ClassName(children[0]), L"Button");
    EXPECT_EQ(Text(children[0]), L"OK");
    EXPECT_EQ(ClassName(children[1]), L"Static");
    EXPECT_EQ(Style(children[1]) & SS_TYPEMASK, DWORD{SS_ICON});
    EXPECT_NE(Send(children[1], STM_GETIMAGE, IMAGE_ICON), 0) << "no icon shown";
    EXPECT_NE(Send(children[1], STM_GETICON), 0) << "no icon shown";
    EXPECT_EQ(ClassName(children[2]), L"Static");
    EXPECT_EQ(Style(children[2]) & SS_TYPEMASK, DWORD{SS_BITMAP});
    EXPECT_NE(Send(children[2], STM_GETIMAGE, IMAGE_BITMAP), 0) << "no bitmap shown";

    ExpectSizedForDpi(about, IDD_ABOUTBOX);
    ExpectTextsFit(about, L"MS Serif", 8);
    SaveScreenshot(about, L"about_box");
    CloseTool(about, Closer::OkButton);
}

class AboutBoxClosing : public AboutBoxTest, public testing::WithParamInterface<Closer> {};

TEST_P(AboutBoxClosing, ClosesAndGivesTheLauncherBack) {
    HWND about = OpenAboutBox();
    ASSERT_NE(about, nullptr);
    CloseTool(about, GetParam());
    // Opens again afterwards: the first box is really gone.
    HWND again = OpenAboutBox();
    ASSERT_NE(again, nullptr);
    CloseTool(again, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Ways, AboutBoxClosing, testing::Values(Closer::OkButton, Closer::Enter, Closer::Escape),
                         CloserName);

TEST_F(AboutBoxTest, OpensOverTheLauncherOnItsMonitor) {
    for (LauncherPlace place : {LauncherPlace::WellInside, LauncherPlace::AtRightEdge, LauncherPlace::Minimised}) {
        SCOPED_TRACE(testing::PrintToString(place));
        PlaceLauncher(place);
        HWND about = OpenAboutBox();
        ASSERT_NE(about, nullptr);
        CloseTool(about, Closer::Escape);
    }
}

// An About command may reach the launcher while a tool is open (the task
// bar's window menu, an assistive tool, another program), and a tool button
// may be pressed for it while the About box is open: either way the new box
// opens over the one already open, and the launcher takes no input until the
// last of them has closed.
TEST_F(AboutBoxTest, OverAnOpenToolLeavesTheLauncherDisabledUntilTheToolCloses) {
    HWND launcher = program.Launcher();
    HWND tool = OpenTool(IDC_TESSARY_LOOKUP_BUTTON, L"Tessary Lookup");
    ASSERT_NE(tool, nullptr);
    for (Closer how : {Closer::Escape, Closer::OkButton}) {
        SCOPED_TRACE(testing::Message() << "About box closed with " << testing::PrintToString(how));
        PostMessageW(launcher, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        HWND about = program.WaitForDialog(kAboutBoxName);
        ASSERT_NE(about, nullptr) << "the About box did not open";
        EXPECT_EQ(GetWindow(about, GW_OWNER), tool);
        EXPECT_TRUE(WaitFor([&] { return !IsWindowEnabled(tool); }))
            << "the tool takes input under the About box";
        EXPECT_FALSE(IsWindowEnabled(launcher));
        if (how == Closer::Escape) {
            program.PressKeyIn(about, VK_ESCAPE);
        } else {
            Click(Item(about, IDOK));
        }
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(about) && IsWindowEnabled(tool); }))
            << "the About box did not close and give the tool back";
        Send(tool, WM_NULL);
        EXPECT_FALSE(IsWindowEnabled(launcher)) << "the launcher takes input while the tool is open";
    }
    CloseTool(tool, Closer::Escape);

    // The other way round: the About box first, then a tool button pressed
    // from outside (a posted click works on a disabled window's button).
    HWND about = OpenAboutBox();
    ASSERT_NE(about, nullptr);
    PostMessageW(Item(launcher, IDC_CHARGE_DELTA_BUTTON), BM_CLICK, 0, 0);
    tool = program.WaitForDialog(L"Charge Delta Calculator");
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(GetWindow(tool, GW_OWNER), about);
    program.PressKeyIn(tool, VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(tool) && IsWindowEnabled(about); }));
    Send(about, WM_NULL);
    EXPECT_FALSE(IsWindowEnabled(launcher)) << "the launcher takes input while the About box is open";
    CloseTool(about, Closer::OkButton);
}

// ---- Ending the program ------------------------------------------------------

struct Ending {
    const char* name;
    void (*close)(const Program&);
};

void PrintTo(const Ending& ending, std::ostream* out) { *out << ending.name; }

const Ending kEndings[] = {
    {"CloseMessage", [](const Program& p) { PostMessageW(p.Launcher(), WM_CLOSE, 0, 0); }},
    {"CloseBox", [](const Program& p) { CloseBox(p.Launcher()); }},
    {"Escape", [](const Program& p) { p.PressKeyIn(p.Launcher(), VK_ESCAPE); }},
    {"AltF4", [](const Program& p) { p.PressKeyIn(p.Launcher(), VK_F4, VK_MENU); }},
};

class LauncherClosing : public ProgramTest, public testing::WithParamInterface<Ending> {};

TEST_P(LauncherClosing, EndsTheProcessWithNoWindowLeft) {
    GetParam().close(program);
    EXPECT_TRUE(WaitFor([&] { return program.TopLevelWindows(true).empty(); })) << "a window stayed on screen";
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_TRUE(program.TopLevelWindows(false).empty());
}

INSTANTIATE_TEST_SUITE_P(Ways, LauncherClosing, testing::ValuesIn(kEndings),
                         [](const testing::TestParamInfo<Ending>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace driver
