#pragma once

// One run of a program under measurement: a fresh copy in a directory of its own (so its
// settings file is its own), started, awaited until it waits for input, and asked to exit
// (then killed if it will not) when the run goes out of scope.

#include "counters.h"
#include "platform/Handle.h"

#include <windows.h>

#include <string>
#include <vector>

struct Program {
    std::string name;                  // as the results call it
    std::string executable;            // the built program; never run in place
    std::string windowClass;           // of the window its hotkeys are registered on
    bool windowShown;                  // whether that window is visible once it is ready
    std::string settingsName;          // file written beside the copy, unless empty
    std::vector<unsigned char> settings;
    UINT exitMessage;                  // posted to the window to end the program
    WPARAM exitParameter;
    int exitControl;                   // its handle goes in lParam, when nonzero
};

class Target {
public:
    // Throws std::runtime_error when the program does not come up within its time.
    explicit Target(const Program& program);
    ~Target();
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;

    // From CreateProcess to the first time the program waits for input with nothing left
    // to do: its window made and painted, its hotkeys registered.
    double StartupSeconds() const { return startupSeconds_; }
    // The process's time on the processor until then, as Linux counts it.
    double StartupCpuSeconds() const { return startupCpuSeconds_; }
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
    HWND window_ = nullptr;
    int linuxPid_ = 0;
};

double Now();  // seconds, from QueryPerformanceCounter
