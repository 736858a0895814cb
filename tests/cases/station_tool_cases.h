// What the tools are asked and what each must show: the same cases drive the
// Windows program (tests/driver) and the native one (tests/qt).
#pragma once

namespace cases {

// Keys typed into the number field, or the text put there whole: pasted, or
// set from outside (a message, an assistive tool), past the digits-only keys.
enum class Entry { Typed, Pasted };
// Enter in the field, a click on the button, or Tab to the button and Space.
enum class Trigger { EnterKey, Button, TabSpace };

struct Question {
    Entry entry;
    const char* text;
    Trigger trigger;
    const char* answer;
};

inline constexpr char kRange[] = "Must be between 1 and 295.";
inline constexpr char kTooHigh[] = "Cannot be more than one hundred.";
inline constexpr char kTottenham[] = "Tottenham Court Road\n";
inline constexpr char kFour[] = "Covent Garden\nGoodge Street\n";

// Asked in turn in one Station Current Finder: each answer replaces the last.
inline constexpr Question kFinderTyped[] = {
    {Entry::Typed, "4", Trigger::EnterKey, kFour},      {Entry::Typed, "", Trigger::EnterKey, "None."},
    {Entry::Typed, "101", Trigger::EnterKey, kTooHigh}, {Entry::Typed, "0", Trigger::EnterKey, kTottenham},
    {Entry::Typed, "89", Trigger::EnterKey, "None."},   {Entry::Typed, "100", Trigger::Button, "Amersham\n"},
    {Entry::Typed, "250", Trigger::Button, kTooHigh},   {Entry::Typed, "4", Trigger::TabSpace, kFour},
};

// Text that no key types, read by atoi's rules.
inline constexpr Question kFinderPasted[] = {
    {Entry::Pasted, " ", Trigger::Button, kTottenham},
    {Entry::Pasted, "abc", Trigger::Button, kTottenham},
    {Entry::Pasted, "-1", Trigger::Button, "None."},
    {Entry::Pasted, "007", Trigger::Button, "None."},
    {Entry::Pasted, "99999999999", Trigger::Button, kTooHigh},
    {Entry::Pasted, "4 stations", Trigger::EnterKey, kFour},
};

inline constexpr Question kLookupTyped[] = {
    {Entry::Typed, "1", Trigger::EnterKey, "Acton Town"},
    {Entry::Typed, "121", Trigger::EnterKey, "Holborn"},
    {Entry::Typed, "295", Trigger::EnterKey, "Woodside Park"},
    {Entry::Typed, "112", Trigger::EnterKey, "Heathrow Terminals 1,2,3"},
    {Entry::Typed, "113", Trigger::Button, "Heathrow Terminal 4"},
    {Entry::Typed, "0", Trigger::EnterKey, kRange},
    {Entry::Typed, "296", Trigger::Button, kRange},
    {Entry::Typed, "", Trigger::EnterKey, kRange},
    {Entry::Typed, "121", Trigger::TabSpace, "Holborn"},
    {Entry::Typed, "61", Trigger::EnterKey, "Crossharbour & London Arena"},  // the longest, "&" shown
};

inline constexpr Question kLookupPasted[] = {
    {Entry::Pasted, "12abc", Trigger::Button, "Balham"},
    {Entry::Pasted, "+7", Trigger::Button, "Angel"},
    {Entry::Pasted, " 121", Trigger::Button, "Holborn"},
    {Entry::Pasted, "-3", Trigger::Button, kRange},
    {Entry::Pasted, "99999999999", Trigger::EnterKey, kRange},
    {Entry::Pasted, "abc", Trigger::EnterKey, kRange},
};

// A From and a To station picked in one Charge Delta Calculator, and what it
// then shows.
struct Journey {
    const char* from;
    const char* to;
    const char* fromCurrent;
    const char* toCurrent;
    const char* delta;
};

inline constexpr Journey kJourneys[] = {
    {"Tottenham Court Road", "Amersham", "0", "100", "+100"},
    {"Amersham", "Tottenham Court Road", "100", "0", "-100"},
    {"Holborn", "Holborn", "5", "5", "+0"},
    {"Heathrow Terminal 4", "Heathrow Terminals 1,2,3", "82", "81", "-1"},
    {"Heathrow Terminals 1,2,3", "Heathrow Terminal 4", "81", "82", "+1"},
    {"Crossharbour & London Arena", "Woodside Park", "57", "46", "-11"},
    {"Acton Town", "Aldgate", "63", "32", "-31"},
};

// The Token Collection Table's rows, each in its ruled group (1 to 4).
struct TokenRow {
    const char* situation;
    const char* tokens;
    int group;
};

inline constexpr TokenRow kTokenRows[] = {
    {"Zone with Pass", "+1 Bronze", 1},
    {"Two-Line Interchange", "+1 Red", 2},
    {"Three-Line Interchange", "+1 Black", 2},
    {"Four-Line Interchange", "+1 Blue", 2},
    {"Five-plus-Line Interchange", "+1 Silver", 2},
    {"Passing two Interchanges", "+1 Red", 3},
    {"Passing three Interchanges", "+1 Black", 3},
    {"Passing four Interchanges", "+1 Blue", 3},
    {"Passing five Interchanges", "+1 Silver", 3},
    {"Not changing Line", "+1 Black", 4},
    {"Passing", "+2 Red/Blue/Black", 4},
};

}  // namespace cases
