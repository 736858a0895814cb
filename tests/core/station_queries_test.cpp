#include <gtest/gtest.h>

#include <string>

#include "station_queries.h"

namespace {

const char kRangeMessage[] = "Must be between 1 and 295.";
const char kTooHighMessage[] = "Cannot be more than one hundred.";
const char kNoneMessage[] = "None.";

class StationQueriesTest : public ::testing::Test {
protected:
    void SetUp() override { table.FillStationTable(); }
    StationTable table;
};

struct TextCase {
    const char* typed;
    const char* shown;
};

}  // namespace

TEST_F(StationQueriesTest, LookupAnswersEveryKindOfInput) {
    const TextCase cases[] = {
        {"1", "Acton Town"},
        {"295", "Woodside Park"},
        {"121", "Holborn"},
        {" 121", "Holborn"},
        {"12abc", "Balham"},
        {"+7", "Angel"},
        {"61", "Crossharbour & London Arena"},
        {"112", "Heathrow Terminals 1,2,3"},
        {"113", "Heathrow Terminal 4"},
        {"0295", "Woodside Park"},
        {"0", kRangeMessage},
        {"296", kRangeMessage},
        {"-3", kRangeMessage},
        {"", kRangeMessage},
        {"abc", kRangeMessage},
        {"99999999999", kRangeMessage},
        {"-99999999999", kRangeMessage},
        {"4294967297", kRangeMessage},  // 2^32 + 1 must not wrap round to 1
        {"2147483648", kRangeMessage},
    };
    for (const TextCase& c : cases) {
        EXPECT_STREQ(c.shown, LookupStationText(c.typed, table)) << "typed \"" << c.typed << "\"";
    }
}

TEST_F(StationQueriesTest, LookupNamesEveryStationByItsNumber) {
    for (int number = 1; number <= NUM_STATIONS; ++number) {
        EXPECT_STREQ(table.GetStationName(number - 1), LookupStationText(CurrentText(number), table));
    }
}

TEST_F(StationQueriesTest, FinderAnswersEveryKindOfInput) {
    const TextCase cases[] = {
        {"100", "Amersham\n"},
        {"0", "Tottenham Court Road\n"},
        {"4", "Covent Garden\nGoodge Street\n"},
        {"04", "Covent Garden\nGoodge Street\n"},
        {"abc", "Tottenham Court Road\n"},  // not empty, reads as 0
        {" ", "Tottenham Court Road\n"},
        {"61", "Wimbledon\n"},
        {"39",
         "Aldgate East\nEast Finchley\nKennington\nShepherd's Bush\nWest Kensington\nWestbourne Park\n"
         "Willesden Green\n"},
        {"57", "Blackwall\nCrossharbour & London Arena\nSouth Quay\nWest Acton\nWimbledon Park\n"},
        {"101", kTooHighMessage},
        {"250", kTooHighMessage},
        {"99999999999", kTooHighMessage},
        {"", kNoneMessage},
        {"-1", kNoneMessage},
        {"1", kNoneMessage},
        {"99", kNoneMessage},
        {"89", kNoneMessage},
        {"007", kNoneMessage},
        {"-99999999999", kNoneMessage},
        {"4294967296", kTooHighMessage},  // 2^32 must not wrap round to 0
    };
    for (const TextCase& c : cases) {
        EXPECT_STREQ(c.shown, FindStationsText(c.typed, table)) << "typed \"" << c.typed << "\"";
    }
}

TEST_F(StationQueriesTest, FinderListsEachStationUnderItsOwnCurrent) {
    int listed = 0;
    for (int current = 0; current <= MAX_CURRENT; ++current) {
        const std::string found = static_cast<const char*>(FindStationsText(CurrentText(current), table));
        if (found == kNoneMessage) continue;
        ASSERT_EQ('\n', found.back()) << current;
        size_t start = 0;
        for (size_t end; (end = found.find('\n', start)) != std::string::npos; start = end + 1, ++listed) {
            const std::string name = found.substr(start, end - start);
            bool matched = false;
            for (int index = 0; index < NUM_STATIONS && !matched; ++index) {
                matched = name == static_cast<const char*>(table.GetStationName(index)) &&
                          table.GetStationCurrent(index) == current;
            }
            EXPECT_TRUE(matched) << name << " listed under " << current;
        }
    }
    EXPECT_EQ(NUM_STATIONS, listed);
}

TEST(DeltaText, SignedDifferenceToMinusFrom) {
    const struct {
        const char* from;
        const char* to;
        const char* delta;
    } cases[] = {
        {"63", "32", "-31"},  {"32", "63", "+31"},  {"57", "57", "+0"},   {"0", "100", "+100"},
        {"100", "0", "-100"}, {"0", "0", "+0"},     {"4", "5", "+1"},     {"-2147483648", "2147483647", "+4294967295"},
        {"2147483647", "-2147483648", "-4294967295"},
    };
    for (const auto& c : cases) {
        CString delta("unchanged");
        EXPECT_TRUE(DeltaText(c.from, c.to, delta)) << c.from << " to " << c.to;
        EXPECT_STREQ(c.delta, delta) << c.from << " to " << c.to;
    }
}

TEST(DeltaText, NothingToShowWhileASideIsBlank) {
    const struct {
        const char* from;
        const char* to;
    } cases[] = {{"", "32"}, {"63", ""}, {"", ""}};
    for (const auto& c : cases) {
        CString delta("-31");
        EXPECT_FALSE(DeltaText(c.from, c.to, delta));
        EXPECT_STREQ("-31", delta) << "the delta must be left as it was";
    }
}
