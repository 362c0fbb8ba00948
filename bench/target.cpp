#include "target.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <thread>

namespace {

constexpr DWORD kReadyTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 10000;

std::string FileName(const std::string& path) {
    return path.substr(path.find_last_of("\\/") + 1);  // npos + 1 is 0
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    Handle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        throw std::runtime_error("cannot write " + path);
    }
}

struct WindowSearch {
    DWORD processId;
    const std::string* windowClass;
    HWND found;
};

HWND FindProcessWindow(DWORD processId, const std::string& windowClass) {
    WindowSearch search{processId, &windowClass, nullptr};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto& s = *reinterpret_cast<WindowSearch*>(parameter);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char className[256] = {};
            GetClassNameA(window, className, sizeof className);
            if (owner == s.processId && *s.windowClass == className) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Notes the moment a new icon appears in the notification area, looking every millisecond
// from a thread of its own until it sees one or is told to stop.
class TrayWatch {
public:
    TrayWatch() : before_(TrayIconCount()), giveUp_(Now() + kReadyTimeoutMs / 1e3), thread_([this] { Run(); }) {}
    ~TrayWatch() { Finish(0); }
    TrayWatch(const TrayWatch&) = delete;
    TrayWatch& operator=(const TrayWatch&) = delete;

    // Watches `seconds` more at most; returns when the icon appeared, if it did.
    std::optional<double> Finish(double seconds) {
        giveUp_ = std::min(giveUp_.load(), Now() + seconds);
        if (thread_.joinable()) {
            thread_.join();
        }
        return seen_ > 0 ? std::optional<double>(seen_) : std::nullopt;
    }

private:
    void Run() {
        while (Now() < giveUp_) {
            if (TrayIconCount() > before_) {
                seen_ = Now();
                return;
            }
            Sleep(1);
        }
    }

    const int before_;
    std::atomic<double> giveUp_;
    std::atomic<double> seen_{0};
    std::thread thread_;
};

}  // namespace

int TrayIconCount() {
    const HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    int count = 0;
    for (HWND tip = taskbar ? FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr) : nullptr; tip;
         tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) {
        count += GetWindow(tip, GW_OWNER) == taskbar;
    }
    return count;
}

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return static_cast<double>(value.QuadPart);
    }();
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) / frequency;
}

Target::Target(const Program& program, bool awaitTray) : program_(program) {
    static int serial = 0;
    char temporary[MAX_PATH];
    GetTempPathA(MAX_PATH, temporary);
    const std::string marker =
        "tarnwick-bench-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    directory_ = std::string(temporary) + marker + "\\";
    if (!CreateDirectoryA(directory_.c_str(), nullptr)) {
        throw std::runtime_error("cannot make " + directory_);
    }
    const std::string copy = directory_ + FileName(program.executable);
    if (!CopyFileA(program.executable.c_str(), copy.c_str(), FALSE)) {
        RemoveCopy();
        throw std::runtime_error("cannot copy " + program.executable);
    }
    try {
        for (const ProgramFile& file : program.files) {
            WriteFileBytes(directory_ + file.name, file.bytes);
        }
        std::string commandLine = "\"" + copy + "\"" + (program.arguments.empty() ? "" : " " + program.arguments);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION created{};
        TrayWatch tray;
        const double started = Now();
        if (!CreateProcessA(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            directory_.c_str(), &startup, &created)) {
            throw std::runtime_error("cannot start " + copy);
        }
        process_ = Handle(created.hProcess);
        Handle thread(created.hThread);
        if (WaitForInputIdle(process_.get(), kReadyTimeoutMs) != 0) {
            throw std::runtime_error(program.name + " did not become ready");
        }
        startupSeconds_ = Now() - started;
        if (const std::optional<double> added = tray.Finish(awaitTray ? 5 : 0)) {
            trayAddedSeconds_ = *added - started;
        }
        window_ = FindProcessWindow(created.dwProcessId, program.windowClass);
        if (!window_ || (IsWindowVisible(window_) != FALSE) != program.windowShown) {
            throw std::runtime_error(program.name + " is ready without its window as expected");
        }
        const std::optional<int> linuxPid = FindLinuxProcess(marker);
        if (!linuxPid) {
            throw std::runtime_error("no Linux process runs " + copy);
        }
        linuxPid_ = *linuxPid;
        startupCpuSeconds_ = Kernel().cpuSeconds;
    } catch (...) {
        Stop();
        throw;
    }
}

Target::~Target() { Stop(); }

void Target::Stop() {
    if (process_) {
        if (window_) {
            const HWND control = program_.exitControl ? GetDlgItem(window_, program_.exitControl) : nullptr;
            PostMessageA(window_, program_.exitMessage, program_.exitParameter,
                         reinterpret_cast<LPARAM>(control));
        }
        if (!window_ || WaitForSingleObject(process_.get(), kExitTimeoutMs) != WAIT_OBJECT_0) {
            TerminateProcess(process_.get(), 1);
            WaitForSingleObject(process_.get(), kExitTimeoutMs);
        }
        process_ = Handle();
    }
    RemoveCopy();
}

void Target::RemoveCopy() {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((directory_ + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileA((directory_ + found.cFileName).c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(directory_.c_str());
}
