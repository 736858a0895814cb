// The station tools' computations: typed text in, the text to show out.
#pragma once

#include "afxstr.h"
#include "station_table.h"

const int MAX_CURRENT = 100;

// Reads a number the way atoi does (leading white space, one optional sign,
// digits up to the first other character, 0 when there are none), except that
// a value beyond the 32-bit range saturates instead of wrapping round.
int ReadNumber(const char* text);

// `current` in plain decimal: a minus sign when negative, no leading zeros.
CString CurrentText(int current);

// The station with the typed Tessary number, or the range message.
CString LookupStationText(const CString& typed, const StationTable& table);

// Every station with the typed current, each name followed by a line feed,
// or "None." / the range message.
CString FindStationsText(const CString& typed, const StationTable& table);

// To minus From with its sign ("+0", "+31", "-31"); false, leaving `delta`
// alone, while either side is still blank.
bool DeltaText(const CString& fromCurrentText, const CString& toCurrentText, CString& delta);
