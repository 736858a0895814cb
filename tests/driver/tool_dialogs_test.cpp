// What the four tools share: each opens from its launcher button as a modal
// dialog over the launcher, closes every way the user has, and opens again
// empty, whatever it showed before.

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
    const wchar_t* fontFace;
    int points;
    std::vector<Closer> closers;
    void (*use)(HWND dialog);
    void (*expectEmpty)(HWND dialog);
};

void PrintTo(const Tool& tool, std::ostream* out) { *out << tool.name; }

void ExpectBlank(HWND dialog, std::initializer_list<int> ids) {
    for (int id : ids) EXPECT_EQ(Text(Item(dialog, id)), L"") << "control " << id << " of a new dialog";
}

const Tool kTools[] = {
    {"ChargeDeltaCalculator", IDC_CHARGE_DELTA_BUTTON, L"Charge Delta Calculator", IDC_FROM_COMBO, L"MS Serif", 8,
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
    {"StationCurrentFinder", IDC_CURRENT_FINDER_BUTTON, L"Station Current Finder", IDC_CURRENT_EDIT, L"MS Serif", 8,
     {Closer::Escape, Closer::CloseBox},
     [](HWND dialog) {
         EXPECT_EQ(Ask(CurrentFinder(dialog), Entry::Typed, L"43", Trigger::EnterKey),
                   L"Canada Water\nHammersmith\nNeasden\nQueens Park\nRotherhithe\nStepney Green\nWest Finchley\n");
     },
     [](HWND dialog) { ExpectBlank(dialog, {IDC_CURRENT_EDIT, IDC_FOUND_STATIONS}); }},
    {"TessaryLookup", IDC_TESSARY_LOOKUP_BUTTON, L"Tessary Lookup", IDC_NUMBER_EDIT, L"MS Serif", 8,
     {Closer::Escape, Closer::CloseBox},
     [](HWND dialog) { EXPECT_EQ(Ask(TessaryLookup(dialog), Entry::Typed, L"61", Trigger::EnterKey), L"Crossharbour & London Arena"); },
     [](HWND dialog) { ExpectBlank(dialog, {IDC_NUMBER_EDIT, IDC_STATION_NAME}); }},
    {"TokenCollectionTable", IDC_TOKEN_TABLE_BUTTON, L"Token Collection Table", 0, L"MS Sans Serif", 8,
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
}

// With its longest answer in it (seven names, the longest name, -100), the
// tool must show every text whole.
TEST_P(ToolDialog, ShowsEveryTextWhole) {
    HWND dialog = OpenFresh();
    ASSERT_NE(dialog, nullptr);
    GetParam().use(dialog);
    ExpectTextsFit(dialog, GetParam().fontFace, GetParam().points);
    CloseTool(dialog, Closer::Escape);
}

INSTANTIATE_TEST_SUITE_P(Tools, ToolDialog, testing::ValuesIn(kTools),
                         [](const testing::TestParamInfo<Tool>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace driver
