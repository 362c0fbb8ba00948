#include "driving.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

void Print(const std::string& source, const std::string& figure, double value) {
    std::printf("%s\t%s\t%.9g\n", source.c_str(), figure.c_str(), value);
    std::fflush(stdout);
}

void Print(const Program& program, const std::string& figure, double value) {
    Print(program.name, figure, value);
}

void Progress(const std::string& text) {
    static const double start = Now();
    std::fprintf(stderr, "driver: %4.0f s: %s\n", Now() - start, text.c_str());
    std::fflush(stderr);
}

POINT Pointer() {
    POINT at{};
    GetCursorPos(&at);
    return at;
}

void WaitForQuiet() {
    const double until = Now() + 1;
    while (MachineBusyFraction(500) > 0.05) {
        if (Now() > until) {
            Progress("the machine stays busy; measuring anyway");
            return;
        }
    }
}

void PlacePointer(POINT at) {
    const double until = Now() + 5;
    while (Now() < until) {
        SetCursorPos(at.x, at.y);
        Sleep(20);
        const POINT now = Pointer();
        if (now.x == at.x && now.y == at.y) {
            Sleep(20);
            const POINT later = Pointer();
            if (later.x == at.x && later.y == at.y) {
                return;
            }
        }
    }
    throw std::runtime_error("the pointer does not stay where it is put");
}

INPUT Key(WORD virtualKey, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

void Send(const std::vector<INPUT>& inputs) {
    if (SendInput(static_cast<UINT>(inputs.size()), const_cast<INPUT*>(inputs.data()), sizeof(INPUT)) !=
        inputs.size()) {
        throw std::runtime_error("SendInput refused the input");
    }
}

void Press(WORD virtualKey) { Send({Key(virtualKey, false), Key(virtualKey, true)}); }

std::vector<INPUT> Presses(const Keystroke& key, int count) {
    std::vector<INPUT> inputs;
    if (key.control) {
        inputs.push_back(Key(VK_CONTROL, false));
    }
    for (int i = 0; i < count; ++i) {
        inputs.push_back(Key(key.virtualKey, false));
        inputs.push_back(Key(key.virtualKey, true));
    }
    if (key.control) {
        inputs.push_back(Key(VK_CONTROL, true));
    }
    return inputs;
}

double Percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const auto index =
        static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size()))) - 1;
    return values[std::min(index, values.size() - 1)];
}

bool WaitForPointerX(int x) {
    int last = Pointer().x;
    double still = Now();
    return WaitFor(
        [&] {
            const int now = Pointer().x;
            if (now != last) {
                last = now;
                still = Now();
            }
            return now == x || Now() - still > 0.5;
        },
        30) &&
           Pointer().x == x;
}

int PressBurst(POINT home, const MoveSeries& series) {
    const int goal = home.x - series.burst * series.pixels;
    PlacePointer(home);
    Send(Presses(series.key, series.burst));
    return WaitForPointerX(goal) ? 0 : (Pointer().x - goal) / series.pixels;
}

int PressMoves(POINT home, const MoveSeries& series) {
    int lost = 0;
    for (int sent = 0; sent < series.presses; sent += series.burst) {
        lost += PressBurst(home, series);
    }
    return lost;
}

void CheckMove(const Program& program, POINT home, const MoveSeries& series) {
    PlacePointer(home);
    Send(Presses(series.key, 1));
    if (!WaitFor([&] { return Pointer().x == home.x - series.pixels; }, 2)) {
        throw std::runtime_error(program.name + " does not move the pointer " + std::to_string(series.pixels) +
                                 " pixels left per " + series.key.name);
    }
}

HWND ProcessWindow(const Target& target, const char* windowClass) {
    DWORD process = 0;
    GetWindowThreadProcessId(target.Window(), &process);
    for (HWND window = FindWindowExA(nullptr, nullptr, windowClass, nullptr); window;
         window = FindWindowExA(nullptr, window, windowClass, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == process) {
            return window;
        }
    }
    return nullptr;
}

Cost::Cost(const Target& target) : target_(target), cpu_(target.CpuSeconds()), kernel_(target.Kernel()) {}

Spent Cost::SoFar() const {
    const KernelCounters kernel = target_.Kernel();
    return {target_.CpuSeconds() - cpu_, kernel.cpuSeconds - kernel_.cpuSeconds,
            kernel.contextSwitches - kernel_.contextSwitches};
}

Spent& Spent::operator+=(const Spent& more) {
    cpuSeconds += more.cpuSeconds;
    kernelCpuSeconds += more.kernelCpuSeconds;
    switches += more.switches;
    return *this;
}

void PrintPer(const Program& program, const std::string& figure, const Spent& spent, double count, double scale) {
    Print(program, figure + "_cpu", spent.cpuSeconds / count * scale);
    Print(program, figure + "_kernel_cpu", spent.kernelCpuSeconds / count * scale);
    Print(program, figure + "_switches", spent.switches / count);
}

void PrintFootprint(const Program& program, const Footprint& footprint, const std::string& when) {
    Print(program, "private_bytes_" + when, footprint.privateBytes);
    Print(program, "working_set_bytes_" + when, footprint.workingSetBytes);
    Print(program, "gdi_objects_" + when, footprint.gdiObjects);
    Print(program, "user_objects_" + when, footprint.userObjects);
}

void PrintGrowth(const Program& program, const Footprint& now, const Footprint& start, const std::string& when) {
    Print(program, "private_growth_" + when, now.privateBytes - start.privateBytes);
    Print(program, "working_set_growth_" + when, now.workingSetBytes - start.workingSetBytes);
    Print(program, "gdi_growth_" + when, now.gdiObjects - start.gdiObjects);
    Print(program, "user_growth_" + when, now.userObjects - start.userObjects);
}

void MeasureIdle(const Program& program, const Target& target, int seconds, const std::string& figure) {
    Sleep(1000);
    WaitForQuiet();
    const Cost cost(target);
    Sleep(static_cast<DWORD>(seconds) * 1000);
    cost.PrintPer(program, figure, 1, 1e3);
    Print(program, "idle_seconds", seconds);
    Print(program, "threads", target.Kernel().threads);
}
