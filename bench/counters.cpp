#include "counters.h"

#include "platform/GdiObjects.h"
#include "platform/Handle.h"

#include <psapi.h>

#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

// Wine maps Z: to the Linux root, so /proc is readable as Z:\proc.
const std::string kProc = "Z:\\proc\\";

double Seconds(const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / 1e7;
}

// Files under /proc report no size, so they are read until the end.
std::string ReadWhole(const std::string& path) {
    Handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr));
    std::string text;
    if (!file) {
        return text;
    }
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        text.append(buffer, read);
    }
    return text;
}

template <typename Visit>
void ForEachNumericEntry(const std::string& directory, Visit visit) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((directory + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        char* end = nullptr;
        const long number = std::strtol(found.cFileName, &end, 10);
        if (end != found.cFileName && *end == '\0') {
            visit(static_cast<int>(number));
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

struct WindowCount {
    DWORD processId;
    double count;
};

BOOL CALLBACK CountWindow(HWND window, LPARAM parameter) {
    auto& windows = *reinterpret_cast<WindowCount*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == windows.processId) {
        windows.count += 1;
    }
    return TRUE;
}

// The same fallback for USER objects sees only windows (top-level, child and message-only);
// menus, icons and cursors of another process are out of sight under Wine.
double CountWindows(HANDLE process) {
    WindowCount windows{GetProcessId(process), 0};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            CountWindow(window, parameter);
            EnumChildWindows(window, &CountWindow, parameter);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    for (HWND window = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
         window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr)) {
        CountWindow(window, reinterpret_cast<LPARAM>(&windows));
    }
    return windows.count;
}

double StatusField(const std::string& status, const char* name) {
    const std::size_t at = status.find(name);
    return at == std::string::npos ? 0 : std::strtod(status.c_str() + at + std::strlen(name), nullptr);
}

}  // namespace

double ProcessCpuSeconds(HANDLE process) {
    FILETIME created, exited, kernel, user;
    return GetProcessTimes(process, &created, &exited, &kernel, &user) ? Seconds(kernel) + Seconds(user) : 0;
}

Footprint ReadFootprint(HANDLE process) {
    Footprint footprint;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
        // Wine leaves PrivateUsage at 0 for another process; PagefileUsage, the same
        // figure on Windows, is its resident anonymous memory there.
        footprint.privateBytes = static_cast<double>(memory.PrivateUsage ? memory.PrivateUsage
                                                                          : memory.PagefileUsage);
        footprint.workingSetBytes = static_cast<double>(memory.WorkingSetSize);
    }
    footprint.gdiObjects = static_cast<double>(CountGdiObjects(process));
    footprint.userObjects = GetGuiResources(process, GR_USEROBJECTS);
    if (footprint.userObjects == 0) {
        footprint.userObjects = CountWindows(process);
    }
    return footprint;
}

std::optional<int> FindLinuxProcess(const std::string& marker) {
    std::optional<int> match;
    ForEachNumericEntry(kProc, [&](int pid) {
        if (!match && ReadWhole(kProc + std::to_string(pid) + "\\cmdline").find(marker) != std::string::npos) {
            match = pid;
        }
    });
    return match;
}

KernelCounters ReadKernelCounters(int linuxPid) {
    KernelCounters counters;
    const std::string tasks = kProc + std::to_string(linuxPid) + "\\task\\";
    ForEachNumericEntry(tasks, [&](int tid) {
        const std::string task = tasks + std::to_string(tid) + "\\";
        counters.cpuSeconds += std::strtod(ReadWhole(task + "schedstat").c_str(), nullptr) / 1e9;
        const std::string status = ReadWhole(task + "status");
        counters.contextSwitches += StatusField(status, "\nvoluntary_ctxt_switches:") +
                                    StatusField(status, "\nnonvoluntary_ctxt_switches:");
        counters.threads += 1;
    });
    return counters;
}

double MachineBusyFraction(unsigned milliseconds) {
    // The first line of /proc/stat: user nice system idle iowait irq softirq steal, in ticks.
    const auto read = [] {
        const std::string stat = ReadWhole(kProc + "stat");
        const char* cursor = stat.c_str() + std::strlen("cpu");
        double total = 0;
        double idle = 0;
        for (int field = 0; field < 8; ++field) {
            char* end = nullptr;
            const double value = std::strtod(cursor, &end);
            cursor = end;
            total += value;
            idle += field == 3 || field == 4 ? value : 0;
        }
        return std::make_pair(total, idle);
    };
    const auto before = read();
    Sleep(milliseconds);
    const auto after = read();
    const double total = after.first - before.first;
    return total > 0 ? 1 - (after.second - before.second) / total : 0;
}
