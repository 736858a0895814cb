// LookupStationText on any typed text: a station's name or the range message,
// and the name is the one at the number the text reads as.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string typed = TextOf(data, size);
    const std::string shown = Str(LookupStationText(CString(typed.c_str()), Table()));

    const int number = ReadNumber(typed.c_str());
    if (number >= 1 && number <= NUM_STATIONS) {
        FUZZ_CHECK(shown == NameAt(number - 1));
    } else {
        FUZZ_CHECK(shown == kRangeMessage);
    }
    // Whatever was typed, nothing but a table name or the message comes back.
    bool known = shown == kRangeMessage;
    for (int index = 0; index < NUM_STATIONS && !known; ++index) known = shown == NameAt(index);
    FUZZ_CHECK(known);
    return 0;
}
