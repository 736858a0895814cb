#include "station_queries.h"

#include <climits>

namespace {

bool IsSpace(char ch) {
    return ch == ' ' || (ch >= '\t' && ch <= '\r');
}

// Plain decimal of any value the queries can produce, INT_MIN - INT_MAX included.
CString DecimalText(long long value) {
    char digits[24];
    char* p = digits + sizeof digits;
    *--p = '\0';
    unsigned long long magnitude =
        value < 0 ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0) *--p = '-';
    return CString(p);
}

}  // namespace

int ReadNumber(const char* text) {
    while (IsSpace(*text)) ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    // Accumulate towards the sign's own limit, stopping there.
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > limit) value = limit;
    }
    return static_cast<int>(negative ? -value : value);
}

CString CurrentText(int current) {
    return DecimalText(current);
}

CString LookupStationText(const CString& typed, const StationTable& table) {
    const int number = ReadNumber(typed);
    if (number < 1 || number > NUM_STATIONS) return CString("Must be between 1 and 295.");
    return table.GetStationName(number - 1);
}

CString FindStationsText(const CString& typed, const StationTable& table) {
    const int current = ReadNumber(typed);
    if (current > MAX_CURRENT) return CString("Cannot be more than one hundred.");
    CString found;
    // An empty field reads as 0 but asks for nothing, so it must not list the
    // station whose current is 0.
    if (!typed.IsEmpty()) {
        for (int index = 0; index < NUM_STATIONS; ++index) {
            if (table.GetStationCurrent(index) == current) {
                found += table.GetStationName(index);
                found += '\n';
            }
        }
    }
    if (found.IsEmpty()) return CString("None.");
    return found;
}

bool DeltaText(const CString& fromCurrentText, const CString& toCurrentText, CString& delta) {
    if (fromCurrentText.IsEmpty() || toCurrentText.IsEmpty()) return false;
    // Widened so that no pair of readable numbers can overflow.
    const long long difference =
        static_cast<long long>(ReadNumber(toCurrentText)) - ReadNumber(fromCurrentText);
    delta = difference >= 0 ? "+" + DecimalText(difference) : DecimalText(difference);
    return true;
}
