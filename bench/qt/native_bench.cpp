// The native program against its same-work floor, on an X display: start-up
// until the launcher's window is mapped, each tool from the key that opens it
// until its dialog is mapped, and the peak resident set. The two take turns,
// the order swapped every round, so that each starts after each as often and
// whatever else the machine does falls on both alike. Every wait is for an X
// event or the process's end, never for a set time. Run by `make bench`
// (scripts/setup/bench.sh native), which gives it its display.
//
// native_bench [--rounds N] [--json out.json] [--label text] [--names A,B]
//              [--no-warm-up] <tarrowby> <floor>
// Any two programs that show the same launcher and take the same keys can be
// set side by side so, Tarrowby under Wine (through its command) among them:
// --names then heads the columns.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "../round_ratios.h"

extern char** environ;

namespace {

constexpr double kDeadlineMs = 30000;
constexpr int kDefaultRounds = 21;
const char* const kLauncherTitle = "Tarrowby Companion";

// In the launcher's focus order: the first has the focus when it opens, each
// next one is a Tab further on.
const char* const kTools[] = {"Charge Delta Calculator", "Station Current Finder", "Tessary Lookup",
                              "Token Collection Table"};
constexpr int kToolCount = sizeof kTools / sizeof kTools[0];

struct Run {
    double startMs = 0;
    double startCpuMs = 0;  // the processor time the program took until then
    double toolMs[kToolCount] = {};
    double peakMiB = 0;
};

Display* g_display;
Window g_root;
Atom g_netWmPid, g_netWmName, g_utf8, g_wmProtocols, g_netWmPing;
bool g_managed = false;  // a window manager runs on the display
pid_t g_child = 0;       // killed by Fail, so that nothing is left behind

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "native_bench: %s\n", what);
    if (g_child > 0) kill(g_child, SIGKILL);
    std::exit(1);
}

double NowMs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

long WindowPid(Window window) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(g_display, window, g_netWmPid, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                           &after, &data) == Success &&
        data && format == 32 && count == 1) {
        pid = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
    }
    if (data) XFree(data);
    return pid;
}

std::string WindowTitle(Window window) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(g_display, window, g_netWmName, 0, 256, False, g_utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data && format == 8) {
        title.assign(reinterpret_cast<char*>(data), count);
    } else {
        if (data) XFree(data);
        data = nullptr;
        if (XGetWindowProperty(g_display, window, XA_WM_NAME, 0, 256, False, AnyPropertyType, &type, &format,
                               &count, &after, &data) == Success &&
            data && format == 8) {
            title.assign(reinterpret_cast<char*>(data), count);
        }
    }
    if (data) XFree(data);
    return title;
}

// A window that has gone between its event and our question.
int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

// What the display says about one running program: its top-levels as they
// map and unmap, which of them has the keyboard, and its answers to pings. Under a window
// manager a top-level is mapped inside a frame of the manager's, and the
// root sees the frame: ReparentNotify tells whose frame it is.
class Watch {
public:
    explicit Watch(pid_t pid) : pid_(pid) {}

    void Handle(const XEvent& event) {
        switch (event.type) {
            case ReparentNotify:
                if (event.xreparent.parent != g_root)
                    frames_[event.xreparent.parent] = event.xreparent.window;
                break;
            case MapNotify:
                if (event.xmap.event == g_root) Mapped(ClientOf(event.xmap.window));
                break;
            case UnmapNotify:
                if (event.xunmap.event == g_root) Unmapped(ClientOf(event.xunmap.window));
                break;
            case DestroyNotify:
                if (event.xdestroywindow.event == g_root) {
                    Unmapped(ClientOf(event.xdestroywindow.window));
                    frames_.erase(event.xdestroywindow.window);
                }
                break;
            case ClientMessage:
                if (event.xclient.message_type == g_wmProtocols &&
                    static_cast<Atom>(event.xclient.data.l[0]) == g_netWmPing)
                    answered_ = event.xclient.data.l[1];
                break;
            case FocusIn:
                if (event.xfocus.detail != NotifyPointer) focus_ = event.xfocus.window;
                break;
            case FocusOut:
                if (event.xfocus.window == focus_ && event.xfocus.detail != NotifyPointer &&
                    event.xfocus.detail != NotifyInferior)
                    focus_ = None;
                break;
        }
    }

    Window MappedWithTitle(const std::string& title) const {
        for (const auto& [window, name] : mapped_)
            if (name == title) return window;
        return None;
    }
    bool IsMapped(Window window) const { return mapped_.count(window) != 0; }

    // Follows whether this window has the keyboard; with no window manager
    // to hand it over, gives it the keyboard as a manager would.
    void GiveFocus(Window window) {
        XSelectInput(g_display, window, FocusChangeMask);
        if (!g_managed) XSetInputFocus(g_display, window, RevertToParent, CurrentTime);
        Window focus;
        int revert;
        XGetInputFocus(g_display, &focus, &revert);
        if (focus == window) focus_ = window;
    }
    bool Focused(Window window) const { return focus_ == window; }

    // Asks the program to echo a ping (_NET_WM_PING) through the root: it
    // answers once it has handled every event sent to it before.
    long Ping(Window window) {
        XEvent ping{};
        ping.xclient.type = ClientMessage;
        ping.xclient.window = window;
        ping.xclient.message_type = g_wmProtocols;
        ping.xclient.format = 32;
        ping.xclient.data.l[0] = static_cast<long>(g_netWmPing);
        ping.xclient.data.l[1] = ++pings_;
        ping.xclient.data.l[2] = static_cast<long>(window);
        XSendEvent(g_display, window, False, NoEventMask, &ping);
        XFlush(g_display);
        return pings_;
    }
    bool Answered(long ping) const { return answered_ == ping; }

private:
    Window ClientOf(Window window) const {
        auto frame = frames_.find(window);
        return frame == frames_.end() ? window : frame->second;
    }

    void Mapped(Window window) {
        if (WindowPid(window) == pid_) mapped_[window] = WindowTitle(window);
    }
    void Unmapped(Window window) {
        mapped_.erase(window);
        if (window == focus_) focus_ = None;
    }

    pid_t pid_;
    std::map<Window, Window> frames_;       // frame -> the client it holds
    std::map<Window, std::string> mapped_;  // the program's mapped top-levels, by title
    Window focus_ = None;
    long pings_ = 0, answered_ = 0;
};

// Waits for the events that make `done` true, or for the process to end
// (`exited` then set), until the deadline. Returns the time at which the
// deciding event was read.
template <typename Done>
double WaitFor(Watch& watch, int pidfd, bool& exited, Done done) {
    const double deadline = NowMs() + kDeadlineMs;
    for (;;) {
        while (XPending(g_display)) {
            XEvent event;
            XNextEvent(g_display, &event);
            const double at = NowMs();
            watch.Handle(event);
            if (done()) return at;
        }
        if (done()) return NowMs();
        pollfd fds[2] = {{ConnectionNumber(g_display), POLLIN, 0}, {pidfd, POLLIN, 0}};
        const double left = deadline - NowMs();
        if (left <= 0) Fail("timed out waiting for the program");
        if (poll(fds, 2, static_cast<int>(left) + 1) < 0 && errno != EINTR) Fail("poll failed");
        if (fds[1].revents & POLLIN) {
            exited = true;
            // Whatever the display still had to say first.
            while (XPending(g_display)) {
                XEvent event;
                XNextEvent(g_display, &event);
                watch.Handle(event);
            }
            return NowMs();
        }
    }
}

void Key(KeySym symbol) {
    const KeyCode code = XKeysymToKeycode(g_display, symbol);
    XTestFakeKeyEvent(g_display, code, True, CurrentTime);
    XTestFakeKeyEvent(g_display, code, False, CurrentTime);
    XFlush(g_display);
}

// The processor time all the process's threads have had so far: less moved
// than the time by whatever else the machine runs.
double CpuMs(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* folder = opendir(tasks.c_str());
    if (!folder) Fail("cannot read the program's threads");
    double ns = 0;
    while (const dirent* entry = readdir(folder)) {
        if (entry->d_name[0] == '.') continue;
        std::ifstream schedstat(tasks + "/" + entry->d_name + "/schedstat");
        double onCpu = 0;
        if (schedstat >> onCpu) ns += onCpu;
    }
    closedir(folder);
    return ns / 1e6;
}

double PeakMiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    }
    Fail("no VmHWM for the program");
}

Run RunOnce(const char* program) {
    Run run;
    char* argv[] = {const_cast<char*>(program), nullptr};
    const double spawned = NowMs();
    pid_t pid;
    if (posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0) Fail("cannot start the program");
    g_child = pid;
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (pidfd < 0) Fail("pidfd_open failed");
    Watch watch(pid);
    bool exited = false;

    Window launcher = None;
    const double shown = WaitFor(watch, pidfd, exited, [&] {
        return exited || (launcher = watch.MappedWithTitle(kLauncherTitle)) != None;
    });
    if (exited) Fail("the program ended before its launcher was mapped");
    run.startMs = shown - spawned;
    run.startCpuMs = CpuMs(pid);

    for (int i = 0; i < kToolCount; ++i) {
        // The key goes where the keyboard is: wait until that is the launcher.
        watch.GiveFocus(launcher);
        WaitFor(watch, pidfd, exited, [&] { return exited || watch.Focused(launcher); });
        if (exited) Fail("the program ended");
        if (i > 0) {
            // The focus on to the next tool's button, and handled, before the clock starts.
            Key(XK_Tab);
            const long ping = watch.Ping(launcher);
            WaitFor(watch, pidfd, exited, [&] { return exited || watch.Answered(ping); });
            if (exited) Fail("the program ended");
        }
        const double pressed = NowMs();
        Key(XK_space);
        Window tool = None;
        const double opened = WaitFor(watch, pidfd, exited, [&] {
            return exited || (tool = watch.MappedWithTitle(kTools[i])) != None;
        });
        if (exited) Fail("the program ended before a tool was mapped");
        run.toolMs[i] = opened - pressed;
        watch.GiveFocus(tool);
        WaitFor(watch, pidfd, exited, [&] { return exited || watch.Focused(tool); });
        if (exited) Fail("the program ended");
        Key(XK_Escape);
        WaitFor(watch, pidfd, exited, [&] { return exited || !watch.IsMapped(tool); });
        if (exited) Fail("the program ended closing a tool");
    }

    watch.GiveFocus(launcher);
    WaitFor(watch, pidfd, exited, [&] { return exited || watch.Focused(launcher); });
    if (exited) Fail("the program ended");
    run.peakMiB = PeakMiB(pid);
    Key(XK_Escape);
    WaitFor(watch, pidfd, exited, [&] { return exited; });
    int status = 0;
    waitpid(pid, &status, 0);
    g_child = 0;
    close(pidfd);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) Fail("the program did not exit cleanly");
    return run;
}

struct Measure {
    std::string name;
    const char* unit;
    int tool;  // -1: start-up, -2: its processor time, kToolCount: peak memory
    double Of(const Run& run) const {
        if (tool == -1) return run.startMs;
        if (tool == -2) return run.startCpuMs;
        if (tool == kToolCount) return run.peakMiB;
        return run.toolMs[tool];
    }
    std::vector<double> Of(const std::vector<Run>& runs) const {
        std::vector<double> values;
        for (const Run& run : runs) values.push_back(Of(run));
        return values;
    }
};

void PrintList(FILE* out, const std::vector<double>& values) {
    std::fputc('[', out);
    for (size_t i = 0; i < values.size(); ++i) std::fprintf(out, "%s%.3f", i ? ", " : "", values[i]);
    std::fputc(']', out);
}

// All processor time and the part of it the host took (steal), in ticks.
struct CpuTicks {
    unsigned long long total = 0, steal = 0;
};
CpuTicks ReadCpuTicks() {
    std::ifstream stat("/proc/stat");
    std::string cpu;
    CpuTicks ticks;
    stat >> cpu;
    for (int field = 0; field < 8 && stat; ++field) {
        unsigned long long value = 0;
        stat >> value;
        ticks.total += value;
        if (field == 7) ticks.steal = value;
    }
    return ticks;
}

std::string JsonText(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = kDefaultRounds;
    const char* jsonPath = nullptr;
    std::string label = "Native on Xvfb, no window manager";
    std::string names[2] = {"tarrowby", "floor"};
    bool warmUp = true;
    std::vector<const char*> programs;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--names" && i + 1 < argc) {
            const std::string both = argv[++i];
            const size_t comma = both.find(',');
            if (comma == std::string::npos) Fail("--names takes two names, with a comma between");
            names[0] = both.substr(0, comma);
            names[1] = both.substr(comma + 1);
        } else if (word == "--no-warm-up") {
            warmUp = false;
        } else if (word == "--rounds" && i + 1 < argc) {
            rounds = std::atoi(argv[++i]);
        } else if (word == "--json" && i + 1 < argc) {
            jsonPath = argv[++i];
        } else if (word == "--label" && i + 1 < argc) {
            label = argv[++i];
        } else {
            programs.push_back(argv[i]);
        }
    }
    if (programs.size() != 2 || rounds < 1) {
        std::fprintf(stderr,
                     "usage: native_bench [--rounds N] [--json out.json] [--label text] [--names A,B] "
                     "[--no-warm-up] <tarrowby> <floor>\n");
        return 2;
    }
    g_display = XOpenDisplay(nullptr);
    if (!g_display) Fail("cannot open the display");
    int event, error, major, minor;
    if (!XTestQueryExtension(g_display, &event, &error, &major, &minor)) Fail("the display has no XTest");
    XSetErrorHandler(IgnoreErrors);
    g_root = DefaultRootWindow(g_display);
    g_netWmPid = XInternAtom(g_display, "_NET_WM_PID", False);
    g_netWmName = XInternAtom(g_display, "_NET_WM_NAME", False);
    g_utf8 = XInternAtom(g_display, "UTF8_STRING", False);
    g_wmProtocols = XInternAtom(g_display, "WM_PROTOCOLS", False);
    g_netWmPing = XInternAtom(g_display, "_NET_WM_PING", False);
    // Top-levels come and go in the root's substructure; pings come back to
    // its structure (Qt sends them there).
    XSelectInput(g_display, g_root, SubstructureNotifyMask | StructureNotifyMask);
    g_managed = XInternAtom(g_display, "_NET_SUPPORTING_WM_CHECK", True) != None && [] {
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        XGetWindowProperty(g_display, g_root, XInternAtom(g_display, "_NET_SUPPORTING_WM_CHECK", False), 0, 1,
                           False, XA_WINDOW, &type, &format, &count, &after, &data);
        const bool found = data && count == 1;
        if (data) XFree(data);
        return found;
    }();
    // The pointer out of the way, in the screen's far corner, over no window.
    XTestFakeMotionEvent(g_display, -1, DisplayWidth(g_display, DefaultScreen(g_display)) - 1,
                         DisplayHeight(g_display, DefaultScreen(g_display)) - 1, CurrentTime);
    XSync(g_display, False);

    // One run of each first, untimed, so that neither pays for a cold cache.
    if (warmUp)
        for (const char* program : programs) RunOnce(program);

    const CpuTicks before = ReadCpuTicks();
    std::vector<Run> runs[2];
    std::fprintf(stderr, "native_bench: %d rounds ", rounds);
    for (int round = 0; round < rounds; ++round) {
        std::fputc('.', stderr);
        // Swapped every round: each program starts first as often, and each
        // follows the other, and itself, as often, counting from a round's
        // last run to the next round's first.
        for (int place = 0; place < 2; ++place) {
            const int program = (place + round) % 2;
            runs[program].push_back(RunOnce(programs[program]));
        }
    }
    std::fprintf(stderr, "\n");
    const CpuTicks after = ReadCpuTicks();
    const double steal = after.total > before.total
                             ? 100.0 * static_cast<double>(after.steal - before.steal) /
                                   static_cast<double>(after.total - before.total)
                             : 0.0;

    std::vector<Measure> measures;
    measures.push_back({"start-up", "ms", -1});
    measures.push_back({"start-up, processor time", "ms", -2});
    for (int i = 0; i < kToolCount; ++i) measures.push_back({kTools[i], "ms", i});
    measures.push_back({"peak resident set", "MiB", kToolCount});

    std::printf(
        "%s, median of %d runs each, %s and %s taking turns;\n"
        "ratio: the median of the rounds' %s/%s ratios, with its middle half\n\n%-30s %12s %12s %17s\n",
        label.c_str(), rounds, names[0].c_str(), names[1].c_str(), names[0].c_str(), names[1].c_str(),
        "measure", names[0].c_str(), names[1].c_str(), "ratio");
    for (const Measure& measure : measures) {
        const std::string name = measure.name + " (" + measure.unit + ")";
        const std::vector<double> ours = measure.Of(runs[0]), floor = measure.Of(runs[1]);
        const Ratio ratio = RoundRatios(ours, floor);
        std::printf("%-30s %12.1f %12.1f %5.2f (%4.2f-%4.2f)\n", name.c_str(), Median(ours), Median(floor),
                    ratio.median, ratio.low, ratio.high);
    }
    std::printf("\nThe host took %.1f %% of the processor time during the rounds (steal)\n", steal);

    if (!jsonPath) return 0;
    FILE* out = std::fopen(jsonPath, "w");
    if (!out) Fail("cannot write the JSON file");
    std::fprintf(
        out,
        "{\n  \"display\": %s,\n  \"programs\": {\"tarrowby\": %s, \"floor\": %s},\n  \"rounds\": %d,\n"
        "  \"steal_percent\": %.2f,\n  \"measures\": [\n",
        JsonText(label).c_str(), JsonText(programs[0]).c_str(), JsonText(programs[1]).c_str(), rounds, steal);
    for (size_t m = 0; m < measures.size(); ++m) {
        const Measure& measure = measures[m];
        const std::vector<double> ours = measure.Of(runs[0]), floor = measure.Of(runs[1]);
        const Ratio ratio = RoundRatios(ours, floor);
        std::fprintf(out,
                     "    {\"name\": %s, \"unit\": \"%s\", \"tarrowby\": %.3f, \"floor\": %.3f,\n"
                     "     \"ratio\": %.3f, \"ratio_quartiles\": [%.3f, %.3f],\n     \"tarrowby_runs\": ",
                     JsonText(measure.name).c_str(), measure.unit, Median(ours), Median(floor), ratio.median,
                     ratio.low, ratio.high);
        PrintList(out, ours);
        std::fprintf(out, ",\n     \"floor_runs\": ");
        PrintList(out, floor);
        std::fprintf(out, "}%s\n", m + 1 < measures.size() ? "," : "");
    }
    std::fprintf(out, "  ]\n}\n");
    std::fclose(out);
    return 0;
}
