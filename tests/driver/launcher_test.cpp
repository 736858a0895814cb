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
