// The Charge Delta Calculator: two lists of every station, each station's
// current beside its list, and To minus From below.

#include <algorithm>
#include <string>
#include <vector>

#include "program_driver.h"
#include "resource.h"
#include "screenshot.h"

namespace driver {
namespace {

std::wstring ListEntry(HWND combo, int index) {
    const LRESULT length = Send(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (length == CB_ERR) return L"<no entry>";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    Send(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

std::wstring Signed(int value) { return (value >= 0 ? L"+" : L"") + std::to_wstring(value); }

int CurrentOf(const std::wstring& name) {
    const int index = StationIndex(name);
    if (index < 0) ADD_FAILURE() << "the list shows " << Narrow(name) << ", which is no station";
    return index < 0 ? -1 : Stations().GetStationCurrent(index);
}

class ChargeDeltaTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        dialog = OpenTool(IDC_CHARGE_DELTA_BUTTON, L"Charge Delta Calculator");
        ASSERT_NE(dialog, nullptr);
    }
    std::wstring Shown(int id) { return Text(Item(dialog, id)); }

    HWND dialog = nullptr;
};

TEST_F(ChargeDeltaTest, BothListsHoldEveryStationInTheirSortedOrder) {
    // Table order, except that the sorted lists put Terminal 4 above Terminals 1,2,3.
    std::vector<std::wstring> expected;
    for (int index = 0; index < NUM_STATIONS; ++index) expected.push_back(StationName(index));
    std::iter_swap(std::find(expected.begin(), expected.end(), L"Heathrow Terminals 1,2,3"),
                   std::find(expected.begin(), expected.end(), L"Heathrow Terminal 4"));

    for (int id : {IDC_FROM_COMBO, IDC_TO_COMBO}) {
        SCOPED_TRACE(id == IDC_FROM_COMBO ? "From list" : "To list");
        HWND combo = Item(dialog, id);
        ASSERT_EQ(Send(combo, CB_GETCOUNT), NUM_STATIONS);
        std::vector<std::wstring> shown;
        for (int entry = 0; entry < NUM_STATIONS; ++entry) shown.push_back(ListEntry(combo, entry));
        EXPECT_EQ(shown, expected);
        EXPECT_NE(FindEntry(combo, L"Crossharbour & London Arena"), CB_ERR);
    }
}

TEST_F(ChargeDeltaTest, EveryEntryShowsItsStationsCurrent) {
    HWND from = Item(dialog, IDC_FROM_COMBO);
    for (int entry = 0; entry < NUM_STATIONS; ++entry) {
        const std::wstring name = ListEntry(from, entry);
        Choose(dialog, IDC_FROM_COMBO, entry);
        EXPECT_EQ(Shown(IDC_FROM_CURRENT), std::to_wstring(CurrentOf(name))) << "From " << Narrow(name);
        EXPECT_EQ(Shown(IDC_DELTA), L"") << "no To station yet";
        EXPECT_EQ(Shown(IDC_TO_CURRENT), L"");
    }
    // From now stays at the last entry; every To gives its current and the delta.
    const int fromCurrent = CurrentOf(ListEntry(from, NUM_STATIONS - 1));
    HWND to = Item(dialog, IDC_TO_COMBO);
    for (int entry = 0; entry < NUM_STATIONS; ++entry) {
        const std::wstring name = ListEntry(to, entry);
        Choose(dialog, IDC_TO_COMBO, entry);
        EXPECT_EQ(Shown(IDC_TO_CURRENT), std::to_wstring(CurrentOf(name))) << "To " << Narrow(name);
        EXPECT_EQ(Shown(IDC_FROM_CURRENT), std::to_wstring(fromCurrent));
        EXPECT_EQ(Shown(IDC_DELTA), Signed(CurrentOf(name) - fromCurrent)) << "To " << Narrow(name);
    }
}

TEST_F(ChargeDeltaTest, DeltaIsToMinusFromWithItsSign) {
    // Each station picked as a person picks it: the list dropped with a
    // click, the entry clicked.
    for (const cases::Journey& j : cases::kJourneys) {
        SCOPED_TRACE(testing::Message() << j.from << " to " << j.to);
        PickStation(dialog, IDC_FROM_COMBO, Widen(j.from));
        EXPECT_EQ(Shown(IDC_FROM_CURRENT), Widen(j.fromCurrent));
        PickStation(dialog, IDC_TO_COMBO, Widen(j.to));
        EXPECT_EQ(Shown(IDC_TO_CURRENT), Widen(j.toCurrent));
        EXPECT_EQ(Shown(IDC_FROM_CURRENT), Widen(j.fromCurrent));
        EXPECT_EQ(Shown(IDC_DELTA), Widen(j.delta));
    }
    SaveScreenshot(dialog, L"charge_delta");
}

TEST_F(ChargeDeltaTest, OneSideAloneGivesNoDeltaAndAChangedFromKeepsTo) {
    ChooseStation(dialog, IDC_FROM_COMBO, L"Acton Town");
    EXPECT_EQ(Shown(IDC_FROM_CURRENT), L"63");
    EXPECT_EQ(Shown(IDC_TO_CURRENT), L"");
    EXPECT_EQ(Shown(IDC_DELTA), L"");

    ChooseStation(dialog, IDC_TO_COMBO, L"Aldgate");
    EXPECT_EQ(Shown(IDC_DELTA), L"-31");

    ChooseStation(dialog, IDC_FROM_COMBO, L"Amersham");
    EXPECT_EQ(Shown(IDC_FROM_CURRENT), L"100");
    EXPECT_EQ(Shown(IDC_TO_CURRENT), L"32");
    EXPECT_EQ(Shown(IDC_DELTA), L"-68");

    // A list left with no selection changes no current.
    Choose(dialog, IDC_FROM_COMBO, -1);
    EXPECT_EQ(Shown(IDC_FROM_CURRENT), L"100");
    EXPECT_EQ(Shown(IDC_DELTA), L"-68");
}

// With the keyboard alone: Down picks the From list's first entry, Tab goes
// on to the To list, Down and End pick its first and last; Shift+Tab goes back.
TEST_F(ChargeDeltaTest, KeysPickStationsAndTabMovesBetweenTheLists) {
    HWND from = Item(dialog, IDC_FROM_COMBO), to = Item(dialog, IDC_TO_COMBO);
    const std::wstring first = ListEntry(from, 0), last = ListEntry(to, NUM_STATIONS - 1);
    const std::wstring second = ListEntry(from, 1);
    program.PressKeyIn(dialog, VK_DOWN);
    EXPECT_TRUE(WaitFor([&] { return Shown(IDC_FROM_CURRENT) == std::to_wstring(CurrentOf(first)); }))
        << "From " << Narrow(first) << " shows " << Narrow(Shown(IDC_FROM_CURRENT));
    program.PressKeyIn(dialog, VK_TAB);
    EXPECT_TRUE(WaitFor([&] { return program.Focus() == to; })) << "Tab left the focus elsewhere";
    program.PressKeyIn(dialog, VK_DOWN);
    EXPECT_TRUE(WaitFor([&] { return Shown(IDC_DELTA) == L"+0"; })) << "the same station on both sides";
    program.PressKeyIn(dialog, VK_END);
    EXPECT_TRUE(WaitFor([&] { return Shown(IDC_DELTA) == Signed(CurrentOf(last) - CurrentOf(first)); }))
        << Narrow(first) << " to " << Narrow(last) << " shows " << Narrow(Shown(IDC_DELTA));
    EXPECT_EQ(Shown(IDC_TO_CURRENT), std::to_wstring(CurrentOf(last)));
    program.PressKeyIn(dialog, VK_TAB, VK_SHIFT);
    EXPECT_TRUE(WaitFor([&] { return program.Focus() == from; })) << "Shift+Tab left the focus elsewhere";
    program.PressKeyIn(dialog, VK_DOWN);
    EXPECT_TRUE(WaitFor([&] { return Shown(IDC_DELTA) == Signed(CurrentOf(last) - CurrentOf(second)); }))
        << Narrow(second) << " to " << Narrow(last) << " shows " << Narrow(Shown(IDC_DELTA));
}

// A dropped list moves its selection under the pointer, and in Wine without
// a selection change, and a cancelled list there keeps the entry last under
// the pointer. Whatever a list shows, the current beside it is that
// station's, and the delta is To minus From of the stations shown.
enum class Cancel { EscapeKey, ClickOutside };

class ChargeDeltaCancel : public ChargeDeltaTest, public testing::WithParamInterface<Cancel> {};

TEST_P(ChargeDeltaCancel, ACancelledListShowsItsOwnStationsCurrent) {
    HWND from = Item(dialog, IDC_FROM_COMBO);
    PickStation(dialog, IDC_FROM_COMBO, L"All Saints");
    EXPECT_EQ(Shown(IDC_FROM_CURRENT), L"52");

    const int other = FindEntry(from, L"Archway");
    const POINT over = DropListAt(from, other);
    ASSERT_GE(over.x, 0);
    if (GetParam() == Cancel::EscapeKey) {
        PressKey(VK_ESCAPE);
    } else {
        ClickAt(Centre(Item(dialog, IDC_DELTA)));
    }
    ASSERT_TRUE(WaitFor([&] { return Send(from, CB_GETDROPPEDSTATE) == 0; })) << "the list stayed dropped";
    ASSERT_TRUE(IsWindow(dialog)) << "cancelling the list closed the dialog";

    const std::wstring shown = ListEntry(from, static_cast<int>(Send(from, CB_GETCURSEL)));
    EXPECT_TRUE(WaitFor([&] { return Shown(IDC_FROM_CURRENT) == std::to_wstring(CurrentOf(shown)); }))
        << "From shows " << Narrow(shown) << " with the current " << Narrow(Shown(IDC_FROM_CURRENT));
    PickStation(dialog, IDC_TO_COMBO, L"Archway");
    EXPECT_EQ(Shown(IDC_DELTA), Signed(CurrentOf(L"Archway") - CurrentOf(shown)))
        << "From " << Narrow(shown) << " to Archway";
}

INSTANTIATE_TEST_SUITE_P(Ways, ChargeDeltaCancel, testing::Values(Cancel::EscapeKey, Cancel::ClickOutside),
                         [](const testing::TestParamInfo<Cancel>& info) {
                             return std::string(info.param == Cancel::EscapeKey ? "EscapeKey"
                                                                                : "ClickOutside");
                         });

// Item data is a number that any program may set: one that is no station's
// must never be used to read the table.
TEST_F(ChargeDeltaTest, EntryDataThatIsNoStationIsNotRead) {
    HWND from = Item(dialog, IDC_FROM_COMBO);
    ChooseStation(dialog, IDC_FROM_COMBO, L"Acton Town");
    const int entry = FindEntry(from, L"Aldgate");
    for (const LPARAM data : {LPARAM{NUM_STATIONS}, LPARAM{-2}, LPARAM{0x7FFFFFF0}}) {
        SCOPED_TRACE(testing::Message() << "item data " << data);
        Send(from, CB_SETITEMDATA, static_cast<WPARAM>(entry), data);
        Choose(dialog, IDC_FROM_COMBO, entry);
        ASSERT_TRUE(program.Running());
        EXPECT_EQ(Shown(IDC_FROM_CURRENT), L"63") << "a current read from outside the table";
    }
    ChooseStation(dialog, IDC_FROM_COMBO, L"Amersham");
    EXPECT_EQ(Shown(IDC_FROM_CURRENT), L"100");
}

}  // namespace
}  // namespace driver
