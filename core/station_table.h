// The fixed table of stations: names and currents, in Tessary order.
#pragma once

#include "afxstr.h"

const int NUM_STATIONS = 295;

class StationTable {
public:
    // Assigns every name and current; called once, before any query.
    void FillStationTable();

    // Neither accessor checks `index`: callers pass 0..NUM_STATIONS-1 only.
    CString GetStationName(int index) const { return m_names[index]; }
    int GetStationCurrent(int index) const { return m_currents[index]; }

private:
    CString m_names[NUM_STATIONS];
    int m_currents[NUM_STATIONS];
};
