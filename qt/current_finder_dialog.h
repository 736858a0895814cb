// The Station Current Finder: type a current, and every station that has it
// is listed, one per line.
#pragma once

#include <QDialog>

#include "station_table.h"

class AnnouncedLabel;
class DigitField;

class CurrentFinderDialog : public QDialog {
    Q_OBJECT

public:
    CurrentFinderDialog(const StationTable& stations, QWidget* parent = nullptr);

private:
    void find();

    const StationTable& m_stations;
    DigitField* m_current;
    AnnouncedLabel* m_found;
};
