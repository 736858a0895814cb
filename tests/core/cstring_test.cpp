#include <gtest/gtest.h>

#include <cstring>

#include "afxstr.h"

TEST(CString, StartsEmptyAndTerminated) {
    CString text;
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(0, text.GetLength());
    EXPECT_STREQ("", static_cast<const char*>(text));
}

TEST(CString, CopiesAreIndependent) {
    CString original("Bank");
    CString copy(original);
    CString assigned;
    assigned = original;
    original += " Station";
    EXPECT_STREQ("Bank Station", original);
    EXPECT_STREQ("Bank", copy);
    EXPECT_STREQ("Bank", assigned);
}

TEST(CString, AssignsFromTextAndFromNull) {
    CString text("Oval");
    text = "Crossharbour & London Arena";
    EXPECT_EQ(27, text.GetLength());
    text = static_cast<const char*>(nullptr);
    EXPECT_TRUE(text.IsEmpty());
    text = "";
    EXPECT_TRUE(text.IsEmpty());
}

TEST(CString, ConcatenatesEveryWay) {
    const CString covent("Covent Garden");
    EXPECT_STREQ("Covent Garden\n", covent + "\n");
    EXPECT_STREQ("+31", "+" + CString("31"));
    EXPECT_STREQ("Covent GardenGoodge Street", covent + CString("Goodge Street"));
    CString grown;
    for (int i = 0; i < 1000; ++i) grown += 'x';
    EXPECT_EQ(1000, grown.GetLength());
    EXPECT_EQ(1000u, std::strlen(grown));
}

TEST(CString, AppendsToItself) {
    CString text("ab");
    for (int i = 0; i < 10; ++i) text += text;  // each step may move the buffer
    EXPECT_EQ(2 << 10, text.GetLength());
    EXPECT_EQ('a', text[2046]);
    EXPECT_EQ('b', text.GetAt(2047));
    CString tail("Park");
    tail += static_cast<const char*>(tail) + 1;
    EXPECT_STREQ("Parkark", tail);
}

TEST(CString, SelfAssignmentKeepsText) {
    CString text("Temple");
    CString& same = text;
    text = same;
    EXPECT_STREQ("Temple", text);
}

TEST(CString, BufferForFilling) {
    CString text;
    char* buffer = text.GetBufferSetLength(8);
    std::strcpy(buffer, "Upney");
    text.ReleaseBuffer();
    EXPECT_EQ(5, text.GetLength());
    EXPECT_TRUE(text == "Upney");
    text.GetBufferSetLength(0);
    text.ReleaseBuffer();
    EXPECT_TRUE(text.IsEmpty());
}

TEST(CString, ComparesByContent) {
    EXPECT_TRUE(CString("Oval") == CString("Oval"));
    EXPECT_FALSE(CString("Oval") == CString("Ova"));
    EXPECT_TRUE(CString() == "");
    EXPECT_FALSE(CString("Bow") == "Bow Road");
}

#ifdef _WIN32
// CString brings the program's stack guard: a failed check ends the process
// at once as a stack buffer overrun, with fail-fast or without.
extern "C" void __stack_chk_fail();
TEST(StackGuardDeathTest, FailedCheckEndsTheProcessAsOverrun) {
    EXPECT_EXIT(__stack_chk_fail(), testing::ExitedWithCode(static_cast<int>(0xC0000409u)), "");
}
#endif
