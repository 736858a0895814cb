// The Tessary Lookup: type a Tessary number, and the station that has it is
// named.
#pragma once

#include <QDialog>

#include "station_table.h"

class AnnouncedLabel;
class DigitField;

class TessaryLookupDialog : public QDialog {
    Q_OBJECT

public:
    TessaryLookupDialog(const StationTable& stations, QWidget* parent = nullptr);

private:
    void lookup();

    const StationTable& m_stations;
    DigitField* m_number;
    AnnouncedLabel* m_station;
};
