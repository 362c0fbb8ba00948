#pragma once

// One run of a program under measurement: a fresh copy in a directory of its own (so its
// settings files are its own), started, awaited until it waits for input, and asked to exit
// (then killed if it will not) when the run goes out of scope.

#include "counters.h"
#include "platform/Handle.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// A file written beside the program's copy before it starts.
struct ProgramFile {
    std::string name;
    std::string bytes;
};

struct Program {
    std::string name;                  // as the results call it
    std::string executable;            // the built program; never run in place
    std::string arguments;             // its command line after its own name
    std::string windowClass;           // of the window its hotkeys are registered on
    bool windowShown;                  // whether that window is visible once it is ready
    std::vector<ProgramFile> files;    // its settings
    UINT exitMessage;                  // posted to the window to end the program
    WPARAM exitParameter;
    int exitControl;                   // its handle goes in lParam, when nonzero
    bool tray = false;                 // whether it adds a notification-area icon as it starts
};

// The icons in the notification area. Wine's taskbar gives each a tooltip window of its
// own, made while the icon is added and owned by the taskbar; elsewhere this counts none.
int TrayIconCount();

class Target {
public:
    // Throws std::runtime_error when the program does not come up within its time. With
    // `awaitTray`, waits a little beyond ready for a tray icon (which Tarnwick adds before
    // it shows its dialog); the notification area is watched during every start alike.
    Target(const Program& program, bool awaitTray);
    ~Target();
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;

    // From CreateProcess to the first time the program waits for input with nothing left
    // to do: its window made and painted, its hotkeys registered.
    double StartupSeconds() const { return startupSeconds_; }
    // The process's time on the processor until then, as Linux counts it.
    double StartupCpuSeconds() const { return startupCpuSeconds_; }
    // From CreateProcess until its icon appeared in the notification area, if one did.
    std::optional<double> TrayAddedSeconds() const { return trayAddedSeconds_; }
    HWND Window() const { return window_; }
    double CpuSeconds() const { return ProcessCpuSeconds(process_.get()); }
    Footprint Holdings() const { return ReadFootprint(process_.get()); }
    KernelCounters Kernel() const { return ReadKernelCounters(linuxPid_); }

private:
    void Stop();
    void RemoveCopy();

    const Program& program_;
    std::string directory_;
    Handle process_;
    double startupSeconds_ = 0;
    double startupCpuSeconds_ = 0;
    std::optional<double> trayAddedSeconds_;
    HWND window_ = nullptr;
    int linuxPid_ = 0;
};

double Now();  // seconds, from QueryPerformanceCounter
