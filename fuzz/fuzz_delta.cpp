// DeltaText on any pair of texts. The input is "from|to", split at the first
// '|' (no '|' leaves To empty): false, with the delta untouched, exactly when a
// side is empty; otherwise a sign, then digits without leading zeros, worth
// To minus From as the two read.
#include <cstring>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t bar = input.find('|');
    const std::string from = (bar == std::string::npos ? input : input.substr(0, bar)).c_str();
    const std::string to = (bar == std::string::npos ? std::string() : input.substr(bar + 1)).c_str();

    const char kBefore[] = "before";
    CString delta(kBefore);
    const bool shown = DeltaText(CString(from.c_str()), CString(to.c_str()), delta);
    if (from.empty() || to.empty()) {
        FUZZ_CHECK(!shown);
        FUZZ_CHECK(Str(delta) == kBefore);
        return 0;
    }
    FUZZ_CHECK(shown);

    const std::string text = Str(delta);
    FUZZ_CHECK(text.size() >= 2 && text.size() <= 11);  // sign and 1 to 10 digits
    FUZZ_CHECK(text[0] == '+' || text[0] == '-');
    FUZZ_CHECK(text[1] != '0' || text.size() == 2);
    FUZZ_CHECK(text != "-0");
    unsigned long long magnitude = 0;
    for (size_t i = 1; i < text.size(); ++i) {
        FUZZ_CHECK(text[i] >= '0' && text[i] <= '9');
        magnitude = magnitude * 10 + static_cast<unsigned>(text[i] - '0');
    }
    const long long value =
        text[0] == '-' ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    FUZZ_CHECK(value == static_cast<long long>(ReadNumber(to.c_str())) - ReadNumber(from.c_str()));
    return 0;
}
