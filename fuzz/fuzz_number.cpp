// ReadNumber on any bytes, against two readings of its own: the C library's
// strtoll clamped to the int range (atoi is strtol with its overflow left
// undefined), and a digit count that needs no wide arithmetic at all. Also
// CurrentText on the value read and on a raw int taken from the bytes.
#include <cerrno>
#include <climits>
#include <cstring>

#include "fuzz_support.h"

namespace {

int ClampToInt(long long value) {
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

// The C locale's white space, which is what atoi skips here.
bool IsCSpace(char ch) {
    return std::strchr(" \t\n\v\f\r", ch) && ch != '\0';
}

int ByDigitCount(const char* text) {
    while (IsCSpace(*text)) ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    while (*text == '0') ++text;
    const char* digits = text;
    while (*text >= '0' && *text <= '9') ++text;
    const size_t count = static_cast<size_t>(text - digits);
    if (count > 10) return negative ? INT_MIN : INT_MAX;  // past 9,999,999,999
    unsigned long long magnitude = 0;
    for (size_t i = 0; i < count; ++i) magnitude = magnitude * 10 + static_cast<unsigned>(digits[i] - '0');
    if (negative) return magnitude >= 2147483648ULL ? INT_MIN : -static_cast<int>(magnitude);
    return magnitude >= 2147483647ULL ? INT_MAX : static_cast<int>(magnitude);
}

void CheckCurrentText(int value) {
    char expected[16];
    std::snprintf(expected, sizeof expected, "%d", value);
    const CString text = CurrentText(value);
    FUZZ_CHECK(Str(text) == expected);
    FUZZ_CHECK(ReadNumber(text) == value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = TextOf(data, size);
    const int value = ReadNumber(text.c_str());

    errno = 0;
    const long long wide = std::strtoll(text.c_str(), nullptr, 10);
    FUZZ_CHECK(value == ClampToInt(wide));
    FUZZ_CHECK(value == ByDigitCount(text.c_str()));

    // The same text in a CString reads the same.
    FUZZ_CHECK(ReadNumber(CString(text.c_str())) == value);

    CheckCurrentText(value);
    if (size >= 4) {
        int raw;
        std::memcpy(&raw, data, sizeof raw);
        CheckCurrentText(raw);
    }
    return 0;
}
