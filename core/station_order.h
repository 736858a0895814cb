// The order in which a station list shows the names, the Windows program's
// sorted lists' order: there the list control sorts them itself, elsewhere a
// front-end fills its lists in this order.
#pragma once

#include <array>

#include "station_table.h"

// Whether `left` comes before `right` in a station list: case ignored, hyphens
// and apostrophes weightless, spaces and other punctuation before digits,
// digits before letters. Of names equal under that, the one with fewer
// weightless marks comes first, then byte order decides.
bool ListsBefore(const char* left, const char* right);

// Every station index, in the order the lists show the names.
std::array<int, NUM_STATIONS> StationListOrder(const StationTable& table);
