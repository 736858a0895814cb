// How Tarrowby fares under Wine, measured against two floors: the same dialog
// templates opened empty (floor.exe), and the same visible work done in plain
// Win32 (same_work_floor.exe). It times start-up to a live launcher, opening
// each tool, and reads the peak working set. Tarrowby and the floors take
// turns, in an order that changes from round to round, so that whatever else
// the machine does falls on all alike. Run through `make bench`, which also
// keeps the figures as JSON.
//
// wine_bench [--rounds N] [--json out.json] [--size file]...
//            <Tarrowby.exe> <floor.exe> <same_work_floor.exe>...
// One such three per build (64-bit, 32-bit), each in its own table. Unix
// paths are taken as Wine's Z: drive.
// clang-format off
#include <windows.h>
#include <psapi.h>  // after windows.h, which it needs
// clang-format on

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../round_ratios.h"
#include "resource.h"

namespace {

constexpr DWORD kDeadlineMs = 30000;
constexpr int kDefaultRounds = 15;

struct Tool {
    int button;
    const wchar_t* caption;
    const char* name;
};
// In the launcher's order; the Charge Delta Calculator fills two sorted
// station lists before it shows, the others show what the template holds.
const Tool kTools[] = {
    {IDC_CHARGE_DELTA_BUTTON, L"Charge Delta Calculator", "Charge Delta Calculator"},
    {IDC_CURRENT_FINDER_BUTTON, L"Station Current Finder", "Station Current Finder"},
    {IDC_TESSARY_LOOKUP_BUTTON, L"Tessary Lookup", "Tessary Lookup"},
    {IDC_TOKEN_TABLE_BUTTON, L"Token Collection Table", "Token Collection Table"},
};
constexpr int kToolCount = sizeof kTools / sizeof kTools[0];

// One run of one program.
struct Run {
    double startMs = 0;
    double toolMs[kToolCount] = {};
    double peakMiB = 0;
};

PROCESS_INFORMATION g_running{};  // ended by Fail, so that nothing is left behind

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "wine_bench: %s (error %lu)\n", what, GetLastError());
    if (g_running.hProcess) TerminateProcess(g_running.hProcess, 1);
    std::exit(1);
}

double NowMs() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMs;
}

// Polls every millisecond or so: the tools open in tens of milliseconds.
template <typename Condition>
bool WaitFor(Condition condition) {
    const ULONGLONG deadline = GetTickCount64() + kDeadlineMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() > deadline) return false;
        Sleep(1);
    }
}

std::wstring Widen(const char* text) {
    std::wstring wide;
    for (; *text; ++text) wide += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    return wide;
}

std::wstring WindowsPath(const char* path) {
    std::wstring windows = Widen(path);
    if (!windows.empty() && windows[0] == L'/') windows = L"Z:" + windows;
    std::replace(windows.begin(), windows.end(), L'/', L'\\');
    return windows;
}

// The visible dialog of that process with that caption, other than `except`.
HWND FindDialog(DWORD processId, const wchar_t* caption, HWND except) {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, L"#32770", caption));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && window != except && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

bool Exited(HANDLE process) {
    return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
}

Run RunOnce(const std::wstring& program) {
    Run run;
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION& process = g_running;

    const double started = NowMs();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        Fail("cannot start the program");
    }
    WaitForInputIdle(process.hProcess, kDeadlineMs);
    HWND launcher = nullptr;
    WaitFor([&] {
        launcher = FindDialog(process.dwProcessId, L"Tarrowby Companion", nullptr);
        return launcher || Exited(process.hProcess);
    });
    if (!launcher) Fail("the launcher did not appear");
    run.startMs = NowMs() - started;

    for (int i = 0; i < kToolCount; ++i) {
        HWND button = GetDlgItem(launcher, kTools[i].button);
        if (!button) Fail("a launcher button is missing");
        HWND tool = nullptr;
        const double clicked = NowMs();
        // Posted: a sent click would return only once the tool had closed.
        PostMessageW(button, BM_CLICK, 0, 0);
        if (!WaitFor([&] {
                return (tool = FindDialog(process.dwProcessId, kTools[i].caption, launcher)) != nullptr;
            })) {
            Fail("a tool did not open");
        }
        WaitForInputIdle(process.hProcess, kDeadlineMs);
        run.toolMs[i] = NowMs() - clicked;

        PostMessageW(tool, WM_CLOSE, 0, 0);
        if (!WaitFor([&] { return !IsWindow(tool) && IsWindowEnabled(launcher); }))
            Fail("a tool did not close");
    }

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory)) Fail("no memory figures");
    run.peakMiB = static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0);

    PostMessageW(launcher, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, kDeadlineMs) != WAIT_OBJECT_0) Fail("the program did not exit");
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    process = PROCESS_INFORMATION{};
    return run;
}

// The floors, each measured beside Tarrowby.
enum Floor { kEmpty, kSameWork, kFloorCount };
const char* const kFloorNames[kFloorCount] = {"empty floor", "same-work floor"};
const char* const kFloorKeys[kFloorCount] = {"floor", "same_work_floor"};

// The order of the programs in each round: the floors by number, then
// Tarrowby. A run that starts just after another has ended shares the machine
// with that one's leaving, which Wine and the X server are still at: over six
// rounds each program takes each place twice and follows each other program
// three times, counting from each round's last to the next one's first.
// Turning one order round and round would have each program always follow
// the same one.
constexpr int kOrderCount = 6;
constexpr int kOrders[kOrderCount][kFloorCount + 1] = {{2, 0, 1}, {2, 1, 0}, {1, 0, 2},
                                                       {0, 2, 1}, {0, 1, 2}, {1, 2, 0}};

// One build's programs: its Tarrowby and its floors, with their runs.
struct Pair {
    std::string build;  // "64-bit" or "32-bit"
    bool emulated = false;
    std::wstring tarrowby, floor[kFloorCount];
    std::vector<Run> tarrowbyRuns, floorRuns[kFloorCount];
};

struct Measure {
    std::string name;
    const char* unit;
    double (*figure)(const Run&, int tool);
    int tool;
};

std::vector<double> Figures(const std::vector<Run>& runs, const Measure& measure) {
    std::vector<double> values;
    for (const Run& run : runs) values.push_back(measure.figure(run, measure.tool));
    return values;
}

void PrintList(FILE* out, const std::vector<double>& values) {
    std::fputc('[', out);
    for (size_t i = 0; i < values.size(); ++i) std::fprintf(out, "%s%.3f", i ? ", " : "", values[i]);
    std::fputc(']', out);
}

long long FileSize(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(WindowsPath(path).c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// A program's machine, from its PE header: true for a 32-bit (i386) program.
bool Is32Bit(const std::wstring& program) {
    FILE* file = _wfopen(program.c_str(), L"rb");
    if (!file) Fail("cannot read a program");
    unsigned char header[0x40] = {}, machine[2] = {};
    long peOffset = 0;
    if (std::fread(header, 1, sizeof header, file) == sizeof header) {
        peOffset = header[0x3c] | header[0x3d] << 8 | header[0x3e] << 16 | header[0x3f] << 24;
    }
    const bool read = std::fseek(file, peOffset + 4, SEEK_SET) == 0 && std::fread(machine, 1, 2, file) == 2;
    std::fclose(file);
    if (!read) Fail("a program has no PE header");
    return (machine[0] | machine[1] << 8) == 0x014c;
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = kDefaultRounds;
    const char* jsonPath = nullptr;
    std::vector<const char*> programs, sized;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--rounds" && i + 1 < argc) {
            rounds = std::atoi(argv[++i]);
        } else if (word == "--json" && i + 1 < argc) {
            jsonPath = argv[++i];
        } else if (word == "--size" && i + 1 < argc) {
            sized.push_back(argv[++i]);
        } else {
            programs.push_back(argv[i]);
        }
    }
    if (programs.empty() || programs.size() % (1 + kFloorCount) || rounds < 1) {
        std::fprintf(stderr,
                     "usage: wine_bench [--rounds N] [--json out.json] [--size file]... "
                     "<Tarrowby.exe> <floor.exe> <same_work_floor.exe>...\n");
        return 2;
    }
    sized.insert(sized.begin(), programs.begin(), programs.end());
    // 32-bit programs may run under qemu's emulator (the test scripts say so),
    // which makes their figures comparable only with each other.
    const bool i386Emulated = std::getenv("TARROWBY_I386_EMULATED") != nullptr;
    std::vector<Pair> pairs;
    for (size_t i = 0; i < programs.size(); i += 1 + kFloorCount) {
        Pair pair;
        pair.tarrowby = WindowsPath(programs[i]);
        const bool is32 = Is32Bit(pair.tarrowby);
        for (int f = 0; f < kFloorCount; ++f) {
            pair.floor[f] = WindowsPath(programs[i + 1 + f]);
            if (is32 != Is32Bit(pair.floor[f])) Fail("a Tarrowby and its floor are of different builds");
        }
        pair.build = is32 ? "32-bit" : "64-bit";
        pair.emulated = is32 && i386Emulated;
        pairs.push_back(std::move(pair));
    }

    // One run of each first, untimed, so that none pays for a cold cache.
    for (Pair& pair : pairs) {
        RunOnce(pair.tarrowby);
        for (const std::wstring& floor : pair.floor) RunOnce(floor);
    }
    std::fprintf(stderr, "wine_bench: %d rounds ", rounds);
    for (int round = 1; round <= rounds; ++round) {
        std::fputc('.', stderr);
        for (Pair& pair : pairs) {
            for (int place = 0; place <= kFloorCount; ++place) {
                const int program = kOrders[round % kOrderCount][place];
                if (program == kFloorCount) {
                    pair.tarrowbyRuns.push_back(RunOnce(pair.tarrowby));
                } else {
                    pair.floorRuns[program].push_back(RunOnce(pair.floor[program]));
                }
            }
        }
    }
    std::fprintf(stderr, "\n");

    std::vector<Measure> measures;
    measures.push_back({"start-up", "ms", [](const Run& run, int) { return run.startMs; }, 0});
    for (int i = 0; i < kToolCount; ++i) {
        measures.push_back(
            {kTools[i].name, "ms", [](const Run& run, int tool) { return run.toolMs[tool]; }, i});
    }
    measures.push_back({"peak working set", "MiB", [](const Run& run, int) { return run.peakMiB; }, 0});

    std::printf(
        "Under Wine, median of %d runs each, each Tarrowby and its floors taking turns;\n"
        "ratio: the median of the rounds' Tarrowby/floor ratios, with its middle half\n",
        rounds);
    for (const Pair& pair : pairs) {
        std::printf(
            "\n%s%s\n%-30s %10s", pair.build.c_str(),
            pair.emulated ? ": emulated (qemu i386 user mode); compare its figures only with each other" : "",
            "measure", "Tarrowby");
        for (const char* name : kFloorNames) std::printf(" %16s %17s", name, "ratio");
        std::printf("\n");
        for (const Measure& measure : measures) {
            const std::string label = measure.name + " (" + measure.unit + ")";
            const std::vector<double> ours = Figures(pair.tarrowbyRuns, measure);
            std::printf("%-30s %10.1f", label.c_str(), Median(ours));
            for (const std::vector<Run>& runs : pair.floorRuns) {
                const std::vector<double> least = Figures(runs, measure);
                const Ratio ratio = RoundRatios(ours, least);
                std::printf(" %16.1f %5.2f (%4.2f-%4.2f)", Median(least), ratio.median, ratio.low,
                            ratio.high);
            }
            std::printf("\n");
        }
    }
    std::printf("\n%-40s %10s\n", "file", "bytes");
    for (const char* path : sized) {
        const long long size = FileSize(path);
        if (size < 0) {
            std::printf("%-40s %10s\n", path, "missing");
        } else {
            std::printf("%-40s %10lld\n", path, size);
        }
    }

    if (!jsonPath) return 0;
    FILE* out = _wfopen(WindowsPath(jsonPath).c_str(), L"w");
    if (!out) Fail("cannot write the JSON file");
    std::fprintf(out, "{\n  \"rounds\": %d,\n  \"builds\": [\n", rounds);
    for (size_t p = 0; p < pairs.size(); ++p) {
        const Pair& pair = pairs[p];
        std::fprintf(out, "   {\"build\": \"%s\", \"emulated\": %s, \"measures\": [\n", pair.build.c_str(),
                     pair.emulated ? "true" : "false");
        for (size_t m = 0; m < measures.size(); ++m) {
            const Measure& measure = measures[m];
            const std::vector<double> ours = Figures(pair.tarrowbyRuns, measure);
            std::fprintf(out, "    {\"name\": \"%s\", \"unit\": \"%s\", \"tarrowby\": %.3f,\n",
                         measure.name.c_str(), measure.unit, Median(ours));
            std::fprintf(out, "     \"tarrowby_runs\": ");
            PrintList(out, ours);
            for (int f = 0; f < kFloorCount; ++f) {
                const std::vector<double> least = Figures(pair.floorRuns[f], measure);
                const Ratio ratio = RoundRatios(ours, least);
                const char* key = kFloorKeys[f];
                std::fprintf(
                    out,
                    ",\n     \"%s\": %.3f, \"%s_ratio\": %.3f, \"%s_ratio_quartiles\": [%.3f, %.3f],\n"
                    "     \"%s_runs\": ",
                    key, Median(least), key, ratio.median, key, ratio.low, ratio.high, key);
                PrintList(out, least);
            }
            std::fprintf(out, "}%s\n", m + 1 < measures.size() ? "," : "");
        }
        std::fprintf(out, "   ]}%s\n", p + 1 < pairs.size() ? "," : "");
    }
    std::fprintf(out, "  ],\n  \"file_sizes\": {\n");
    for (size_t i = 0; i < sized.size(); ++i) {
        const long long size = FileSize(sized[i]);
        std::fprintf(out, "    \"%s\": ", sized[i]);
        if (size < 0) {
            std::fprintf(out, "null");
        } else {
            std::fprintf(out, "%lld", size);
        }
        std::fprintf(out, "%s\n", i + 1 < sized.size() ? "," : "");
    }
    std::fprintf(out, "  }\n}\n");
    std::fclose(out);
    return 0;
}
