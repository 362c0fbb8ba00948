// tarnwick.exe as its user meets it. Every test runs the real program from a directory of
// its own (so "para.dll" belongs to that test), drives it through its dialog, the keyboard
// and the pointer, and reads the results back from its windows, its message boxes and its
// settings file.

#include "platform/Handle.h"
#include "platform/WinTestSupport.h"
#include "resource.h"

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace wintest;

namespace {

using Bytes = std::vector<unsigned char>;

const char kTitle[] = "Tarnwick";
const char kStartStopFailure[] = "Register start/stop hotkey failure. Please re-set the hotkey.";
const char kEmulationFailure[] =
    "Register emulation hotkey failure. \r\n"
    "Please close the software which has occupied hotkey of numeric keypad.";

// What a first start writes: speed index 3, F9 without modifiers, both flags clear.
const Bytes kFirstStartSettings = {0x03, 0x00, 0x00, 0x00, 0x78, 0x00, 0x00, 0x00,
                                   0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

const Bytes kSpeedNineSettings = {0x09, 0x00, 0x00, 0x00, 0x78, 0x00, 0x00, 0x00,
                                  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

// Well inside the 1024 x 768 desktop: steps of up to 50 pixels stay clear of its edges.
const POINT kPointerStart = {600, 300};

bool operator==(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }
bool operator!=(POINT a, POINT b) { return !(a == b); }

std::string DirectoryOf(const std::string& path) { return path.substr(0, path.rfind('\\') + 1); }

std::string ThisExecutable() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> FilesIn(const std::string& directory) {
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

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The text a control answers with; GetWindowTextA would not ask a window of another process.
std::string ControlText(HWND control) {
    char text[256] = {};
    SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// An entry of a combo box's list, asked for in UTF-16: Wine cuts the ANSI answer from a
// window of another process short.
std::string ListEntry(HWND comboBox, WPARAM index) {
    wchar_t wide[64] = {};
    SendMessageW(comboBox, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(wide));
    char entry[64] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, entry, sizeof entry, nullptr, nullptr);
    return entry;
}

DWORD ProcessOf(HWND window) {
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
bool PointerSettlesAt(POINT expected) {
    if (!PumpUntil([&] { return PointerPosition() == expected; })) {
        return false;
    }
    PumpMessages(milliseconds(200));
    return PointerPosition() == expected;
}

// A top-level window of this test that takes the keyboard focus and records the keys and
// hotkeys that reach it.
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

private:
    static constexpr const char* kClassName = "TarnwickUiKeyTarget";

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(
                                  reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams));
        }
        auto* self = reinterpret_cast<KeyTarget*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && (message == WM_KEYDOWN || message == WM_CHAR || message == WM_HOTKEY)) {
            self->received_.emplace_back(message, wParam);
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    HWND window_;
    std::vector<std::pair<UINT, WPARAM>> received_;
};

// One run of a copy of the program. When the object goes, the program is ended through its
// Exit button, or killed if that does not end it, and waited for.
class RunningProgram {
public:
    explicit RunningProgram(const std::string& executable) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        std::string commandLine = "\"" + executable + "\"";
        if (CreateProcessA(executable.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                           DirectoryOf(executable).c_str(), &startup, &started)) {
            process_ = Handle(started.hProcess);
            CloseHandle(started.hThread);
            id_ = started.dwProcessId;
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
};

// Presses OK in a message box of the program and waits for the box to go.
bool Dismiss(const MessageBoxSeen& box) {
    PostMessageA(GetDlgItem(box.window, IDOK), BM_CLICK, 0, 0);
    return PumpUntil([&] { return !IsWindow(box.window); });
}

class EmulatorDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int testNumber = 0;
        char temporary[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temporary);
        directory_ = std::string(temporary) + "tarnwick-ui-" +
                     std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++testNumber) +
                     "\\";
        ASSERT_TRUE(CreateDirectoryA(directory_.c_str(), nullptr)) << directory_;
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
        ASSERT_TRUE(program.Started());
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

TEST_F(EmulatorDialogTest, FirstStartWritesTheDefaultsAndShowsThem) {
    StartAndWaitForDialog();

    EXPECT_EQ(Settings(), kFirstStartSettings);
    EXPECT_EQ(SpeedSelection(), 3);
    EXPECT_EQ(ControlText(Item(IDC_SPEED)), "10");
    EXPECT_EQ(StartStopKey(), VK_F9);
    EXPECT_EQ(SendMessageA(Item(IDC_RUN_AT_STARTUP), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(Item(IDC_MINIMIZE_AT_STARTUP), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(FilesIn(directory_), (std::vector<std::string>{"para.dll", "tarnwick.exe"}))
        << "nothing else is left beside the program";
}

TEST_F(EmulatorDialogTest, SpeedNineMovesAThousandPixelsUpToTheDesktopsEdges) {
    WriteSettings(kSpeedNineSettings);
    StartAndWaitForDialog();

    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int right = left + GetSystemMetrics(SM_CXVIRTUALSCREEN) - 1;
    const int bottom = top + GetSystemMetrics(SM_CYVIRTUALSCREEN) - 1;
    ExpectKeyMovesPointer(VK_NUMPAD4, {left, kPointerStart.y});
    ExpectKeyMovesPointer(VK_NUMPAD6, {right, kPointerStart.y});
    ExpectKeyMovesPointer(VK_NUMPAD8, {kPointerStart.x, top});
    ExpectKeyMovesPointer(VK_NUMPAD5, {kPointerStart.x, bottom});
}

TEST_F(EmulatorDialogTest, SpeedNineLeavesTheListWithoutSelectionWhichTheNextSaveStores) {
    WriteSettings(kSpeedNineSettings);
    StartAndWaitForDialog();
    EXPECT_EQ(SpeedSelection(), CB_ERR) << "the list offers no 1000";

    SendMessageA(Item(IDC_MINIMIZE_AT_STARTUP), BM_CLICK, 0, 0);
    EXPECT_EQ(Settings(), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x78, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                 0x00, 0x01, 0x00, 0x00, 0x00}))
        << "no selection is saved as -1";
    ExpectKeyMovesPointer(VK_NUMPAD4, {kPointerStart.x - 10, kPointerStart.y});
}

TEST_F(EmulatorDialogTest, EmptyFileGivesTheSmallestStepAndIsLeftAlone) {
    WriteSettings({});
    StartAndWaitForDialog();

    EXPECT_EQ(SpeedSelection(), 0);
    EXPECT_EQ(ControlText(Item(IDC_SPEED)), "1");
    EXPECT_EQ(StartStopKey(), VK_F9);
    EXPECT_TRUE(Settings().empty()) << "a file that opens is not rewritten at start-up";
    ExpectKeyMovesPointer(VK_NUMPAD4, {kPointerStart.x - 1, kPointerStart.y});
}

TEST_F(EmulatorDialogTest, ChoosingASpeedSavesItAndSetsTheNextStep) {
    StartAndWaitForDialog();
    ExpectKeyMovesPointer(VK_NUMPAD4, {kPointerStart.x - 10, kPointerStart.y});

    // As the list does when the user picks "50": select, then tell the dialog.
    SendMessageA(Item(IDC_SPEED), CB_SETCURSEL, 5, 0);
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDC_SPEED, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(IDC_SPEED)));

    EXPECT_EQ(Settings(), (Bytes{0x05, 0x00, 0x00, 0x00, 0x78, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                 0x00, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(FilesIn(directory_), (std::vector<std::string>{"para.dll", "tarnwick.exe"}));
    ExpectKeyMovesPointer(VK_NUMPAD4, {kPointerStart.x - 50, kPointerStart.y});
    ExpectKeyMovesPointer(VK_NUMPAD6, {kPointerStart.x + 50, kPointerStart.y});
    ExpectKeyMovesPointer(VK_NUMPAD8, {kPointerStart.x, kPointerStart.y - 50});
    ExpectKeyMovesPointer(VK_NUMPAD5, {kPointerStart.x, kPointerStart.y + 50});
}

TEST_F(EmulatorDialogTest, ModifyAcceptsControlAltKSavesItAndItTogglesEmulation) {
    StartAndWaitForDialog();

    Modify('K', HOTKEYF_CONTROL | HOTKEYF_ALT);
    const MessageBoxSeen box = Program().WaitForMessageBox(kTitle);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, "Successful!");
    EXPECT_EQ(ShownIcon(box.window), nullptr);
    EXPECT_EQ(Settings(), (Bytes{0x03, 0x00, 0x00, 0x00, 0x4B, 0x00, 0x06, 0x00, 0x00, 0x00, 0x00,
                                 0x00, 0x00, 0x00, 0x00, 0x00}));
    ASSERT_TRUE(Dismiss(box));

    KeyTarget target;
    ASSERT_TRUE(target.TakeFocus());
    PressKey('K', {VK_CONTROL, VK_MENU});
    ASSERT_TRUE(PumpUntil([] { return HotKeyFree(0, VK_NUMPAD4); }))
        << "Ctrl+Alt+K did not release the keypad";
    ASSERT_TRUE(MovePointerTo(kPointerStart.x, kPointerStart.y));
    PressKey(VK_NUMPAD4);
    EXPECT_TRUE(target.WaitFor(WM_KEYDOWN, VK_NUMPAD4))
        << "keypad 4 did not reach the focused window";
    EXPECT_TRUE(PointerSettlesAt(kPointerStart));

    PressKey('K', {VK_CONTROL, VK_MENU});
    // The program takes the keypad back once it has handled the key; a keypad press before
    // that still reaches the focused window, so the presses go on until one moves the pointer.
    bool moved = false;
    for (int attempt = 0; attempt < 20 && !moved; ++attempt) {
        ASSERT_TRUE(MovePointerTo(kPointerStart.x, kPointerStart.y));
        const std::size_t reached = target.Count(WM_KEYDOWN, VK_NUMPAD4);
        PressKey(VK_NUMPAD4);
        PumpUntil([&] {
            return PointerPosition() != kPointerStart ||
                   target.Count(WM_KEYDOWN, VK_NUMPAD4) > reached;
        });
        moved = PointerPosition() != kPointerStart;
    }
    ASSERT_TRUE(moved) << "Ctrl+Alt+K did not bring emulation back";
    EXPECT_TRUE(PointerSettlesAt({kPointerStart.x - 10, kPointerStart.y}));
}

TEST_F(EmulatorDialogTest, ModifyRefusesAPlainKeyAndKeepsThePreviousOne) {
    StartAndWaitForDialog();
    const Bytes before = Settings();

    Modify('K', 0);
    const MessageBoxSeen box = Program().WaitForMessageBox(kTitle);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, "Register hotkey failure. Please re-set the hotkey.");
    EXPECT_TRUE(ShowsSystemIcon(box.window, IDI_EXCLAMATION));
    ASSERT_TRUE(Dismiss(box));
    EXPECT_EQ(Settings(), before);
    EXPECT_EQ(StartStopKey(), VK_F9);

    KeyTarget target;
    ASSERT_TRUE(target.TakeFocus());
    PressKey('K');
    EXPECT_TRUE(target.WaitFor(WM_KEYDOWN, 'K')) << "a refused key must not stay taken";
    EXPECT_TRUE(target.WaitFor(WM_CHAR, 'k'));

    PressKey(VK_F9);
    EXPECT_TRUE(PumpUntil([] { return HotKeyFree(0, VK_NUMPAD4); }))
        << "F9 no longer turns emulation off";
}

TEST_F(EmulatorDialogTest, EnterAndEscapeDoNothing) {
    StartAndWaitForDialog();
    SetForegroundWindow(dialog_);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == dialog_; }));
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(dialog_, nullptr), &thread));
    ASSERT_EQ(thread.hwndFocus, Item(IDC_SPEED)) << "the speed list has the focus at start";

    PressKey(VK_RETURN);
    PressKey(VK_ESCAPE);
    // Keys are handled in order: once Down has picked "20", Enter and Esc have been handled.
    PressKey(VK_DOWN);
    ASSERT_TRUE(PumpUntil([&] { return SpeedSelection() == 4; }));

    EXPECT_TRUE(Program().Running());
    EXPECT_TRUE(IsWindowVisible(dialog_));
    EXPECT_FALSE(Program().ShowsMessageBox());
    EXPECT_EQ(Settings(), (Bytes{0x04, 0x00, 0x00, 0x00, 0x78, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                 0x00, 0x00, 0x00, 0x00, 0x00}))
        << "picking with the keyboard saves as well";
}

TEST_F(EmulatorDialogTest, ExitEndsTheProcessWithoutSaving) {
    WriteSettings({0x05, 0x00, 0x00, 0x00});  // a short file: any save would make it 16 bytes
    StartAndWaitForDialog();
    EXPECT_EQ(ControlText(Item(IDC_SPEED)), "50");
    EXPECT_EQ(StartStopKey(), VK_F9);

    PostMessageA(Item(IDC_EXIT), BM_CLICK, 0, 0);

    ASSERT_TRUE(Program().WaitForExit());
    EXPECT_EQ(Program().ExitCode(), 0u);
    EXPECT_EQ(Settings(), (Bytes{0x05, 0x00, 0x00, 0x00}));
}

TEST_F(EmulatorDialogTest, SecondStartOfTheSameFileIsRefused) {
    StartAndWaitForDialog();

    RunningProgram& second = Start();
    const MessageBoxSeen box = second.WaitForMessageBox("tarnwick");
    ASSERT_NE(box.window, nullptr) << "no notice captioned with the executable's name";
    EXPECT_EQ(box.text, "The software is running.");
    EXPECT_TRUE(ShowsSystemIcon(box.window, IDI_EXCLAMATION));
    EXPECT_EQ(second.Dialog(), nullptr);
    ASSERT_TRUE(Dismiss(box));

    ASSERT_TRUE(second.WaitForExit());
    EXPECT_TRUE(Program().Running());
    EXPECT_TRUE(IsWindowVisible(dialog_));
    ExpectKeyMovesPointer(VK_NUMPAD4, {kPointerStart.x - 10, kPointerStart.y});
}

TEST_F(EmulatorDialogTest, CopyUnderAnotherNameRunsButFindsTheKeysTaken) {
    StartAndWaitForDialog();

    RunningProgram& copy = Start("tarnwick2.exe");
    const MessageBoxSeen startStop = copy.WaitForMessageBox(kTitle);
    ASSERT_NE(startStop.window, nullptr);
    EXPECT_EQ(startStop.text, kStartStopFailure);
    EXPECT_TRUE(ShowsSystemIcon(startStop.window, IDI_EXCLAMATION));
    ASSERT_TRUE(Dismiss(startStop));

    const MessageBoxSeen emulation = copy.WaitForMessageBox(kTitle);
    ASSERT_NE(emulation.window, nullptr);
    EXPECT_EQ(emulation.text, kEmulationFailure);
    EXPECT_TRUE(ShowsSystemIcon(emulation.window, IDI_EXCLAMATION));
    ASSERT_TRUE(Dismiss(emulation));

    EXPECT_NE(copy.WaitForDialog(), nullptr);
    EXPECT_TRUE(Program().Running());
    ExpectKeyMovesPointer(VK_NUMPAD4, {kPointerStart.x - 10, kPointerStart.y});
}

TEST_F(EmulatorDialogTest, KeypadKeyHeldElsewhereIsReportedAndTheOthersWork) {
    KeyTarget holder;  // its hotkey goes with its window
    ASSERT_TRUE(RegisterHotKey(holder.get(), 1, 0, VK_NUMPAD6));

    RunningProgram& program = Start();
    const MessageBoxSeen box = program.WaitForMessageBox(kTitle);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, kEmulationFailure);
    EXPECT_TRUE(ShowsSystemIcon(box.window, IDI_EXCLAMATION));
    ASSERT_TRUE(Dismiss(box));
    dialog_ = program.WaitForDialog();
    ASSERT_NE(dialog_, nullptr);

    ExpectKeyMovesPointer(VK_NUMPAD4, {kPointerStart.x - 10, kPointerStart.y});
    ExpectKeyMovesPointer(VK_NUMPAD8, {kPointerStart.x, kPointerStart.y - 10});
    ExpectKeyMovesPointer(VK_NUMPAD6, kPointerStart);
    EXPECT_TRUE(holder.WaitFor(WM_HOTKEY, 1)) << "keypad 6 stays with the window that holds it";
}

// One control of the dialog template, its place in dialog units.
struct TemplateControl {
    int id;
    const char* className;
    const char* text;
    LONG style;
    int x, y, width, height;
};

TEST_F(EmulatorDialogTest, DialogAndControlsFollowTheTemplate) {
    const TemplateControl controls[] = {
        {-1, "Static", "Mouse Move Speed:", 0x50020000, 13, 10, 66, 9},
        {IDC_SPEED, "ComboBox", "", 0x50210003, 84, 8, 58, 180},
        {IDC_HOTKEY, "msctls_hotkey32", "HotKey1", 0x50810000, 76, 25, 66, 13},
        {-1, "Static", "Start/Stop HotKey:", 0x50020000, 13, 26, 63, 8},
        {IDC_MODIFY, "Button", "Modify", 0x50010000, 144, 24, 36, 14},
        {IDC_MANUAL, "RICHEDIT", "", 0x50810884, 7, 58, 180, 63},
        {IDC_RUN_AT_STARTUP, "Button", "Run On Windows Startup", 0x50010003, 12, 41, 93, 11},
        {IDC_MINIMIZE_AT_STARTUP, "Button", "Minimize Start-Up", 0x50010003, 112, 42, 71, 11},
        {IDC_MINIMIZE, "Button", "Minimize", 0x50010000, 70, 125, 49, 18},
        {IDC_EXIT, "Button", "Exit", 0x50010000, 133, 125, 49, 18},
        {IDC_DONATE, "Button", "Donate", 0x50010000, 7, 125, 49, 18},
        {-1, "Static", "Pixels", 0x50020000, 145, 10, 32, 9},
        {-1, "Button", "", 0x50000007, 7, 0, 180, 55},
    };
    StartAndWaitForDialog();

    // The caption is "Tarnwick", or the dialog would not have been found.
    // The system adds WS_CLIPSIBLINGS to every pop-up, and the dialog manager DS_3DLOOK.
    const DWORD added = WS_CLIPSIBLINGS | DS_3DLOOK;
    const DWORD dialogStyle = static_cast<DWORD>(GetWindowLongA(dialog_, GWL_STYLE)) & ~added;
    EXPECT_EQ(dialogStyle, 0x90CA00C0u) << std::hex << dialogStyle;
    EXPECT_TRUE(GetWindowLongA(dialog_, GWL_EXSTYLE) & WS_EX_APPWINDOW);

    // MapDialogRect cannot reach a dialog of another process under Wine, so the base units
    // are the ones that make the client area the template's 194 x 150 units.
    RECT client;
    GetClientRect(dialog_, &client);
    int unitX = 0;
    int unitY = 0;
    for (int candidate = 1; candidate < 64; ++candidate) {
        unitX = MulDiv(194, candidate, 4) == client.right ? candidate : unitX;
        unitY = MulDiv(150, candidate, 8) == client.bottom ? candidate : unitY;
    }
    ASSERT_TRUE(unitX && unitY) << "client area " << client.right << " x " << client.bottom
                                << " is not 194 x 150 dialog units in any font";

    HWND child = GetWindow(dialog_, GW_CHILD);
    for (const TemplateControl& expected : controls) {
        SCOPED_TRACE(expected.text[0] ? expected.text : expected.className);
        ASSERT_NE(child, nullptr) << "fewer controls than the template";
        EXPECT_EQ(GetWindowLongPtrA(child, GWLP_ID), expected.id);
        EXPECT_EQ(ClassOf(child), expected.className);
        EXPECT_EQ(WindowText(child), expected.text);

        LONG style = GetWindowLongA(child, GWL_STYLE);
        const LONG exStyle = GetWindowLongA(child, GWL_EXSTYLE);
        // The hot-key and rich-edit controls draw the template's border as a client edge.
        if (exStyle & WS_EX_CLIENTEDGE) {
            style |= WS_BORDER;
        }
        // A combo box hands its scroll bar to its drop-down list, which shows it only when
        // the entries overflow the list; nine entries never do.
        if (expected.id == IDC_SPEED) {
            style |= WS_VSCROLL;
        }
        // The dialog marks its default push button; one that draws itself is still a push button.
        const bool pushButton = expected.className == std::string("Button") &&
                                (expected.style & BS_TYPEMASK) == BS_PUSHBUTTON;
        if (pushButton) {
            const LONG type = style & BS_TYPEMASK;
            EXPECT_TRUE(type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW)
                << "button type " << type;
            style &= ~BS_TYPEMASK;
        }
        EXPECT_EQ(style, expected.style) << std::hex << style;

        RECT window;
        GetWindowRect(child, &window);
        MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&window), 2);
        EXPECT_EQ(window.left, MulDiv(expected.x, unitX, 4));
        EXPECT_EQ(window.top, MulDiv(expected.y, unitY, 8));
        EXPECT_EQ(window.right - window.left, MulDiv(expected.width, unitX, 4));
        // The combo box's template height is that of its open list; closed, it is one line.
        if (expected.id == IDC_SPEED) {
            EXPECT_LT(window.bottom - window.top, MulDiv(expected.height, unitY, 8));
        } else {
            EXPECT_EQ(window.bottom - window.top, MulDiv(expected.height, unitY, 8));
        }
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr) << "more controls than the template";
}

TEST_F(EmulatorDialogTest, SpeedListOffersTheNineSteps) {
    StartAndWaitForDialog();

    const HWND list = Item(IDC_SPEED);
    std::vector<std::string> entries;
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        entries.push_back(ListEntry(list, static_cast<WPARAM>(index)));
    }
    EXPECT_EQ(entries,
              (std::vector<std::string>{"1", "2", "5", "10", "20", "50", "100", "200", "500"}));
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
