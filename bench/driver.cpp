// Puts Tarnwick and the floor programs through the same keypad work, one after the other
// and never side by side (their hotkeys are system-wide), and prints each figure as a line
//   <program> TAB <figure> TAB <value>
// for bench/report.py. Progress goes to standard error.
//
// Usage: driver.exe KIND=PROGRAM.exe... [--rounds N] [--starts N] [--idle SECONDS] [--tray]
//                   [--grid-rounds N] [--letter-rounds N]
//   KIND is tarnwick, floor or dialog_floor; a kind given twice is a second, identical
//   program (named KIND_2), which shows how far apart two runs of the same program land.
//   When Tarnwick is among them, the dialog floor gets a tray icon if Tarnwick has one;
//   otherwise --tray gives it one. --grid-rounds is how many openings of the keypad grid
//   its growth is counted over (0: not at all); the grid's measures are in grid.cpp.
//   Tarnwick alone also runs a copy with its letter keypad on (letters.cpp, named
//   tarnwick_letters); --letter-rounds is how many rounds of the start/stop key on and off
//   the growth of both copies is counted over (0: not at all).

#include "counters.h"
#include "driving.h"
#include "grid.h"
#include "letters.h"
#include "resource.h"
#include "target.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kBurst = 100;            // presses per SendInput call
constexpr int kCountedPresses = 2000;
constexpr int kLatencyPresses = 1000;
constexpr double kHeldSeconds = 5;
constexpr int kFloodPresses = 500;     // also the pixels the pointer's track has room for
constexpr int kFloods = 5;
constexpr int kShowHideCycles = 100;
constexpr int kGridOpenings = 30;      // per round, timed
constexpr int kButtons[] = {IDC_MODIFY, IDC_DONATE, IDC_MINIMIZE, IDC_EXIT};
// Tarnwick's extended keypad on, as the floors' keys always are; for its letters' copy, the
// letter keypad as well.
constexpr char kKeypadOptions[] = "[Keypad]\r\nExtended=1\r\n";
constexpr char kLetterOptions[] = "[Keypad]\r\nExtended=1\r\nLetters=1\r\n";

static_assert(kMove.burst * kMove.pixels <= kFloodPresses &&
              kTenStepMove.burst * kTenStepMove.pixels <= kFloodPresses);

struct Options {
    std::vector<std::pair<std::string, std::string>> programs;  // kind, executable
    int rounds = 5;
    int starts = 5;
    int idleSeconds = 30;
    bool tray = false;
    int gridRounds = 1000;
    int letterRounds = 1000;
};

// Where the programs' work happens. The moves run left along the middle of the screen, on
// the bare desktop, well below Tarnwick's dialog (which opens at the top left): over a window
// whose owner is not reading its messages at that moment, Wine loses moves, and the desktop's
// owner reads its own at once. The clicks and wheel notches land on the pad, the driver's own
// window, which counts them. The pad is also the active window throughout, as the program a
// user works in would be, and a thread of its own keeps reading its messages, as that program
// would.
class Stage {
public:
    Stage() {
        const int width = GetSystemMetrics(SM_CXSCREEN);
        const int height = GetSystemMetrics(SM_CYSCREEN);
        home_ = {width - 20, height / 2};
        pad_ = {width / 20, height * 3 / 5, width * 3 / 10, height * 4 / 5};
        thread_ = std::thread([this] { Run(); });
        if (!WaitFor([this] { return started_.load(); }, 10)) {
            thread_.detach();
            throw std::runtime_error("the driver's window did not come up");
        }
        if (!window_) {
            thread_.join();
            throw std::runtime_error("the driver's window could not be made");
        }
    }
    ~Stage() {
        PostMessageA(window_, WM_CLOSE, 0, 0);
        thread_.join();
    }
    Stage(const Stage&) = delete;
    Stage& operator=(const Stage&) = delete;

    // Where every series of left moves starts, with room for kFloodPresses.
    POINT Home() const { return home_; }
    RECT Track() const { return {home_.x - kFloodPresses - 1, home_.y, home_.x + 1, home_.y + 1}; }
    POINT Pad() const { return {(pad_.left + pad_.right) / 2, (pad_.top + pad_.bottom) / 2}; }
    RECT PadArea() const { return pad_; }
    int Clicks() const { return clicks_; }
    int Notches() const { return wheel_ / WHEEL_DELTA; }  // wheel up, less wheel down

    // Takes the focus back from a program that has just started.
    void Activate() const {
        SetForegroundWindow(window_);
        if (!WaitFor([this] { return GetForegroundWindow() == window_; }, 5)) {
            throw std::runtime_error("the driver's window cannot become the active window");
        }
    }

private:
    void Run() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = "TarnwickBenchPad";
        RegisterClassA(&windowClass);
        const HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "TarnwickBenchPad", "",
                                            WS_POPUP | WS_VISIBLE, pad_.left, pad_.top, pad_.right - pad_.left,
                                            pad_.bottom - pad_.top, nullptr, nullptr, GetModuleHandleA(nullptr),
                                            this);
        window_ = window;
        started_ = true;
        if (!window) {
            return;
        }
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            DispatchMessageA(&message);
        }
    }

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* stage = reinterpret_cast<Stage*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        switch (message) {
            case WM_NCCREATE:
                SetWindowLongPtrA(window, GWLP_USERDATA,
                                  reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
                break;
            case WM_LBUTTONUP: ++stage->clicks_; return 0;
            case WM_MOUSEWHEEL: stage->wheel_ += GET_WHEEL_DELTA_WPARAM(wParam); return 0;
            case WM_DESTROY: PostQuitMessage(0); return 0;
            default: break;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    POINT home_;
    RECT pad_;
    std::atomic<int> clicks_{0};
    std::atomic<int> wheel_{0};  // the sum of the wheel deltas
    std::atomic<HWND> window_{nullptr};
    std::atomic<bool> started_{false};
    std::thread thread_;
};

// A key whose every press the pad counts as it arrives: `presses` of it in bursts of kBurst,
// the pointer on the pad. Its figures are named <figure>_us_cpu, <figure>_lost and so on.
struct CountedSeries {
    const char* figure;
    Keystroke key;
    int (Stage::*arrived)() const;
    int presses;
};

constexpr CountedSeries kClick{"click", {"keypad 1", VK_NUMPAD1, false}, &Stage::Clicks, kCountedPresses};
constexpr CountedSeries kWheel{"wheel", {"keypad 7", VK_NUMPAD7, false}, &Stage::Notches, kCountedPresses};

void MeasureMoves(const Program& program, const Target& target, const Stage& stage, const MoveSeries& series) {
    WaitForQuiet();
    const Cost cost(target);
    const int lost = PressMoves(stage.Home(), series);
    cost.PrintPer(program, series.figure + std::string("_us"), series.presses, 1e6);
    Print(program, series.figure + std::string("_lost"), lost);
}

// A counted key in bursts over the driver's window, which counts what arrives.
void MeasureCounted(const Program& program, const Target& target, const Stage& stage, const CountedSeries& series) {
    const auto arrived = [&] { return (stage.*series.arrived)(); };
    WaitForQuiet();
    PlacePointer(stage.Pad());
    const std::vector<INPUT> burst = Presses(series.key, kBurst);
    const int before = arrived();
    const Cost cost(target);
    for (int sent = kBurst; sent <= series.presses; sent += kBurst) {
        Send(burst);
        WaitFor([&] { return arrived() - before >= sent; }, 10);
    }
    cost.PrintPer(program, series.figure + std::string("_us"), series.presses, 1e6);
    Print(program, series.figure + std::string("_lost"), series.presses - (arrived() - before));
}

// One press at a time from rest, timed from SendInput until GetCursorPos shows the move; the
// figures are named <figure>_median_us and so on. Every GetCursorPos is a request to the Wine
// server, which the program needs too, so the pointer is read every 25 microseconds rather
// than as fast as possible.
void MeasureLatency(const Program& program, const Stage& stage, const MoveSeries& series, const std::string& figure) {
    const std::vector<INPUT> press = Presses(series.key, 1);
    std::vector<double> latencies;
    int lost = 0;
    WaitForQuiet();
    while (static_cast<int>(latencies.size()) + lost < kLatencyPresses) {
        if ((static_cast<int>(latencies.size()) + lost) % series.burst == 0) {
            PlacePointer(stage.Home());
        }
        const int goal = Pointer().x - series.pixels;
        Sleep(2);
        const double sent = Now();
        Send(press);
        for (double now = sent; Pointer().x != goal && now < sent + 1;) {
            const double next = now + 25e-6;
            while ((now = Now()) < next) {
            }
        }
        if (Pointer().x == goal) {
            latencies.push_back((Now() - sent) * 1e6);
        } else {
            ++lost;
            PlacePointer(stage.Home());
        }
    }
    Print(program, figure + "_median_us", Percentile(latencies, 0.5));
    Print(program, figure + "_p99_us", Percentile(latencies, 0.99));
    Print(program, figure + "_lost", lost);
}

// Keypad 4 held: a key-down, then repeats at the desktop's own typematic delay and rate,
// then the key-up after kHeldSeconds. Every WM_HOTKEY handled moves the pointer a pixel.
void MeasureHeldKey(const Program& program, const Stage& stage) {
    int delayCode = 1;
    DWORD speedCode = 31;
    SystemParametersInfoA(SPI_GETKEYBOARDDELAY, 0, &delayCode, 0);
    SystemParametersInfoA(SPI_GETKEYBOARDSPEED, 0, &speedCode, 0);
    const double delay = 0.25 * (delayCode + 1);
    const double period = 1 / (2.5 + speedCode * 27.5 / 31);  // 2.5 to 30 repeats a second
    Print("driver", "repeat_delay_ms", delay * 1e3);
    Print("driver", "repeats_per_s", 1 / period);

    WaitForQuiet();
    PlacePointer(stage.Home());
    const std::vector<INPUT> down{Key(VK_NUMPAD4, false)};
    const double start = Now();
    int sent = 0;
    for (;;) {
        const double next = sent == 0 ? start : start + delay + (sent - 1) * period;
        if (next >= start + kHeldSeconds) {
            break;
        }
        WaitFor([&] { return Now() >= next; }, kHeldSeconds);
        Send(down);
        ++sent;
    }
    WaitFor([&] { return Now() >= start + kHeldSeconds; }, kHeldSeconds);
    Send({Key(VK_NUMPAD4, true)});
    WaitFor([&] { return Pointer().x == stage.Home().x - sent; }, 2);
    const int travel = stage.Home().x - Pointer().x;
    Print(program, "held_sent", sent);
    Print(program, "held_rate", travel / kHeldSeconds);
    Print(program, "held_lost", sent - travel);
}

// As many key repeats as SendInput takes at once: how fast the program drains them. The
// median of a few floods, each a fraction of a second.
void MeasureFlood(const Program& program, const Stage& stage) {
    std::vector<INPUT> repeats(kFloodPresses, Key(VK_NUMPAD4, false));
    repeats.push_back(Key(VK_NUMPAD4, true));
    const int goal = stage.Home().x - kFloodPresses;
    std::vector<double> rates;
    int lost = 0;
    for (int flood = 0; flood < kFloods; ++flood) {
        WaitForQuiet();
        PlacePointer(stage.Home());
        const double start = Now();
        Send(repeats);
        const bool all = WaitForPointerX(goal);
        const double seconds = Now() - start;
        const int handled = stage.Home().x - Pointer().x;
        rates.push_back(handled / seconds);
        lost += all ? 0 : kFloodPresses - handled;
    }
    Print(program, "flood_rate", Percentile(rates, 0.5));
    Print(program, "flood_lost", lost);
}

// Lets the program handle what has been sent to it so far, painting included.
void Settle(const Target& target, DWORD milliseconds) {
    DWORD_PTR ignored;
    SendMessageTimeoutA(target.Window(), WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored);
    Sleep(milliseconds);
}

// Hides and shows the dialog from outside the program, then passes the pointer over each of
// its buttons in turn and off the dialog again, and has the whole dialog repainted: what a
// user's visits to the dialog do to it, many times over.
void CycleShowHide(const Target& target, const Stage& stage, int cycles) {
    const HWND dialog = target.Window();
    for (int i = 0; i < cycles; ++i) {
        ShowWindow(dialog, SW_HIDE);
        ShowWindow(dialog, SW_SHOW);
        Settle(target, 30);
        for (const int id : kButtons) {
            RECT button;
            if (GetWindowRect(GetDlgItem(dialog, id), &button)) {
                SetCursorPos((button.left + button.right) / 2, (button.top + button.bottom) / 2);
                Settle(target, 5);
            }
        }
        SetCursorPos(stage.Home().x, stage.Home().y);
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        Settle(target, 10);
    }
}

// The program's own way to its tray: its Minimize button, as the user would click it.
bool HideToTray(const Target& target) {
    const HWND button = GetDlgItem(target.Window(), IDC_MINIMIZE);
    PostMessageA(target.Window(), WM_COMMAND, MAKEWPARAM(IDC_MINIMIZE, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return WaitFor([&] { return !IsWindowVisible(target.Window()); }, 5);
}

// Starts `program` and hands the focus back to the driver's window, as a user would go on
// working in another program.
// Under Wine a program's thread reads NumLock as off until NumLock changes while it runs, so
// Tarnwick says at every start that NumLock is off, in a balloon that Wine shows two seconds
// later for ten; its going makes whatever it covered repaint. Taken down before it shows, it
// weighs on no figure.
void TakeDownNotice(const Target& target) {
    NOTIFYICONDATAA balloon{};
    balloon.cbSize = NOTIFYICONDATAA_V2_SIZE;
    balloon.hWnd = target.Window();
    balloon.uID = 128;
    balloon.uFlags = NIF_INFO;
    Shell_NotifyIconA(NIM_MODIFY, &balloon);
}

std::unique_ptr<Target> Launch(const Program& program, const Stage& stage) {
    WaitForQuiet();
    auto target = std::make_unique<Target>(program, program.tray);
    stage.Activate();
    Sleep(1000);
    if (program.name.rfind("tarnwick", 0) == 0) {
        TakeDownNotice(*target);
    }
    return target;
}

// Launches `program` and prints how it started and what it holds after start-up.
std::unique_ptr<Target> Start(const Program& program, const Stage& stage) {
    auto target = Launch(program, stage);
    Print(program, "startup_ms", target->StartupSeconds() * 1e3);
    Print(program, "startup_cpu_ms", target->StartupCpuSeconds() * 1e3);
    if (program.tray && target->TrayAddedSeconds()) {
        Print(program, "tray_added_ms", *target->TrayAddedSeconds() * 1e3);
    }
    PrintFootprint(program, target->Holdings(), "start");
    return target;
}

// Every program must move the pointer exactly as far as the driver expects and deliver each
// counted press to the pad, or the figures that count pixels and arrivals would be wrong.
void CheckKeys(const Program& program, const Stage& stage) {
    for (const MoveSeries& series : {kMove, kTenStepMove}) {
        CheckMove(program, stage.Home(), series);
    }
    PlacePointer(stage.Pad());
    for (const CountedSeries& series : {kClick, kWheel}) {
        const int before = (stage.*series.arrived)();
        Send(Presses(series.key, 1));
        if (!WaitFor([&] { return (stage.*series.arrived)() == before + 1; }, 2)) {
            throw std::runtime_error(program.name + "'s " + series.key.name + " does not reach the driver's window");
        }
    }
}

// `cycles`: whether to put the dialog through the show, hover and repaint cycles and the grid
// through `gridRounds` openings, which only the footprint's growth needs, and once.
void Work(const Program& program, const Stage& stage, bool cycles, int gridRounds) {
    Progress("working " + program.name);
    const auto target = Start(program, stage);
    RECT window, overlap;
    const RECT track = stage.Track();
    if (program.windowShown && GetWindowRect(target->Window(), &window) && IntersectRect(&overlap, &window, &track)) {
        throw std::runtime_error(program.name + "'s window lies on the pointer's track");
    }
    CheckKeys(program, stage);
    MeasureMoves(program, *target, stage, kMove);
    // Growth is counted over as many presses again: in their first thousands a program showing
    // a dialog makes 16 to 20 KiB once under Wine (the dialog floor as much as Tarnwick), and
    // nothing after them however many follow.
    Sleep(1000);
    const Footprint start = target->Holdings();
    PressMoves(stage.Home(), kMove);
    Sleep(1000);
    const Footprint presses = target->Holdings();
    PrintFootprint(program, presses, "presses");
    PrintGrowth(program, presses, start, "presses");
    MeasureMoves(program, *target, stage, kTenStepMove);
    MeasureCounted(program, *target, stage, kClick);
    MeasureCounted(program, *target, stage, kWheel);
    MeasureLatency(program, stage, kMove, "latency");
    MeasureLatency(program, stage, kTenStepMove, "ten_step_latency");
    MeasureHeldKey(program, stage);
    MeasureFlood(program, stage);
    // The grid's growth is judged against the dialog floor's, so the bare floor is spared it.
    MeasureGrid(program, *target, stage.Home(), kGridOpenings, program.windowShown && cycles ? gridRounds : 0);
    // Only Tarnwick has a loupe; its growth is judged against the dialog floor's grid.
    if (program.name == "tarnwick") {
        MeasureLoupe(program, *target, stage.Home(), kGridOpenings, cycles ? gridRounds : 0);
    }
    if (program.windowShown && cycles) {
        // The first cycle makes what the dialog makes once, on its first hover or repaint
        // (Tarnwick's buttons make their tooltips then); growth is counted after it.
        const Footprint before = target->Holdings();
        CycleShowHide(*target, stage, 1);
        Sleep(1000);
        const Footprint first = target->Holdings();
        PrintGrowth(program, first, before, "first_cycle");
        // Memory is counted in pages, and the heap's first growth can come a few cycles
        // late; a leak also grows over the second half of the cycles.
        CycleShowHide(*target, stage, kShowHideCycles / 2 - 1);
        Sleep(1000);
        const Footprint middle = target->Holdings();
        CycleShowHide(*target, stage, kShowHideCycles / 2);
        Sleep(1000);
        const Footprint after = target->Holdings();
        PrintFootprint(program, after, "cycles");
        PrintGrowth(program, after, first, "cycles");
        PrintGrowth(program, after, middle, "second_half");
    }
}

// The letter keypad's measures, on fresh copies of Tarnwick: as the rest of the run has it,
// then with the letter keypad on as well. Neither start is counted among the start-up rows.
void WorkLetters(const Program& tarnwick, const Stage& stage, const Options& options) {
    Progress("working tarnwick's start/stop key");
    MeasureKeypadTaking(tarnwick, *Launch(tarnwick, stage), options.letterRounds);
    Program letters = tarnwick;
    letters.name = "tarnwick_letters";
    for (ProgramFile& file : letters.files) {
        if (file.name == "tarnwick.ini") {
            file.bytes = kLetterOptions;
        }
    }
    Progress("working " + letters.name);
    MeasureLetters(letters, *Launch(letters, stage), {stage.Home(), stage.Track(), stage.PadArea()}, options.rounds,
                   options.letterRounds, options.idleSeconds);
}

double FileBytes(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        throw std::runtime_error("cannot read " + path);
    }
    return static_cast<double>(data.nFileSizeLow) + static_cast<double>(data.nFileSizeHigh) * 4294967296.0;
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const std::size_t equals = argument.find('=');
        if (i + 1 < argc && (argument == "--rounds" || argument == "--starts" || argument == "--idle" ||
                             argument == "--grid-rounds" || argument == "--letter-rounds")) {
            const int value = std::atoi(argv[++i]);
            (argument == "--rounds"        ? options.rounds
             : argument == "--starts"      ? options.starts
             : argument == "--idle"        ? options.idleSeconds
             : argument == "--grid-rounds" ? options.gridRounds
                                           : options.letterRounds) = value;
        } else if (argument == "--tray") {
            options.tray = true;
        } else if (equals != std::string::npos && argument.compare(0, 2, "--") != 0) {
            options.programs.emplace_back(argument.substr(0, equals), argument.substr(equals + 1));
        } else {
            throw std::runtime_error("unknown argument " + argument);
        }
    }
    if (options.programs.size() < 2) {
        throw std::runtime_error(
            "usage: driver.exe KIND=PROGRAM.exe... [--rounds N] [--starts N] [--idle SECONDS] [--tray] "
            "[--grid-rounds N] [--letter-rounds N]");
    }
    return options;
}

// How the driver starts, finds and ends each kind of program, under the name the results
// give it.
Program MakeProgram(const std::string& kind, const std::string& executable, const std::string& name) {
    const WPARAM exit = MAKEWPARAM(IDC_EXIT, BN_CLICKED);
    if (kind == "tarnwick") {
        // Tarnwick's first speed (1 pixel), F9 without modifiers as the start/stop key, no
        // start-up options; its extended keypad switched on, as the floors' keys always are.
        std::string settings(16, '\0');
        settings[4] = static_cast<char>(VK_F9);
        return {name,
                executable,
                "",
                "#32770",
                true,
                {{"para.dll", settings}, {"tarnwick.ini", kKeypadOptions}},
                WM_COMMAND,
                exit,
                IDC_EXIT};
    }
    if (kind == "floor") {
        return {name, executable, "", "TarnwickFloor", false, {}, WM_CLOSE, 0, 0};
    }
    if (kind == "dialog_floor") {
        return {name, executable, "", "#32770", true, {}, WM_COMMAND, exit, IDC_EXIT};
    }
    throw std::runtime_error("unknown kind of program " + kind);
}

// The dialog floor gets a tray icon of its own when Tarnwick has one, so that the two
// start and hide alike; an unmeasured start of Tarnwick tells.
void MatchTray(std::vector<Program>& programs, const Stage& stage, bool tray) {
    for (const Program& program : programs) {
        if (program.name == "tarnwick") {
            Progress("does tarnwick add a tray icon?");
            WaitForQuiet();
            tray = Target(program, true).TrayAddedSeconds().has_value();
            stage.Activate();
        }
    }
    Print("driver", "tray", tray);
    for (Program& program : programs) {
        if (program.name == "tarnwick" || (tray && program.name.rfind("dialog_floor", 0) == 0)) {
            program.tray = tray;
        }
        if (program.tray && program.name != "tarnwick") {
            program.arguments = "/tray";
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const Options options = ParseOptions(argc, argv);
        std::vector<Program> programs;
        for (const auto& [kind, executable] : options.programs) {
            const auto twins = std::count_if(programs.begin(), programs.end(),
                                             [&prefix = kind](const Program& p) { return p.name.rfind(prefix, 0) == 0; });
            programs.push_back(MakeProgram(kind, executable, twins ? kind + "_" + std::to_string(twins + 1) : kind));
        }
        const std::size_t count = programs.size();

        Stage stage;
        Print("driver", "screen_width", GetSystemMetrics(SM_CXSCREEN));
        Print("driver", "screen_height", GetSystemMetrics(SM_CYSCREEN));
        for (const Program& program : programs) {
            Print(program, "exe_bytes", FileBytes(program.executable));
        }
        if (std::any_of(programs.begin(), programs.end(), [](const Program& p) { return p.name == "tarnwick"; })) {
            MeasureReach();
        }
        MatchTray(programs, stage, options.tray);
        // Each series rotates which program goes first, so drift over the run falls on all.
        for (int i = 0; i < options.starts; ++i) {
            for (std::size_t j = 0; j < count; ++j) {
                const Program& program = programs[(static_cast<std::size_t>(i) + j) % count];
                Progress("starting " + program.name);
                Start(program, stage);
            }
        }
        for (int round = 0; round < options.rounds; ++round) {
            for (std::size_t j = 0; j < count; ++j) {
                Work(programs[(static_cast<std::size_t>(round) + j) % count], stage, round == 0, options.gridRounds);
            }
        }
        for (const Program& program : programs) {
            if (program.name == "tarnwick") {
                WorkLetters(program, stage, options);
            }
        }
        if (options.idleSeconds > 0) {
            for (const Program& program : programs) {
                Progress("idling " + program.name + " for " + std::to_string(options.idleSeconds) +
                         " s with its keypad grid open (and its loupe showing, if it has one), then as long"
                         " with it closed again");
                const auto target = Start(program, stage);
                MeasureGridIdle(program, *target, stage.Home(), options.idleSeconds);
                if (program.name == "tarnwick") {
                    MeasureLoupeIdle(program, *target, stage.Home(), options.idleSeconds);
                }
                MeasureIdle(program, *target, options.idleSeconds, "idle_ms");
            }
            for (const Program& program : programs) {
                if (program.tray) {
                    Progress("idling " + program.name + " hidden to the tray");
                    const auto target = Start(program, stage);
                    PlacePointer(stage.Home());
                    if (!HideToTray(*target)) {
                        throw std::runtime_error(program.name + " does not hide to the tray");
                    }
                    MeasureIdle(program, *target, options.idleSeconds, "hidden_idle_ms");
                }
            }
        }
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "driver: %s\n", error.what());
        return 1;
    }
}
