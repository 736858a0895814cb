#include "station_table.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "station_order.h"

#ifdef _WIN32
#include "host_system.h"  // says whether the run is under Wine or on Windows
#endif

namespace {

class StationTableTest : public ::testing::Test {
protected:
    void SetUp() override { table.FillStationTable(); }
    std::string Name(int index) const { return static_cast<const char*>(table.GetStationName(index)); }
    StationTable table;
};

// Case-blind comparison that skips hyphens and apostrophes: the order the
// table is kept in.
std::string SortKey(const std::string& name) {
    std::string key;
    for (char ch : name) {
        if (ch == '-' || ch == '\'') continue;
        key += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    }
    return key;
}

}  // namespace

TEST_F(StationTableTest, SpotRows) {
    const struct {
        int number;
        const char* name;
        int current;
    } rows[] = {
        {1, "Acton Town", 63},
        {6, "Amersham", 100},
        {36, "Bromley-by-Bow", 56},
        {60, "Covent Garden", 4},
        {61, "Crossharbour & London Arena", 57},
        {98, "Goodge Street", 4},
        {112, "Heathrow Terminals 1,2,3", 81},
        {113, "Heathrow Terminal 4", 82},
        {121, "Holborn", 5},
        {133, "Kensington (Olympia)", 35},
        {139, "King's Cross St. Pancras", 15},
        {234, "St. James's Park", 18},
        {251, "Tottenham Court Road", 0},
        {295, "Woodside Park", 46},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.name, Name(row.number - 1)) << "number " << row.number;
        EXPECT_EQ(row.current, table.GetStationCurrent(row.number - 1)) << row.name;
    }
}

TEST_F(StationTableTest, NamesAreUniqueAndWellFormed) {
    std::set<std::string> seen;
    for (int index = 0; index < NUM_STATIONS; ++index) {
        const std::string name = Name(index);
        EXPECT_TRUE(seen.insert(name).second) << "twice: " << name;
        EXPECT_GE(name.size(), 4u) << name;
        EXPECT_LE(name.size(), 27u) << name;
        EXPECT_NE(' ', name.front()) << name;
        EXPECT_NE(' ', name.back()) << name;
        EXPECT_EQ(std::string::npos, name.find("  ")) << name;
        for (char ch : name) {
            EXPECT_TRUE(std::isalpha(static_cast<unsigned char>(ch)) || std::strchr(" 1234'.-,&()", ch))
                << "odd character in " << name;
        }
    }
    EXPECT_EQ(295u, seen.size());
}

TEST_F(StationTableTest, AlphabeticalButForTheHeathrowPair) {
    for (int index = 1; index < NUM_STATIONS; ++index) {
        const std::string before = Name(index - 1), after = Name(index);
        if (index == 112) {  // numbers 112 and 113: the pair kept in the game's order
            EXPECT_GT(SortKey(before), SortKey(after));
            continue;
        }
        EXPECT_LT(SortKey(before), SortKey(after)) << before << " / " << after;
    }
}

TEST(ListsBefore, WeighsNamesAsTheSortedListsDo) {
    const struct {
        const char* first;
        const char* second;
    } pairs[] = {
        {"Heathrow Terminal 4", "Heathrow Terminals 1,2,3"},  // a space before a letter
        {"Aldgate", "Aldgate East"},                          // a prefix first
        {"acton town", "Aldgate"},                            // case ignored
        {"Bromleyby", "Bromley-by-Bow"},                      // hyphens weigh nothing
        {"Kings Cross", "King's Cross"},                      // nor the apostrophe: fewer marks first
        {"St. James's Park", "Stamford Brook"},               // punctuation before letters
        {"Terminal 9", "Terminala"},                          // digits before letters
        {"Terminal (4)", "Terminal 4"},                       // punctuation before digits
        {"Line 12", "Line 2"},                                // digit by digit, not by value
    };
    for (const auto& pair : pairs) {
        EXPECT_TRUE(ListsBefore(pair.first, pair.second)) << pair.first << " / " << pair.second;
        EXPECT_FALSE(ListsBefore(pair.second, pair.first)) << pair.second << " / " << pair.first;
    }
    EXPECT_FALSE(ListsBefore("Bank", "Bank"));
}

TEST_F(StationTableTest, ListOrderIsTheTableOrderButForTheHeathrowPair) {
    int expected[NUM_STATIONS];
    for (int index = 0; index < NUM_STATIONS; ++index) expected[index] = index;
    std::swap(expected[111], expected[112]);  // Terminal 4 above Terminals 1,2,3
    const auto order = StationListOrder(table);
    EXPECT_TRUE(std::equal(order.begin(), order.end(), std::begin(expected)));
    EXPECT_EQ("Heathrow Terminal 4", Name(order[111]));
}

TEST_F(StationTableTest, CurrentsHaveTheirKnownShape) {
    std::map<int, int> sharing;
    for (int index = 0; index < NUM_STATIONS; ++index) {
        const int current = table.GetStationCurrent(index);
        EXPECT_GE(current, 0);
        EXPECT_LE(current, 100);
        ++sharing[current];
    }
    EXPECT_EQ(1, sharing[0]);
    EXPECT_EQ(1, sharing[100]);
    for (int absent : {1, 2, 3, 6, 7, 13, 25, 89, 92, 95, 96, 98, 99}) {
        EXPECT_EQ(0u, sharing.count(absent)) << "current " << absent;
    }
    std::set<int> sharedBySeven;
    for (const auto& [current, count] : sharing) {
        EXPECT_LE(count, 7) << "current " << current;
        if (count == 7) sharedBySeven.insert(current);
    }
    EXPECT_EQ((std::set<int>{39, 40, 41, 43, 49, 62, 65}), sharedBySeven);
    int total = 0;
    for (const auto& entry : sharing) total += entry.second;
    EXPECT_EQ(NUM_STATIONS, total);
}

TEST_F(StationTableTest, CurrentSumGuardsAgainstATypo) {
    // Any one mistyped current changes this sum; the names guard themselves above.
    long sum = 0, weighted = 0;
    for (int index = 0; index < NUM_STATIONS; ++index) {
        sum += table.GetStationCurrent(index);
        weighted += static_cast<long>(index + 1) * table.GetStationCurrent(index);
    }
    EXPECT_EQ(14576, sum);
    EXPECT_EQ(2160006, weighted);
}
