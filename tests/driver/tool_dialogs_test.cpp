// What the four tools share: each opens from its launcher button as a modal
// dialog over the launcher, closes every way the user has, and opens again
// empty, whatever it showed before; and what a screen reader hears of every
// dialog.

#include <oleacc.h>

#include <algorithm>
#include <string>
#include <vector>

#include "program_driver.h"
#include "resource.h"

namespace driver {
namespace {

struct Tool {
    const char* name;
    int button;
    const wchar_t* caption;
    int firstFocus;  // 0: no field to type into
    int answer;      // the field that shows what `use` asked for (0: none)
    const wchar_t* fontFace;
    int points;
    int templateId;
    std::vector<Closer> closers;
    void (*use)(HWND dialog);
    void (*expectEmpty)(HWND dialog);
};

void PrintTo(const Tool& tool, std::ostream* out) { *out << tool.name; }

void ExpectBlank(HWND dialog, std::initializer_list<int> ids) {
    for (int id : ids) EXPECT_EQ(Text(Item(dialog, id)), L"") << "control " << id << " of a new dialog";
}

const Tool kTools[] = {
    {"ChargeDeltaCalculator", IDC_CHARGE_DELTA_BUTTON, L"Charge Delta Calculator", IDC_FROM_COMBO, IDC_DELTA,
     L"MS Serif", 8, IDD_CHARGE_DELTA,
     {Closer::Escape, Closer::CloseBox, Closer::Enter},
     [](HWND dialog) {
         PickStation(dialog, IDC_FROM_COMBO, L"Amersham");
         PickStation(dialog, IDC_TO_COMBO, L"Tottenham Court Road");
         EXPECT_EQ(Text(Item(dialog, IDC_DELTA)), L"-100");
     },
     [](HWND dialog) {
         EXPECT_EQ(Send(Item(dialog, IDC_FROM_COMBO), CB_GETCURSEL), CB_ERR);
         EXPECT_EQ(Send(Item(dialog, IDC_TO_COMBO), CB_GETCURSEL), CB_ERR);
         ExpectBlank(dialog, {IDC_FROM_CURRENT, IDC_TO_CURRENT, IDC_DELTA});
     }},
    {"StationCurrentFinder", IDC_CURRENT_FINDER_BUTTON, L"Station Current Finder", IDC_CURRENT_EDIT,
     IDC_FOUND_STATIONS, L"MS Serif", 8, IDD_CURRENT_FINDER,
     {Closer::Escape, Closer::CloseBox},
     [](HWND dialog) {
         EXPECT_EQ(Ask(CurrentFinder(dialog), Entry::Typed, L"43", Trigger::EnterKey),
                   L"Canada Water\nHammersmith\nNeasden\nQueens Park\nRotherhithe\nStepney Green\nWest Finchley\n");
     },
     [](HWND dialog) { ExpectBlank(dialog, {IDC_CURRENT_EDIT, IDC_FOUND_STATIONS}); }},
    {"TessaryLookup", IDC_TESSARY_LOOKUP_BUTTON, L"Tessary Lookup", IDC_NUMBER_EDIT, IDC_STATION_NAME,
     L"MS Serif", 8, IDD_TESSARY_LOOKUP,
     {Closer::Escape, Closer::CloseBox},
     [](HWND dialog) { EXPECT_EQ(Ask(TessaryLookup(dialog), Entry::Typed, L"61", Trigger::EnterKey), L"Crossharbour & London Arena"); },
     [](HWND dialog) { ExpectBlank(dialog, {IDC_NUMBER_EDIT, IDC_STATION_NAME}); }},
    {"TokenCollectionTable", IDC_TOKEN_TABLE_BUTTON, L"Token Collection Table", 0, 0, L"MS Sans Serif", 8,
     IDD_TOKEN_TABLE,
     {Closer::Escape, Closer::CloseBox, Closer::Enter},
     [](HWND) {},
     [](HWND dialog) { EXPECT_EQ(Children(dialog).size(), 30u); }},
};

class ToolDialog : public ProgramTest, public testing::WithParamInterface<Tool> {
protected:
    // Opens the tool and checks that it starts as new.
    HWND OpenFresh() {
        const Tool& tool = GetParam();
        HWND dialog = OpenTool(tool.button, tool.caption);
        if (!dialog) return nullptr;
        tool.expectEmpty(dialog);
        if (tool.firstFocus) {
            HWND expected = Item(dialog, tool.firstFocus);
            EXPECT_TRUE(WaitFor([&] { return program.Focus() == expected; }))
                << "the focus starts on control " << GetDlgCtrlID(program.Focus());
        }
        return dialog;
    }
};

TEST_P(ToolDialog, ClosesEveryWayAndReopensEmpty) {
    for (Closer how : GetParam().closers) {
        SCOPED_TRACE(testing::Message() << "closed with " << testing::PrintToString(how));
        HWND dialog = OpenFresh();
        ASSERT_NE(dialog, nullptr);
        GetParam().use(dialog);
        CloseTool(dialog, how);
    }
    SCOPED_TRACE("opened once more");
    HWND dialog = OpenFresh();
    ASSERT_NE(dialog, nullptr);
    CloseTool(dialog, Closer::Escape);
    EXPECT_FALSE(program.HasLoaded(L"oleacc.dll") || program.HasLoaded(L"oleaut32.dll")) << "with no reader";
}

// With its longest answer in it (seven names, the longest name, -100), the
// tool must show every text whole.
TEST_P(ToolDialog, ShowsEveryTextWhole) {
    HWND dialog = OpenFresh();
    ASSERT_NE(dialog, nullptr);
    GetParam().use(dialog);
    if (GetParam().fontFace == std::wstring(L"MS Serif")) ExpectSizedForDpi(dialog, GetParam().templateId);
    ExpectTextsFit(dialog, GetParam().fontFace, GetParam().points);
    CloseTool(dialog, Closer::Escape);
}

// Wherever the launcher stands, on whichever monitor, the tool opens over it
// on that monitor (OpenTool checks where).
TEST_P(ToolDialog, OpensOverTheLauncherOnItsMonitor) {
    for (LauncherPlace place : {LauncherPlace::WellInside, LauncherPlace::AtRightEdge, LauncherPlace::Minimised}) {
        SCOPED_TRACE(testing::PrintToString(place));
        PlaceLauncher(place);
        // Where the dialog opens is the question here, not how the button is
        // pressed: the command goes straight to it, wherever the pointer is.
        HWND dialog = OpenTool(GetParam().button, GetParam().caption, true);
        ASSERT_NE(dialog, nullptr);
        CloseTool(dialog, Closer::Escape);
    }
}

INSTANTIATE_TEST_SUITE_P(Tools, ToolDialog, testing::ValuesIn(kTools),
                         [](const testing::TestParamInfo<Tool>& info) { return std::string(info.param.name); });

// ---- What a screen reader hears ----------------------------------------------
// Read as a reader reads it, from outside: through oleacc and WinEvents.

// A control by its id; the About box's pictures, which have none, by their
// kind; kTheDialog for the dialog itself.
constexpr int kIconPicture = -SS_ICON, kBitmapPicture = -SS_BITMAP, kTheDialog = 0;

struct Spoken {
    const wchar_t* dialog;  // its caption
    int control;
    const wchar_t* name;              // when the dialog opens
    const wchar_t* afterUse = nullptr;  // once the tool's `use` has run; nullptr: the same
};

const Spoken kSpoken[] = {
    {L"Tarrowby Companion", kTheDialog, L"Tarrowby Companion"},
    {L"Tarrowby Companion", IDC_CHARGE_DELTA_BUTTON, L"Charge Delta Calculator"},
    {L"Tarrowby Companion", IDC_CURRENT_FINDER_BUTTON, L"Station Current Finder"},
    {L"Tarrowby Companion", IDC_TESSARY_LOOKUP_BUTTON, L"Tessary Lookup"},
    {L"Tarrowby Companion", IDC_TOKEN_TABLE_BUTTON, L"Token Collection Table"},
    {kAboutBoxName, kTheDialog, kAboutBoxName},
    {kAboutBoxName, IDOK, L"OK"},
    {kAboutBoxName, kIconPicture, L"Tarrowby Companion"},
    {kAboutBoxName, kBitmapPicture, L"<none>"},  // a decoration, not its resource number read as text
    {L"Charge Delta Calculator", IDC_FROM_COMBO, L"From"},
    {L"Charge Delta Calculator", IDC_TO_COMBO, L"To"},
    {L"Charge Delta Calculator", IDC_FROM_CURRENT, L"From current", L"From current 100"},
    {L"Charge Delta Calculator", IDC_TO_CURRENT, L"To current", L"To current 0"},
    {L"Charge Delta Calculator", IDC_DELTA, L"Delta", L"Delta -100"},
    {L"Station Current Finder", IDC_CURRENT_EDIT, L"Current"},
    {L"Station Current Finder", IDC_FOUND_STATIONS, L"<none>",
     L"Canada Water\nHammersmith\nNeasden\nQueens Park\nRotherhithe\nStepney Green\nWest Finchley\n"},
    {L"Tessary Lookup", IDC_NUMBER_EDIT, L"Tessary Number"},
    {L"Tessary Lookup", IDC_STATION_NAME, L"<none>", L"Crossharbour & London Arena"},  // as shown
    {L"Token Collection Table", kTheDialog, L"Token Collection Table"},
};

// IID_IAccessible, spelt out: mingw's oleacc import library has it only as a thunk.
const GUID kIAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// The name, "<error>" when the call fails; through IDispatch too, as a script
// reads it, where the system's objects offer type information (Wine's do not).
std::wstring NameOf(IAccessible* object) {
    VARIANT self{}, read{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    const HRESULT result = object->get_accName(self, &name);
    const std::wstring spoken =
        FAILED(result) ? L"<error>" : name ? std::wstring(name, SysStringLen(name)) : L"<none>";
    SysFreeString(name);
    UINT types = 0;
    DISPPARAMS arguments{&self, nullptr, 1, 0};
    if (SUCCEEDED(result) && SUCCEEDED(object->GetTypeInfoCount(&types)) && types > 0) {
        object->Invoke(DISPID_ACC_NAME, {}, 0, DISPATCH_PROPERTYGET, &arguments, &read, nullptr, nullptr);
        EXPECT_EQ(read.vt == VT_BSTR && read.bstrVal ? read.bstrVal : L"<none>", spoken) << "by IDispatch";
    }
    VariantClear(&read);
    return spoken;
}

void ExpectSpokenNames(HWND dialog, const std::wstring& caption, bool used) {
    for (const Spoken& s : kSpoken) {
        if (caption != s.dialog) continue;
        HWND control = s.control > 0 ? Item(dialog, s.control) : dialog;
        for (HWND child : Children(dialog)) {
            if (s.control < 0 && (Style(child) & SS_TYPEMASK) == DWORD(-s.control)) control = child;
        }
        IAccessible* object = nullptr;
        AccessibleObjectFromWindow(control, OBJID_CLIENT, kIAccessible, reinterpret_cast<void**>(&object));
        EXPECT_EQ(object ? NameOf(object) : L"<no object>", used && s.afterUse ? s.afterUse : s.name)
            << Narrow(caption) << ", control " << s.control << (used ? " after use" : " on opening");
        if (object) object->Release();
    }
}

// The windows of which the program told readers of a new name, value or live text, and how.
std::vector<std::pair<HWND, DWORD>> g_changed;

void CALLBACK RecordChange(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    const bool spoken = event == EVENT_OBJECT_NAMECHANGE || event == EVENT_OBJECT_VALUECHANGE ||
                        event == EVENT_OBJECT_LIVEREGIONCHANGED;
    if (spoken && object == OBJID_CLIENT && child == CHILDID_SELF) g_changed.emplace_back(window, event);
}

// Out of context, the events come to this thread as messages.
bool HeardChangeOn(HWND window, DWORD event, DWORD timeoutMs = 5000) {
    return WaitFor([&] {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        return std::count(g_changed.begin(), g_changed.end(), std::make_pair(window, event)) > 0;
    }, timeoutMs);
}

class ScreenReaderTest : public ProgramTest, public testing::WithParamInterface<bool> {};

TEST_P(ScreenReaderTest, NamesEveryFieldAndHearsEveryNewAnswerOnce) {
    const bool late = GetParam();  // each dialog in a fresh run, first asked once it is open
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                                         RecordChange, 0, 0, WINEVENT_OUTOFCONTEXT);  // every run's
    ASSERT_NE(hook, nullptr);
    if (!late) ExpectSpokenNames(program.Launcher(), L"Tarrowby Companion", false);
    HWND about = OpenAboutBox();
    ASSERT_NE(about, nullptr);
    ExpectSpokenNames(about, kAboutBoxName, false);
    CloseTool(about, Closer::OkButton);
    for (const Tool& tool : kTools) {
        SCOPED_TRACE(tool.name);
        ASSERT_TRUE(!late || (program.End() && program.Start()));
        HWND dialog = OpenTool(tool.button, tool.caption);
        ASSERT_NE(dialog, nullptr);
        ExpectSpokenNames(dialog, tool.caption, false);
        EXPECT_TRUE(tool.answer || Text(Children(dialog)[1]) == L"+1 Bronze") << "not in reading order";
        IAccessible* held = nullptr;  // a reader's hold on the answer, kept after the dialog closes
        if (tool.answer) AccessibleObjectFromWindow(Item(dialog, tool.answer), OBJID_CLIENT, kIAccessible,
                                                    reinterpret_cast<void**>(&held));
        g_changed.clear();
        tool.use(dialog);
        if (tool.answer) {
            EXPECT_TRUE(HeardChangeOn(Item(dialog, tool.answer), EVENT_OBJECT_LIVEREGIONCHANGED)) << "silent";
        }
        ExpectSpokenNames(dialog, tool.caption, true);
        if (tool.button == IDC_CHARGE_DELTA_BUTTON) {  // the same picks again, then Tab, Tab: nothing new
            g_changed.clear();
            tool.use(dialog);
            for (int list : {IDC_FROM_COMBO, IDC_TO_COMBO}) {
                PressKey(VK_TAB);
                EXPECT_TRUE(WaitFor([&] { return program.Focus() == Item(dialog, list); }));
            }
            for (int figure : {IDC_FROM_CURRENT, IDC_TO_CURRENT, IDC_DELTA})
                EXPECT_FALSE(HeardChangeOn(Item(dialog, figure), EVENT_OBJECT_NAMECHANGE, 0)) << figure;
        }
        CloseTool(dialog, Closer::Escape);
        EXPECT_TRUE(!held || NameOf(held) == L"<error>") << "the answer's object outlived its dialog";
        if (held) held->Release();
    }
    if (late) ExpectSpokenNames(program.Launcher(), L"Tarrowby Companion", false);
    EXPECT_TRUE(program.HasLoaded(L"oleacc.dll")) << "the module list leaves out what a reader loads";
    UnhookWinEvent(hook);
    CoUninitialize();
}

INSTANTIATE_TEST_SUITE_P(Reader, ScreenReaderTest, testing::Bool(),
                         [](const auto& info) { return info.param ? "StartingAfter" : "StartingBefore"; });

}  // namespace
}  // namespace driver
