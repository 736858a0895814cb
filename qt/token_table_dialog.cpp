#include "token_table_dialog.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

struct Row {
    const char* situation;
    const char* tokens;
};

// The groups, each ruled off from the next.
const Row kZone[] = {{"Zone with Pass", "+1 Bronze"}};
const Row kInterchanges[] = {
    {"Two-Line Interchange", "+1 Red"},
    {"Three-Line Interchange", "+1 Black"},
    {"Four-Line Interchange", "+1 Blue"},
    {"Five-plus-Line Interchange", "+1 Silver"},
};
const Row kPassingInterchanges[] = {
    {"Passing two Interchanges", "+1 Red"},
    {"Passing three Interchanges", "+1 Black"},
    {"Passing four Interchanges", "+1 Blue"},
    {"Passing five Interchanges", "+1 Silver"},
};
const Row kLine[] = {{"Not changing Line", "+1 Black"}, {"Passing", "+2 Red/Blue/Black"}};

QFrame* NewRule(QFrame::Shape shape) {
    auto* rule = new QFrame;
    rule->setFrameStyle(shape | QFrame::Sunken);
    return rule;
}

// A group's rows from grid row `row` on, ruled off from any group above, with
// the column rule beside them. Each situation is made just before its tokens,
// so that a screen reader, which reads in that order, reads the card row by row.
template <size_t N>
void AddGroup(QGridLayout& grid, int& row, const Row (&rows)[N]) {
    if (row > 0) grid.addWidget(NewRule(QFrame::HLine), row++, 0, 1, 3);
    grid.addWidget(NewRule(QFrame::VLine), row, 1, static_cast<int>(N), 1);
    for (const Row& line : rows) {
        grid.addWidget(new QLabel(QLatin1String(line.situation)), row, 0, Qt::AlignRight);
        grid.addWidget(new QLabel(QLatin1String(line.tokens)), row++, 2, Qt::AlignLeft);
    }
}

}  // namespace

TokenTableDialog::TokenTableDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Token Collection Table"));
    auto* card = new QFrame;
    card->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto* grid = new QGridLayout(card);
    int row = 0;
    AddGroup(*grid, row, kZone);
    AddGroup(*grid, row, kInterchanges);
    AddGroup(*grid, row, kPassingInterchanges);
    AddGroup(*grid, row, kLine);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(card);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
