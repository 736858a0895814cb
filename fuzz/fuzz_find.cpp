// FindStationsText on any typed text: one of its two messages, or the names of
// exactly the stations with the typed current, each on its own line, in table
// order; and nothing at all listed for an empty field.
#include <set>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Matching listed lines back to rows relies on every name being distinct.
    std::set<std::string> names;
    for (int index = 0; index < NUM_STATIONS; ++index) names.insert(NameAt(index));
    FUZZ_CHECK(names.size() == static_cast<size_t>(NUM_STATIONS));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string typed = TextOf(data, size);
    const std::string shown = Str(FindStationsText(CString(typed.c_str()), Table()));
    const int current = ReadNumber(typed.c_str());

    int stationsWithCurrent = 0;
    for (int index = 0; index < NUM_STATIONS; ++index) {
        if (Table().GetStationCurrent(index) == current) ++stationsWithCurrent;
    }

    if (shown == kTooHighMessage) {
        FUZZ_CHECK(current > MAX_CURRENT);
        return 0;
    }
    FUZZ_CHECK(current <= MAX_CURRENT);
    if (shown == kNoneMessage) {
        FUZZ_CHECK(typed.empty() || stationsWithCurrent == 0);
        return 0;
    }

    // A list: only for a typed current, never for an empty field.
    FUZZ_CHECK(!typed.empty());
    FUZZ_CHECK(!shown.empty() && shown.back() == '\n');
    int previous = -1;
    int listed = 0;
    for (size_t start = 0; start < shown.size();) {
        const size_t end = shown.find('\n', start);
        FUZZ_CHECK(end != std::string::npos);
        const std::string line = shown.substr(start, end - start);
        int row = previous + 1;
        while (row < NUM_STATIONS && NameAt(row) != line) ++row;
        FUZZ_CHECK(row < NUM_STATIONS);  // a table name, after the previous one
        FUZZ_CHECK(Table().GetStationCurrent(row) == current);
        previous = row;
        ++listed;
        start = end + 1;
    }
    FUZZ_CHECK(listed == stationsWithCurrent);  // none left out
    return 0;
}
