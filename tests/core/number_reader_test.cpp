#include <gtest/gtest.h>

#include <climits>

#include "station_queries.h"

namespace {

struct NumberCase {
    const char* text;
    int value;
};

// atoi's rules, with saturation in place of overflow.
const NumberCase kNumberCases[] = {
    {"", 0},
    {"0", 0},
    {"7", 7},
    {"007", 7},
    {"+7", 7},
    {"-3", -3},
    {"12abc", 12},
    {"abc", 0},
    {" ", 0},
    {" 121", 121},
    {"\t\n\v\f\r 42", 42},
    {"  -0", 0},
    {"+", 0},
    {"-", 0},
    {"+-5", 0},
    {"--5", 0},
    {"- 5", 0},
    {"5 6", 5},
    {"1e3", 1},
    {"0x1F", 0},
    {"2147483647", INT_MAX},
    {"-2147483648", INT_MIN},
    {"2147483648", INT_MAX},
    {"-2147483649", INT_MIN},
    {"99999999999", INT_MAX},
    {"-99999999999", INT_MIN},
    {"4294967297", INT_MAX},  // would wrap to 1 (Acton Town) if it wrapped
    {"00000000000000000000000000000000000012", 12},
    {"\xA0" "5", 0},  // a non-breaking space is not white space to atoi
};

}  // namespace

TEST(ReadNumber, FollowsAtoiAndSaturates) {
    for (const NumberCase& c : kNumberCases) {
        EXPECT_EQ(c.value, ReadNumber(c.text)) << "text: \"" << c.text << "\"";
    }
}

TEST(ReadNumber, LongDigitRunsSaturate) {
    std::string digits(30000, '9');
    EXPECT_EQ(INT_MAX, ReadNumber(digits.c_str()));
    EXPECT_EQ(INT_MIN, ReadNumber(("-" + digits).c_str()));
    std::string zeros(30000, '0');
    EXPECT_EQ(5, ReadNumber((zeros + "5").c_str()));
}

TEST(CurrentText, PlainDecimal) {
    const struct {
        int value;
        const char* text;
    } cases[] = {{0, "0"}, {4, "4"}, {100, "100"}, {-31, "-31"}, {INT_MAX, "2147483647"}, {INT_MIN, "-2147483648"}};
    for (const auto& c : cases) EXPECT_STREQ(c.text, CurrentText(c.value)) << c.value;
}
