#include "dialog_placement.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

// Two monitors side by side: the primary, 1024 x 768 with a 32-pixel task bar
// at its foot, and a second one of 1280 x 1024 to its right.
constexpr ScreenRect kPrimaryWork = {0, 0, 1024, 736};
constexpr ScreenRect kSecondWork = {1024, 0, 2304, 1024};
// A monitor to the left of the primary, where every coordinate is negative.
constexpr ScreenRect kLeftWork = {-1280, 0, 0, 1024};

struct Placement {
    const char* what;
    ScreenRect owner;
    bool ownerUsable;
    long width, height;
    ScreenRect workArea;
    ScreenPoint expected;
};

void PrintTo(const Placement& placement, std::ostream* out) {
    *out << placement.what;
}

// A 231 x 123 tool over a 231 x 277 launcher, unless said otherwise.
const Placement kPlacements[] = {
    {"launcher at the primary's top-left corner", {0, 0, 231, 277}, true, 231, 123, kPrimaryWork, {0, 77}},
    {"smaller dialog: the odd pixel goes right and below",
     {0, 0, 231, 277},
     true,
     120,
     90,
     kPrimaryWork,
     {55, 93}},
    {"launcher well inside the second monitor",
     {1304, 200, 1535, 477},
     true,
     231,
     123,
     kSecondWork,
     {1304, 277}},
    {"launcher near the second monitor's right edge: pushed in, still on that monitor",
     {2200, 300, 2431, 577},
     true,
     231,
     123,
     kSecondWork,
     {2073, 377}},
    {"launcher hanging over the second monitor's foot",
     {1500, 950, 1731, 1227},
     true,
     231,
     123,
     kSecondWork,
     {1500, 901}},
    {"launcher off the work area above and left of it",
     {900, -200, 1131, 77},
     true,
     231,
     123,
     kSecondWork,
     {1024, 0}},
    {"launcher below the primary's task bar", {100, 700, 331, 977}, true, 231, 123, kPrimaryWork, {100, 613}},
    {"wider dialog over a narrow owner on a monitor left of the primary",
     {-700, 100, -600, 200},
     true,
     301,
     150,
     kLeftWork,
     {-800, 75}},
    {"iconic or hidden owner: centred on its monitor's work area",
     {2200, 300, 2431, 577},
     false,
     231,
     123,
     kSecondWork,
     {1548, 450}},
    {"iconic owner on the primary", {0, 0, 160, 24}, false, 231, 123, kPrimaryWork, {396, 306}},
    {"dialog larger than the work area keeps its top-left corner in it",
     {1304, 200, 1535, 477},
     true,
     1400,
     1100,
     kSecondWork,
     {1024, 0}},
};

class DialogPlacement : public ::testing::TestWithParam<Placement> {};

TEST_P(DialogPlacement, CentresOverTheOwnerInsideItsMonitorsWorkArea) {
    const Placement& p = GetParam();
    const ScreenPoint at = CentredPlacement(p.owner, p.ownerUsable, p.width, p.height, p.workArea);
    EXPECT_EQ(p.expected.x, at.x);
    EXPECT_EQ(p.expected.y, at.y);
    // Whatever the owner, the dialog ends up on the owner's monitor.
    if (p.width <= p.workArea.right - p.workArea.left) {
        EXPECT_GE(at.x, p.workArea.left);
        EXPECT_LE(at.x + p.width, p.workArea.right);
    }
    if (p.height <= p.workArea.bottom - p.workArea.top) {
        EXPECT_GE(at.y, p.workArea.top);
        EXPECT_LE(at.y + p.height, p.workArea.bottom);
    }
}

INSTANTIATE_TEST_SUITE_P(Owners, DialogPlacement, ::testing::ValuesIn(kPlacements));

}  // namespace
