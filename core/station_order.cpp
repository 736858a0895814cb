#include "station_order.h"

#include <algorithm>
#include <cstring>

namespace {

bool Weightless(char ch) {
    return ch == '-' || ch == '\'';
}

// Punctuation and spaces keep their byte order, below every digit and letter.
int Weight(char ch) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    if (ch >= 'a' && ch <= 'z') return 0x200 + ch;
    if (ch >= '0' && ch <= '9') return 0x100 + ch;
    return static_cast<unsigned char>(ch);
}

// Negative, zero or positive as `left` sorts before, with or after `right`.
int CompareWeights(const char* left, const char* right) {
    for (;;) {
        while (Weightless(*left)) ++left;
        while (Weightless(*right)) ++right;
        if (!*left || !*right) return (*left != '\0') - (*right != '\0');
        const int difference = Weight(*left++) - Weight(*right++);
        if (difference) return difference;
    }
}

}  // namespace

bool ListsBefore(const char* left, const char* right) {
    const int weights = CompareWeights(left, right);
    if (weights) return weights < 0;
    // Equal but for weightless marks or case: the one with fewer marks first.
    const size_t leftLength = std::strlen(left), rightLength = std::strlen(right);
    return leftLength != rightLength ? leftLength < rightLength : std::strcmp(left, right) < 0;
}

std::array<int, NUM_STATIONS> StationListOrder(const StationTable& table) {
    std::array<int, NUM_STATIONS> order;
    for (int index = 0; index < NUM_STATIONS; ++index) order[index] = index;
    std::sort(order.begin(), order.end(), [&table](int left, int right) {
        return ListsBefore(table.GetStationName(left), table.GetStationName(right));
    });
    return order;
}
