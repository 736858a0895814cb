// The Charge Delta Calculator: a From and a To list of every station, each
// station's current beside its list, and To minus From below.
#pragma once

#include <QDialog>

#include "station_table.h"

class AnnouncedLabel;
class QComboBox;

class ChargeDeltaDialog : public QDialog {
    Q_OBJECT

public:
    ChargeDeltaDialog(const StationTable& stations, QWidget* parent = nullptr);

private:
    void showCurrent(const QComboBox& list, AnnouncedLabel& current);
    void updateDelta();

    const StationTable& m_stations;
    QComboBox* m_from;
    QComboBox* m_to;
    AnnouncedLabel* m_fromCurrent;
    AnnouncedLabel* m_toCurrent;
    AnnouncedLabel* m_delta;
};
