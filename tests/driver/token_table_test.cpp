// The Token Collection Table: eleven rows of situation and tokens, ruled into
// four groups.

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "program_driver.h"
#include "resource.h"
#include "screenshot.h"

namespace driver {
namespace {

struct Row {
    std::wstring situation;
    std::wstring tokens;
    int group;  // counted by the ruled lines above the row
    bool operator==(const Row&) const = default;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << "{" << Narrow(row.situation) << " | " << Narrow(row.tokens) << " | group " << row.group << "}";
}

const std::vector<Row> kRows = [] {
    std::vector<Row> rows;
    for (const cases::TokenRow& row : cases::kTokenRows)
        rows.push_back({Widen(row.situation), Widen(row.tokens), row.group});
    return rows;
}();

RECT ScreenRect(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
}

using TokenTableTest = ProgramTest;

TEST_F(TokenTableTest, ShowsElevenRowsInFourRuledGroups) {
    HWND dialog = OpenTool(IDC_TOKEN_TABLE_BUTTON, L"Token Collection Table");
    ASSERT_NE(dialog, nullptr);
    Send(dialog, WM_GETOBJECT, 0, LPARAM{OBJID_CLIENT});  // a reader's first question: now in reading order

    std::vector<HWND> situations, tokens;
    std::vector<RECT> across, down;  // the ruled lines
    std::vector<std::wstring> readOrder;  // the texts in window order, as a screen reader reads them
    for (HWND child : Children(dialog)) {
        ASSERT_EQ(ClassName(child), L"Static");
        const DWORD kind = Style(child) & SS_TYPEMASK;
        if (kind == SS_BLACKFRAME) {
            const RECT rect = ScreenRect(child);
            (rect.right - rect.left > rect.bottom - rect.top ? across : down).push_back(rect);
            continue;
        }
        readOrder.push_back(Text(child));
        if (kind == SS_RIGHT) {
            situations.push_back(child);
        } else if (kind == SS_LEFT) {
            tokens.push_back(child);
        } else {
            ADD_FAILURE() << "unexpected static kind " << kind << ": " << Narrow(Text(child));
        }
    }
    EXPECT_EQ(across.size() + down.size(), 8u) << "ruled frames";
    EXPECT_EQ(across.size(), 5u);
    EXPECT_EQ(down.size(), 3u);
    ASSERT_EQ(situations.size(), kRows.size());
    ASSERT_EQ(tokens.size(), kRows.size());

    // A row is what stands side by side on the screen.
    std::vector<std::pair<LONG, Row>> rows;
    for (HWND situation : situations) {
        const RECT left = ScreenRect(situation);
        const auto partner = std::find_if(tokens.begin(), tokens.end(), [&](HWND token) {
            const RECT right = ScreenRect(token);
            return right.top == left.top && right.left >= left.right;
        });
        ASSERT_NE(partner, tokens.end()) << "no tokens beside " << Narrow(Text(situation));
        const int group = static_cast<int>(
            std::count_if(across.begin(), across.end(), [&](const RECT& line) { return line.bottom <= left.top; }));
        rows.push_back({left.top, Row{Text(situation), Text(*partner), group}});
    }
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Row> shown;
    for (const auto& row : rows) shown.push_back(row.second);
    EXPECT_EQ(shown, kRows);
    std::vector<std::wstring> rowByRow;
    for (const Row& row : kRows) rowByRow.insert(rowByRow.end(), {row.situation, row.tokens});
    EXPECT_EQ(readOrder, rowByRow) << "a screen reader would not hear each award after its situation";

    const auto doubles = std::count_if(tokens.begin(), tokens.end(), [](HWND t) { return Text(t).rfind(L"+2", 0) == 0; });
    EXPECT_EQ(doubles, 1) << "awards of two tokens";

    SaveScreenshot(dialog, L"token_table");
    CloseTool(dialog, Closer::Escape);
}

}  // namespace
}  // namespace driver
