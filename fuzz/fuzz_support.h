// Shared by the fuzz targets: a filled station table, NUL-terminated copies of
// the fuzzer's bytes, and a check that stops the run on the first violation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "station_queries.h"
#include "station_table.h"

// Prints what broke and aborts; libFuzzer then saves the input as a crash file.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

// The fuzzer's bytes may hold NULs and are not terminated: the queries take C
// text, so they see everything up to the first NUL.
inline std::string TextOf(const uint8_t* data, size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size).c_str();
}

// Filled once; the queries only read it.
inline const StationTable& Table() {
    static const StationTable* table = [] {
        auto* filled = new StationTable;
        filled->FillStationTable();
        return filled;
    }();
    return *table;
}

inline std::string Str(const CString& text) {
    return std::string(static_cast<const char*>(text), static_cast<size_t>(text.GetLength()));
}

inline std::string NameAt(int index) {
    return Str(Table().GetStationName(index));
}

const char kRangeMessage[] = "Must be between 1 and 295.";
const char kTooHighMessage[] = "Cannot be more than one hundred.";
const char kNoneMessage[] = "None.";
