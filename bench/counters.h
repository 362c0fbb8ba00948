#pragma once

// What a running target has cost so far, as Windows reports it and as the Linux kernel
// under Wine counts it.

#include <windows.h>

#include <optional>
#include <string>

// User + kernel time from GetProcessTimes.
double ProcessCpuSeconds(HANDLE process);

// What the process holds. Reading it may stop the process for a moment under Wine (the GDI
// count reads its memory), so it is never read while the process's own costs are counted.
struct Footprint {
    double privateBytes = 0;     // PROCESS_MEMORY_COUNTERS_EX::PrivateUsage
    double workingSetBytes = 0;  // PROCESS_MEMORY_COUNTERS_EX::WorkingSetSize
    double gdiObjects = 0;       // CountGdiObjects
    double userObjects = 0;
};

Footprint ReadFootprint(HANDLE process);

// A Wine process is a Linux process; these are summed over all its threads.
struct KernelCounters {
    double cpuSeconds = 0;        // schedstat run time, in nanoseconds there
    double contextSwitches = 0;   // voluntary + involuntary: how often it was woken or preempted
    double threads = 0;
};

// The Linux process whose command line contains `marker`, seen through Wine's drive Z:.
std::optional<int> FindLinuxProcess(const std::string& marker);
KernelCounters ReadKernelCounters(int linuxPid);

// The share of the machine's CPU time (all processors) that was busy over `milliseconds`.
double MachineBusyFraction(unsigned milliseconds);
