// The Station Current Finder and the Tessary Lookup, used as their user uses
// them: a number typed (or pasted) into the field, then Enter or a click.

#include <span>
#include <string>

#include "program_driver.h"
#include "resource.h"
#include "screenshot.h"
#include "station_queries.h"

namespace driver {
namespace {

std::wstring FinderAnswer(const std::wstring& typed) {
    return Widen(FindStationsText(CString(Narrow(typed).c_str()), Stations()));
}

std::wstring LookupAnswer(const std::wstring& typed) {
    return Widen(LookupStationText(CString(Narrow(typed).c_str()), Stations()));
}

// Asks every question in turn, in one dialog: each answer must replace the last.
void ExpectAnswers(const QueryDialog& query, std::span<const cases::Question> questions,
                   std::wstring (*reference)(const std::wstring&)) {
    for (const cases::Question& q : questions) {
        SCOPED_TRACE(testing::Message() << (q.entry == Entry::Typed ? "typed \"" : "pasted \"") << q.text
                                        << (q.trigger == Trigger::EnterKey ? "\", Enter"
                                            : q.trigger == Trigger::Button ? "\", click"
                                                                           : "\", Tab, Space"));
        const std::wstring shown = Ask(query, q.entry, Widen(q.text), q.trigger);
        EXPECT_EQ(shown, Widen(q.answer));
        EXPECT_EQ(shown, reference(Widen(q.text)));
    }
}

// ---- Station Current Finder ----------------------------------------------------

class CurrentFinderTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        dialog = OpenTool(IDC_CURRENT_FINDER_BUTTON, L"Station Current Finder");
        ASSERT_NE(dialog, nullptr);
    }
    HWND dialog = nullptr;
};

TEST_F(CurrentFinderTest, ListsTheStationsWithTheTypedCurrent) {
    ExpectAnswers(CurrentFinder(dialog), cases::kFinderTyped, FinderAnswer);
    EXPECT_TRUE(Style(Item(dialog, IDC_FOUND_STATIONS)) & SS_NOPREFIX);

    // The most stations that share a current: seven lines, none cut off.
    EXPECT_EQ(Ask(CurrentFinder(dialog), Entry::Typed, L"43", Trigger::EnterKey), FinderAnswer(L"43"));
    SaveScreenshot(dialog, L"current_finder_43");
    EXPECT_EQ(Ask(CurrentFinder(dialog), Entry::Typed, L"4", Trigger::EnterKey),
              L"Covent Garden\nGoodge Street\n");
    SaveScreenshot(dialog, L"current_finder");
}

TEST_F(CurrentFinderTest, ReadsPastedTextLikeAtoi) {
    ExpectAnswers(CurrentFinder(dialog), cases::kFinderPasted, FinderAnswer);
}

TEST_F(CurrentFinderTest, AnswersEveryCurrentLikeTheStationTable) {
    for (int current = 0; current <= 101; ++current) {
        const std::wstring text = std::to_wstring(current);
        EXPECT_EQ(Ask(CurrentFinder(dialog), Entry::Pasted, text, Trigger::EnterKey), FinderAnswer(text))
            << "current " << current;
    }
}

TEST_F(CurrentFinderTest, TypedLettersAreDroppedAndANewAnswerReplacesTheOld) {
    HWND edit = Item(dialog, IDC_CURRENT_EDIT);
    HWND answer = Item(dialog, IDC_FOUND_STATIONS);
    FocusByClick(edit);
    TypeKeys(L"a4");
    EXPECT_TRUE(WaitFor([&] { return Text(edit) == L"4"; })) << "the field shows " << Narrow(Text(edit));
    TypeKeys(L"x3!");
    EXPECT_TRUE(WaitFor([&] { return Text(edit) == L"43"; })) << "the field shows " << Narrow(Text(edit));

    // Seven names, then one: nothing of the longer answer may remain.
    PressKey(VK_RETURN);
    const std::wstring seven = FinderAnswer(L"43");
    ASSERT_TRUE(WaitFor([&] { return Text(answer) == seven; })) << Narrow(Text(answer));
    SetText(edit, L"");
    TypeKeys(L"0");
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return Text(answer) != seven; }));
    EXPECT_EQ(Text(answer), Widen(cases::kTottenham));
}

// ---- Tessary Lookup ----------------------------------------------------------

class TessaryLookupTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        dialog = OpenTool(IDC_TESSARY_LOOKUP_BUTTON, L"Tessary Lookup");
        ASSERT_NE(dialog, nullptr);
    }
    HWND dialog = nullptr;
};

TEST_F(TessaryLookupTest, NamesTheStationWithTheTypedNumber) {
    ExpectAnswers(TessaryLookup(dialog), cases::kLookupTyped, LookupAnswer);
    // The longest name, asked last, shows its ampersand as it stands.
    EXPECT_TRUE(Style(Item(dialog, IDC_STATION_NAME)) & SS_NOPREFIX);
    SaveScreenshot(dialog, L"tessary_lookup");
}

TEST_F(TessaryLookupTest, ReadsPastedTextLikeAtoi) {
    ExpectAnswers(TessaryLookup(dialog), cases::kLookupPasted, LookupAnswer);
}

TEST_F(TessaryLookupTest, NamesEveryStationByItsNumber) {
    for (int number = 1; number <= NUM_STATIONS; ++number) {
        EXPECT_EQ(Ask(TessaryLookup(dialog), Entry::Pasted, std::to_wstring(number), Trigger::EnterKey),
                  StationName(number - 1))
            << "number " << number;
    }
}

TEST_F(TessaryLookupTest, TypedLettersAreDropped) {
    HWND edit = Item(dialog, IDC_NUMBER_EDIT);
    FocusByClick(edit);
    TypeKeys(L"x6y1");
    EXPECT_TRUE(WaitFor([&] { return Text(edit) == L"61"; })) << "the field shows " << Narrow(Text(edit));
}

}  // namespace
}  // namespace driver
