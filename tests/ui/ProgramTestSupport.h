#pragma once

// Running the real tarnwick.exe from a test: a directory of its own per test (so "para.dll"
// belongs to that test), the running copy, and readers of its windows and its settings file.
// Every wait is bounded.

#include "platform/Handle.h"
#include "platform/WinTestSupport.h"
#include "resource.h"

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace wintest {

using Bytes = std::vector<unsigned char>;

inline const char kTitle[] = "Tarnwick";
inline const char kStartStopFailure[] =
    "Register start/stop hotkey failure. Please re-set the hotkey.";
inline const char kEmulationFailure[] =
    "Register emulation hotkey failure. \r\n"
    "Please close the software which has occupied hotkey of numeric keypad.";

// What a first start writes: speed index 3, F9 without modifiers, both flags clear.
inline const Bytes kFirstStartSettings = {0x03, 0x00, 0x00, 0x00, 0x78, 0x00, 0x00, 0x00,
                                   0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

inline const Bytes kSpeedNineSettings = {0x09, 0x00, 0x00, 0x00, 0x78, 0x00, 0x00, 0x00,
                                  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

// Well inside the 1024 x 768 desktop: steps of up to 50 pixels stay clear of its edges.
inline const POINT kPointerStart = {600, 300};

inline bool operator==(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }
inline bool operator!=(POINT a, POINT b) { return !(a == b); }

inline std::string DirectoryOf(const std::string& path) {
    return path.substr(0, path.rfind('\\') + 1);
}

inline std::string ThisExecutable() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

inline Bytes ReadBytes(const std::string& path) { return FileBytes(Widen(path)); }

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    WriteFileBytes(Widen(path), bytes);
}

inline std::vector<std::string> FilesIn(const std::string& directory) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((directory + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            names.push_back(found.cFileName);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

inline std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The text a control answers with; GetWindowTextA would not ask a window of another process.
inline std::string ControlText(HWND control) {
    char text[256] = {};
    SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// An entry of a combo box's list, asked for in UTF-16: Wine cuts the ANSI answer from a
// window of another process short.
inline std::string ListEntry(HWND comboBox, WPARAM index) {
    wchar_t wide[64] = {};
    SendMessageW(comboBox, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(wide));
    char entry[64] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, entry, sizeof entry, nullptr, nullptr);
    return entry;
}

inline DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

// The first top-level window of `process` for which `matches` holds.
template <typename Predicate>
HWND FindProcessWindow(DWORD process, Predicate matches) {
    struct Search {
        DWORD process;
        Predicate* matches;
        HWND found;
    } search{process, &matches, nullptr};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(parameter);
            if (ProcessOf(window) != s.process || !(*s.matches)(window)) {
                return TRUE;
            }
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Pointer moves arrive asynchronously: waits for the pointer to reach `expected`, then makes
// sure that it stays there (a second move would be a fault too).
inline bool PointerSettlesAt(POINT expected) {
    if (!PumpUntil([&] { return PointerPosition() == expected; })) {
        return false;
    }
    PumpMessages(milliseconds(200));
    return PointerPosition() == expected;
}

// A top-level window of this test that takes the keyboard focus and records the keys,
// hotkeys and left clicks that reach it. It shows Pattern, so that a picture of it is known.
class KeyTarget {
public:
    KeyTarget() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kClassName;
        RegisterClassA(&windowClass);  // fails harmlessly for every target after the first
        // Bottom right, clear of the dialog (top left) and of the message boxes (centred).
        window_ = CreateWindowExA(0, kClassName, "Key target", WS_POPUP | WS_BORDER | WS_VISIBLE,
                                  760, 600, 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr),
                                  this);
    }
    KeyTarget(const KeyTarget&) = delete;
    KeyTarget& operator=(const KeyTarget&) = delete;
    ~KeyTarget() { DestroyWindow(window_); }

    HWND get() const { return window_; }

    bool TakeFocus() {
        SetForegroundWindow(window_);
        SetFocus(window_);
        return PumpUntil([&] { return GetForegroundWindow() == window_ && GetFocus() == window_; });
    }

    std::size_t Count(UINT message, WPARAM wParam) const {
        std::size_t count = 0;
        for (const auto& seen : received_) {
            count += seen.first == message && seen.second == wParam;
        }
        return count;
    }

    bool WaitFor(UINT message, WPARAM wParam) {
        return PumpUntil([&] { return Count(message, wParam) > 0; });
    }

    // The colour it shows at screen pixel (x, y), as PaintedPixels gives it: unlike each
    // neighbour's, and never black or white.
    static DWORD Pattern(int x, int y) {
        return static_cast<DWORD>((x * 37) & 0xFF) << 16 | static_cast<DWORD>((y * 53) & 0xFF) << 8 | 0x80;
    }

private:
    static constexpr const char* kClassName = "TarnwickUiKeyTarget";

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(
                                  reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams));
        }
        auto* self = reinterpret_cast<KeyTarget*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == WM_PAINT) {
            Paint(window);
            return 0;
        }
        if (self && (message == WM_KEYDOWN || message == WM_CHAR || message == WM_HOTKEY ||
                     message == WM_LBUTTONDOWN)) {
            self->received_.emplace_back(message, wParam);
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    static void Paint(HWND window) {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        std::vector<DWORD> pixels;
        for (int y = 0; y < client.bottom; ++y) {
            for (int x = 0; x < client.right; ++x) {
                pixels.push_back(Pattern(origin.x + x, origin.y + y));
            }
        }
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(client.right), static_cast<DWORD>(client.bottom), 0, 0, 0,
                          static_cast<UINT>(client.bottom), pixels.data(), &info, DIB_RGB_COLORS);
        EndPaint(window, &paint);
    }

    HWND window_;
    std::vector<std::pair<UINT, WPARAM>> received_;
};

// The notification area. Under Wine's virtual desktop it is the right end of the taskbar
// ("Shell_TrayWnd"), which draws each icon in a cell of the small-icon size and a border of
// two pixels all round, the first icon rightmost.

// The taskbar on the screen; a hidden window of that class is not it.
inline HWND Taskbar() {
    HWND bar = nullptr;
    while ((bar = FindWindowExA(nullptr, bar, "Shell_TrayWnd", nullptr)) != nullptr) {
        if (IsWindowVisible(bar)) {
            return bar;
        }
    }
    return nullptr;
}

// Where the first icon's picture stands, in screen coordinates.
inline RECT TrayIconArea() {
    RECT bar{};
    GetWindowRect(Taskbar(), &bar);
    const int width = GetSystemMetrics(SM_CXSMICON);
    const int height = GetSystemMetrics(SM_CYSMICON);
    const int left = bar.right - width - 2;
    const int top = bar.top + (bar.bottom - bar.top - height) / 2;
    return {left, top, left + width, top + height};
}

inline POINT TrayIconSpot() {
    const RECT area = TrayIconArea();
    return {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
}

// `icon` drawn at the small-icon size over the taskbar's colour, as the tray draws it.
inline std::vector<DWORD> TrayPicture(HICON icon) {
    const RECT area = TrayIconArea();
    const RECT corner{area.left - 2, area.top - 2, area.left - 1, area.top - 1};
    const std::vector<DWORD> background = ScreenPixels(corner);
    const SIZE size{area.right - area.left, area.bottom - area.top};
    return PaintedPixels(size, [&](HDC dc) {
        const DWORD colour = background.empty() ? 0 : background.front();
        const HBRUSH brush =
            CreateSolidBrush(RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF));
        const RECT all{0, 0, size.cx, size.cy};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        if (icon) {
            DrawIconEx(dc, 0, 0, icon, size.cx, size.cy, 0, nullptr, DI_NORMAL);
        }
    });
}

// Whether the first icon shows `icon`, or nothing but the taskbar when `icon` is null.
// Waits, since the tray paints after the change.
inline bool TrayShows(HICON icon, milliseconds timeout = milliseconds(5000)) {
    return PumpUntil([&] { return ScreenPixels(TrayIconArea()) == TrayPicture(icon); }, timeout);
}

// How many windows have a button on the taskbar. The buttons draw their captions themselves,
// so they are told apart only from the start button, which stands at the taskbar's left end.
inline int TaskbarButtons() {
    struct Count {
        LONG startLeft;
        int buttons;
    } count{0, 0};
    RECT bar{};
    GetWindowRect(Taskbar(), &bar);
    count.startLeft = bar.left;
    EnumChildWindows(
        Taskbar(),
        [](HWND child, LPARAM parameter) -> BOOL {
            auto& c = *reinterpret_cast<Count*>(parameter);
            RECT at;
            GetWindowRect(child, &at);
            c.buttons += IsWindowVisible(child) && ClassOf(child) == "Button" && at.left != c.startLeft;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.buttons;
}

// An icon group of a copy of the program at the small-icon size, read from its file.
class ProgramIcon {
public:
    ProgramIcon(const std::string& executable, int id)
        : module_(LoadLibraryExA(executable.c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)),
          icon_(module_ ? static_cast<HICON>(LoadImageA(module_.get(), MAKEINTRESOURCEA(id), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), 0))
                        : nullptr) {}

    HICON get() const { return icon_.get(); }

private:
    Module module_;
    OwnedIcon icon_;
};

// A real click of the left or right button at `at`.
inline bool ClickAt(POINT at, bool right = false) {
    if (!MovePointerTo(at.x, at.y)) {
        return false;
    }
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(2, click, sizeof(INPUT));
    return true;
}

// One run of a copy of the program. When the object goes, the program is ended through its
// Exit button, or killed if that does not end it, and waited for.
class RunningProgram {
public:
    explicit RunningProgram(const std::string& executable) : RunningProgram(Widen(executable)) {}
    explicit RunningProgram(const std::wstring& executable) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        std::wstring commandLine = L"\"" + executable + L"\"";
        const std::wstring directory = executable.substr(0, executable.rfind(L'\\') + 1);
        // Under Wine, CreateProcess has been seen to fail once in a long run, before any code
        // of the program could run; another try starts it, and the error is printed.
        for (int attempt = 0; attempt < 3 && !process_; ++attempt) {
            if (CreateProcessW(executable.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                               nullptr, directory.c_str(), &startup, &started)) {
                process_ = Handle(started.hProcess);
                CloseHandle(started.hThread);
                id_ = started.dwProcessId;
            } else {
                startError_ = GetLastError();
                std::fprintf(stderr, "CreateProcess failed with %lu\n", startError_);
            }
        }
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    ~RunningProgram() {
        if (!Running()) {
            return;
        }
        if (const HWND dialog = Dialog()) {
            PostMessageA(GetDlgItem(dialog, IDC_EXIT), BM_CLICK, 0, 0);
        }
        // An open message box holds the Exit click back; only then does it come to this.
        if (!WaitForExit(milliseconds(3000))) {
            TerminateProcess(process_.get(), 1);
            WaitForExit(milliseconds(5000));
        }
    }

    bool Started() const { return static_cast<bool>(process_); }
    DWORD StartError() const { return startError_; }
    HANDLE Process() const { return process_.get(); }
    DWORD Id() const { return id_; }
    bool Running() const {
        return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
    }

    // Pumps meanwhile: the program may be sending to a window of this test.
    bool WaitForExit(milliseconds timeout = milliseconds(5000)) const {
        return PumpUntil([&] { return !Running(); }, timeout);
    }

    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_.get(), &code);
        return code;
    }

    // The main dialog, shown or hidden.
    HWND DialogWindow() const {
        return FindProcessWindow(id_, [](HWND window) {
            return ClassOf(window) == "#32770" && WindowText(window) == kTitle &&
                   GetDlgItem(window, IDC_SPEED);
        });
    }

    // A popup menu of the program that is open.
    HWND OpenMenu() const {
        return FindProcessWindow(id_, [](HWND window) {
            return ClassOf(window) == "#32768" && IsWindowVisible(window);
        });
    }

    // The main dialog once it is shown (it turns visible only when its initialisation is done).
    HWND Dialog() const {
        return FindProcessWindow(id_, [](HWND window) {
            return ClassOf(window) == "#32770" && WindowText(window) == kTitle &&
                   IsWindowVisible(window) && GetDlgItem(window, IDC_SPEED);
        });
    }

    HWND WaitForDialog() const {
        HWND dialog = nullptr;
        PumpUntil([&] { return (dialog = Dialog()) != nullptr; }, milliseconds(10000));
        return dialog;
    }

    MessageBoxSeen WaitForMessageBox(const std::string& caption) const {
        MessageBoxSeen box;
        PumpUntil([&] { return (box = FindMessageBox(caption, id_)).window != nullptr; },
                  milliseconds(10000));
        return box;
    }

    // A visible top-level window of the program with `caption`, once it shows.
    HWND WaitForWindow(const std::string& caption) const {
        HWND found = nullptr;
        PumpUntil(
            [&] {
                found = FindProcessWindow(id_, [&](HWND window) {
                    return IsWindowVisible(window) && WindowText(window) == caption;
                });
                return found != nullptr;
            },
            milliseconds(10000));
        return found;
    }

    // Any message box of the program, whatever its caption.
    bool ShowsMessageBox() const {
        return FindProcessWindow(id_, [](HWND window) {
                   return ClassOf(window) == "#32770" && IsWindowVisible(window) &&
                          GetDlgItem(window, 0xFFFF) && !GetDlgItem(window, IDC_SPEED);
               }) != nullptr;
    }

private:
    Handle process_;
    DWORD id_ = 0;
    DWORD startError_ = ERROR_SUCCESS;
};

// A block of memory in the program's process, for control messages that pass a pointer
// (rich-edit ranges, formats, positions): the system carries no such argument across
// processes. Put writes a value there and returns its address in that process; Get reads it.
class RemoteMemory {
public:
    RemoteMemory(HANDLE process, std::size_t size)
        : process_(process),
          address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)),
          size_(size) {}
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    ~RemoteMemory() {
        if (address_) {
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        }
    }

    template <typename T>
    LPARAM Put(const T& value) {
        static_assert(std::is_trivially_copyable<T>::value, "copied byte for byte");
        if (sizeof value <= size_) {
            WriteProcessMemory(process_, address_, &value, sizeof value, nullptr);
        }
        return reinterpret_cast<LPARAM>(address_);
    }

    template <typename T>
    T Get() const {
        T value{};
        if (sizeof value <= size_) {
            ReadProcessMemory(process_, address_, &value, sizeof value, nullptr);
        }
        return value;
    }

private:
    HANDLE process_;
    void* address_;
    std::size_t size_;
};

// Presses OK in a message box of the program and waits for the box to go.
inline bool Dismiss(const MessageBoxSeen& box) {
    PostMessageA(GetDlgItem(box.window, IDOK), BM_CLICK, 0, 0);
    return PumpUntil([&] { return !IsWindow(box.window); });
}

// The base of every test of the running program.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int testNumber = 0;
        char temporary[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temporary);
        // Wine soon hands a process id out again, so a folder left by an earlier test program
        // may already hold the name.
        bool made = false;
        do {
            directory_ = std::string(temporary) + "tarnwick-ui-" +
                         std::to_string(GetCurrentProcessId()) + "-" +
                         std::to_string(++testNumber) + "\\";
            made = CreateDirectoryA(directory_.c_str(), nullptr) != FALSE;
        } while (!made && GetLastError() == ERROR_ALREADY_EXISTS);
        ASSERT_TRUE(made) << directory_;
        const std::string program = DirectoryOf(ThisExecutable()) + "tarnwick.exe";
        ASSERT_TRUE(CopyFileA(program.c_str(), (directory_ + "tarnwick.exe").c_str(), TRUE))
            << "tarnwick.exe belongs beside " << ThisExecutable();
    }

    void TearDown() override {
        programs_.clear();
        for (const std::string& name : FilesIn(directory_)) {
            DeleteFileA((directory_ + name).c_str());
        }
        RemoveDirectoryA(directory_.c_str());
    }

    // Starts the copy called `name` (a further copy of the program is made under a new name).
    RunningProgram& Start(const std::string& name = "tarnwick.exe") {
        if (GetFileAttributesA((directory_ + name).c_str()) == INVALID_FILE_ATTRIBUTES) {
            CopyFileA((directory_ + "tarnwick.exe").c_str(), (directory_ + name).c_str(), TRUE);
        }
        programs_.push_back(std::make_unique<RunningProgram>(directory_ + name));
        return *programs_.back();
    }

    // Starts the program and waits for its dialog, which the item helpers then read.
    void StartAndWaitForDialog() {
        RunningProgram& program = Start();
        ASSERT_TRUE(program.Started()) << "CreateProcess failed with " << program.StartError();
        dialog_ = program.WaitForDialog();
        ASSERT_NE(dialog_, nullptr) << "no dialog \"Tarnwick\" appeared";
    }

    RunningProgram& Program() { return *programs_.front(); }
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }

    LRESULT SpeedSelection() const { return SendMessageA(Item(IDC_SPEED), CB_GETCURSEL, 0, 0); }
    LRESULT StartStopKey() const { return SendMessageA(Item(IDC_HOTKEY), HKM_GETHOTKEY, 0, 0); }

    std::string SettingsPath() const { return directory_ + "para.dll"; }
    Bytes Settings() const { return ReadBytes(SettingsPath()); }
    void WriteSettings(const Bytes& bytes) const { WriteBytes(SettingsPath(), bytes); }

    // Puts the pointer at kPointerStart, presses `key` once and expects the pointer at `to`.
    void ExpectKeyMovesPointer(WORD key, POINT to) {
        ASSERT_TRUE(MovePointerTo(kPointerStart.x, kPointerStart.y));
        PressKey(key);
        const bool settled = PointerSettlesAt(to);
        const POINT at = PointerPosition();
        EXPECT_TRUE(settled) << "pointer at " << at.x << "," << at.y << " instead of " << to.x
                             << "," << to.y;
    }

    // Puts a key into the hot-key control and clicks Modify. Posted: the click ends in a
    // modal message box.
    void Modify(BYTE virtualKey, BYTE controlModifiers) {
        SendMessageA(Item(IDC_HOTKEY), HKM_SETHOTKEY, MAKEWORD(virtualKey, controlModifiers), 0);
        PostMessageA(Item(IDC_MODIFY), BM_CLICK, 0, 0);
    }

    std::string directory_;
    HWND dialog_ = nullptr;

private:
    std::vector<std::unique_ptr<RunningProgram>> programs_;
};
}  // namespace wintest
