#include "companion_window.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>

#include "about_dialog.h"
#include "charge_delta_dialog.h"
#include "current_finder_dialog.h"
#include "program_images.h"
#include "tessary_lookup_dialog.h"
#include "token_table_dialog.h"

namespace {

struct Tool {
    const char* icon;
    const char* title;
    const char* description;
    void (CompanionWindow::*open)();
};

}  // namespace

CompanionWindow::CompanionWindow(QWidget* parent) : QMainWindow(parent) {
    m_stations.FillStationTable();
    setWindowTitle(tr("Tarrowby Companion"));
    setWindowIcon(ApplicationIcon());  // the tools' windows, its children, show it too

    const Tool tools[] = {
        {"charge_delta", "Charge Delta Calculator",
         "Calculate the Current differential\nbetween two Stations", &CompanionWindow::openChargeDelta},
        {"current_finder", "Station Current Finder", "Find all Stations with a specified\nCurrent",
         &CompanionWindow::openCurrentFinder},
        {"tessary_lookup", "Tessary Lookup", "Look up a Station from its\nTessary Number",
         &CompanionWindow::openTessaryLookup},
        {"token_table", "Token Collection Table", "Summary of Tokens claimable\nafter each Move",
         &CompanionWindow::openTokenTable},
    };
    auto* central = new QWidget;
    auto* grid = new QGridLayout(central);
    QPushButton* previous = nullptr;
    int row = 0;
    for (const Tool& tool : tools) {
        auto* button = new QPushButton;
        button->setIcon(ProgramImage(tool.icon));
        button->setIconSize(QSize(32, 32));
        // The button shows only its icon; a screen reader names it for its tool.
        button->setAccessibleName(QLatin1String(tool.title));
        // Enter opens the tool with the focus, as Space does.
        button->setAutoDefault(true);
        connect(button, &QPushButton::clicked, this, tool.open);
        grid->addWidget(button, row, 0, 2, 1, Qt::AlignTop);

        auto* title = new QLabel(QLatin1String(tool.title));
        title->setAlignment(Qt::AlignCenter);
        title->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        grid->addWidget(title, row, 1);
        grid->addWidget(new QLabel(QLatin1String(tool.description)), row + 1, 1, Qt::AlignTop);

        if (previous) setTabOrder(previous, button);
        previous = button;
        row += 2;
    }
    setCentralWidget(central);
    grid->itemAtPosition(0, 0)->widget()->setFocus();  // the focus starts at the first tool
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(tr("&About Tarrowby..."), this, &CompanionWindow::openAbout);

    // Esc ends the program, as the window's close button does.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
}

// Each tool runs modally over the launcher and is gone when it closes.
void CompanionWindow::openChargeDelta() {
    ChargeDeltaDialog dialog(m_stations, this);
    dialog.exec();
}

void CompanionWindow::openCurrentFinder() {
    CurrentFinderDialog dialog(m_stations, this);
    dialog.exec();
}

void CompanionWindow::openTessaryLookup() {
    TessaryLookupDialog dialog(m_stations, this);
    dialog.exec();
}

void CompanionWindow::openTokenTable() {
    TokenTableDialog dialog(this);
    dialog.exec();
}

void CompanionWindow::openAbout() {
    AboutDialog dialog(this);
    dialog.exec();
}
