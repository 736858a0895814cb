// How Tarrowby fares under Wine, measured against the floor program (the same
// dialog templates opened empty): start-up to a live launcher, opening each
// tool, and the peak working set. Runs alternate, Tarrowby then the floor, so
// that whatever else the machine does falls on both alike. Run through
// `make bench`, which also keeps the figures as JSON.
//
// wine_bench [--rounds N] [--json out.json] [--size file]... <Tarrowby.exe> <floor.exe>
// Unix paths are taken as Wine's Z: drive.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

bool Exited(HANDLE process) { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }

Run RunOnce(const std::wstring& program) {
    Run run;
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION& process = g_running;

    const double started = NowMs();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
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
        if (!WaitFor([&] { return (tool = FindDialog(process.dwProcessId, kTools[i].caption, launcher)) != nullptr; })) {
            Fail("a tool did not open");
        }
        WaitForInputIdle(process.hProcess, kDeadlineMs);
        run.toolMs[i] = NowMs() - clicked;

        PostMessageW(tool, WM_CLOSE, 0, 0);
        if (!WaitFor([&] { return !IsWindow(tool) && IsWindowEnabled(launcher); })) Fail("a tool did not close");
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

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct Measure {
    std::string name;
    const char* unit;
    std::vector<double> tarrowby, floor;
};

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
    if (programs.size() != 2 || rounds < 1) {
        std::fprintf(stderr,
                     "usage: wine_bench [--rounds N] [--json out.json] [--size file]... <Tarrowby.exe> <floor.exe>\n");
        return 2;
    }
    sized.insert(sized.begin(), programs.begin(), programs.end());
    const std::wstring tarrowby = WindowsPath(programs[0]), floor = WindowsPath(programs[1]);

    // One run of each first, untimed, so that neither pays for a cold cache.
    RunOnce(tarrowby);
    RunOnce(floor);
    std::vector<Run> tarrowbyRuns, floorRuns;
    std::fprintf(stderr, "wine_bench: %d rounds ", rounds);
    for (int round = 1; round <= rounds; ++round) {
        std::fputc('.', stderr);
        tarrowbyRuns.push_back(RunOnce(tarrowby));
        floorRuns.push_back(RunOnce(floor));
    }
    std::fprintf(stderr, "\n");

    std::vector<Measure> measures;
    const auto add = [&](std::string name, const char* unit, auto figure) {
        Measure measure{std::move(name), unit, {}, {}};
        for (const Run& run : tarrowbyRuns) measure.tarrowby.push_back(figure(run));
        for (const Run& run : floorRuns) measure.floor.push_back(figure(run));
        measures.push_back(std::move(measure));
    };
    add("start-up", "ms", [](const Run& run) { return run.startMs; });
    for (int i = 0; i < kToolCount; ++i) add(kTools[i].name, "ms", [i](const Run& run) { return run.toolMs[i]; });
    add("peak working set", "MiB", [](const Run& run) { return run.peakMiB; });

    std::printf("Under Wine, median of %d runs each, Tarrowby and the floor taking turns\n\n", rounds);
    std::printf("%-30s %10s %10s %7s\n", "measure", "Tarrowby", "floor", "ratio");
    for (const Measure& measure : measures) {
        const double ours = Median(measure.tarrowby), least = Median(measure.floor);
        const std::string label = measure.name + " (" + measure.unit + ")";
        std::printf("%-30s %10.1f %10.1f %7.2f\n", label.c_str(), ours, least, ours / least);
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
    std::fprintf(out, "{\n  \"rounds\": %d,\n  \"measures\": [\n", rounds);
    for (size_t m = 0; m < measures.size(); ++m) {
        const Measure& measure = measures[m];
        const double ours = Median(measure.tarrowby), least = Median(measure.floor);
        std::fprintf(out, "    {\"name\": \"%s\", \"unit\": \"%s\", \"tarrowby\": %.3f, \"floor\": %.3f, \"ratio\": %.3f,\n",
                     measure.name.c_str(), measure.unit, ours, least, ours / least);
        std::fprintf(out, "     \"tarrowby_runs\": ");
        PrintList(out, measure.tarrowby);
        std::fprintf(out, ",\n     \"floor_runs\": ");
        PrintList(out, measure.floor);
        std::fprintf(out, "}%s\n", m + 1 < measures.size() ? "," : "");
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
