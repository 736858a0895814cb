// Time per call of each station query over each kind of input a user can type.
// Run through `make bench`, which also keeps the figures as JSON.
#include <benchmark/benchmark.h>

#include <string>

#include "station_queries.h"

namespace {

const StationTable& Table() {
    static const StationTable* table = [] {
        auto* filled = new StationTable;
        filled->FillStationTable();
        return filled;
    }();
    return *table;
}

const std::string kThirtyThousandDigits(30000, '9');

// The text as the dialog holds it: a CString made once, outside the timing.
void BM_LookupStationText(benchmark::State& state, const std::string& typed) {
    const StationTable& table = Table();
    const CString text(typed.c_str());
    for (auto _ : state) {
        CString shown = LookupStationText(text, table);
        benchmark::DoNotOptimize(shown);
    }
}

void BM_FindStationsText(benchmark::State& state, const std::string& typed) {
    const StationTable& table = Table();
    const CString text(typed.c_str());
    for (auto _ : state) {
        CString shown = FindStationsText(text, table);
        benchmark::DoNotOptimize(shown);
    }
}

void BM_DeltaText(benchmark::State& state, const std::string& from, const std::string& to) {
    const CString fromText(from.c_str());
    const CString toText(to.c_str());
    CString delta;
    for (auto _ : state) {
        bool shown = DeltaText(fromText, toText, delta);
        benchmark::DoNotOptimize(shown);
        benchmark::DoNotOptimize(delta);
    }
}

void BM_ReadNumber(benchmark::State& state, const std::string& typed) {
    const char* text = typed.c_str();
    for (auto _ : state) {
        benchmark::DoNotOptimize(text);
        int value = ReadNumber(text);
        benchmark::DoNotOptimize(value);
    }
}

}  // namespace

BENCHMARK_CAPTURE(BM_LookupStationText, valid_number, std::string("121"));
BENCHMARK_CAPTURE(BM_LookupStationText, out_of_range, std::string("296"));
BENCHMARK_CAPTURE(BM_LookupStationText, empty, std::string(""));
BENCHMARK_CAPTURE(BM_LookupStationText, letters, std::string("abc"));
BENCHMARK_CAPTURE(BM_LookupStationText, white_space, std::string(" \t  "));
BENCHMARK_CAPTURE(BM_LookupStationText, digits_30000, kThirtyThousandDigits);

BENCHMARK_CAPTURE(BM_FindStationsText, one_match, std::string("100"));
BENCHMARK_CAPTURE(BM_FindStationsText, seven_matches, std::string("39"));
BENCHMARK_CAPTURE(BM_FindStationsText, none, std::string("1"));
BENCHMARK_CAPTURE(BM_FindStationsText, too_high, std::string("101"));
BENCHMARK_CAPTURE(BM_FindStationsText, empty, std::string(""));
BENCHMARK_CAPTURE(BM_FindStationsText, digits_30000, kThirtyThousandDigits);

BENCHMARK_CAPTURE(BM_DeltaText, down, std::string("63"), std::string("32"));
BENCHMARK_CAPTURE(BM_DeltaText, same, std::string("57"), std::string("57"));
BENCHMARK_CAPTURE(BM_DeltaText, one_side_empty, std::string(""), std::string("32"));
BENCHMARK_CAPTURE(BM_DeltaText, int_extremes, std::string("-2147483648"), std::string("2147483647"));
BENCHMARK_CAPTURE(BM_DeltaText, digits_30000, kThirtyThousandDigits, "-" + kThirtyThousandDigits);

BENCHMARK_CAPTURE(BM_ReadNumber, valid_number, std::string("121"));
BENCHMARK_CAPTURE(BM_ReadNumber, out_of_range, std::string("296"));
BENCHMARK_CAPTURE(BM_ReadNumber, empty, std::string(""));
BENCHMARK_CAPTURE(BM_ReadNumber, letters, std::string("abc"));
BENCHMARK_CAPTURE(BM_ReadNumber, white_space, std::string(" \t  "));
BENCHMARK_CAPTURE(BM_ReadNumber, digits_30000, kThirtyThousandDigits);

BENCHMARK_MAIN();
