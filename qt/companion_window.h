// The launcher: one icon button per tool, each with its title and a short
// description, and the Help menu's About box. It owns the station table.
#pragma once

#include <QMainWindow>

#include "station_table.h"

class CompanionWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit CompanionWindow(QWidget* parent = nullptr);

private:
    void openChargeDelta();
    void openCurrentFinder();
    void openTessaryLookup();
    void openTokenTable();
    void openAbout();

    StationTable m_stations;
};
