// tarnwick.exe in the notification area: its icon and what the icon shows, hiding the dialog
// and bringing it back, the tray menu, starting hidden, and an icon the shell has lost.
// Clicks are real clicks on the taskbar of Wine's virtual desktop.

#include "emulation/LoupeLayout.h"
#include "ui/ProgramTestSupport.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

using namespace wintest;

namespace {

const Bytes kMinimizeAtStartupSettings = {0x03, 0x00, 0x00, 0x00, 0x78, 0x00, 0x00, 0x00,
                                          0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00};

bool HasStyle(HWND window, LONG exStyle) { return (GetWindowLongA(window, GWL_EXSTYLE) & exStyle) != 0; }

// A point of the caption where the window answers `hit` (HTCLOSE, HTMINBUTTON).
POINT CaptionButton(HWND window, LRESULT hit) {
    RECT frame;
    GetWindowRect(window, &frame);
    const int y = frame.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    for (int x = frame.right - 1; x > frame.left; --x) {
        if (SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == hit) {
            return {x - 3, y};  // clear of the button's edge
        }
    }
    return {frame.left, frame.top};
}

// The shell's announcement that its notification area has been made, to every top-level window.
void BroadcastTaskbarCreated() {
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
}

class TrayTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        active_ = std::make_unique<ProgramIcon>(directory_ + "tarnwick.exe", IDI_ACTIVE);
        inactive_ = std::make_unique<ProgramIcon>(directory_ + "tarnwick.exe", IDI_INACTIVE);
        ASSERT_TRUE(active_->get() && inactive_->get());
    }

    // The icons hold the executable open; let go of it before it is deleted.
    void TearDown() override {
        active_.reset();
        inactive_.reset();
        ProgramTest::TearDown();
    }

    HICON Active() const { return active_->get(); }
    HICON Inactive() const { return inactive_->get(); }

    // Shown in the middle of the work area, with a taskbar button.
    void ExpectShownCentred() {
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(dialog_) != FALSE; })) << "not restored";
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        RECT at{};
        const auto centred = [&] {
            GetWindowRect(dialog_, &at);
            return at.left == work.left + (work.right - work.left - (at.right - at.left)) / 2 &&
                   at.top == work.top + (work.bottom - work.top - (at.bottom - at.top)) / 2;
        };
        EXPECT_TRUE(PumpUntil(centred)) << "at " << at.left << "," << at.top << " size "
                                        << at.right - at.left << " x " << at.bottom - at.top;
        EXPECT_TRUE(HasStyle(dialog_, WS_EX_APPWINDOW));
        EXPECT_FALSE(HasStyle(dialog_, WS_EX_TOOLWINDOW));
        EXPECT_TRUE(PumpUntil([] { return TaskbarButtons() == 1; })) << "no taskbar button";
    }

    // Hidden, without a taskbar button, and the program lives on.
    void ExpectHidden() {
        ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(dialog_); })) << "not hidden";
        EXPECT_TRUE(PumpUntil([] { return TaskbarButtons() == 0; })) << "taskbar button left";
        EXPECT_TRUE(Program().Running());
    }

    void RestoreByClick() {
        ASSERT_TRUE(ClickAt(TrayIconSpot()));
        ExpectShownCentred();
    }

private:
    std::unique_ptr<ProgramIcon> active_;
    std::unique_ptr<ProgramIcon> inactive_;
};

TEST_F(TrayTest, IconShowsTheTipAndFollowsTheStartStopKeyAndAKeypadDrag) {
    const std::string ini = "[Keypad]\r\nExtended=1\r\n";
    WriteBytes(directory_ + "tarnwick.ini", Bytes(ini.begin(), ini.end()));
    StartAndWaitForDialog();
    EXPECT_TRUE(TrayShows(Active()));
    const LRESULT bigIcon = SendMessageA(dialog_, WM_GETICON, ICON_BIG, 0);
    const LRESULT smallIcon = SendMessageA(dialog_, WM_GETICON, ICON_SMALL, 0);

    // The tray's tip control misses a pointer move now and then and shows nothing until the
    // pointer comes onto the icon again, so the pointer comes from elsewhere up to three times.
    const auto tipShown = [] {
        return FindProcessWindow(ProcessOf(Taskbar()), [](HWND window) {
                   return ClassOf(window) == "tooltips_class32" && IsWindowVisible(window) &&
                          ControlText(window) == kTitle;
               }) != nullptr;
    };
    bool shown = false;
    for (int attempt = 0; attempt < 3 && !shown; ++attempt) {
        ASSERT_TRUE(MovePointerTo(kPointerStart.x, kPointerStart.y));
        ASSERT_TRUE(MovePointerTo(TrayIconSpot().x, TrayIconSpot().y));
        shown = PumpUntil(tipShown, milliseconds(3000));
    }
    EXPECT_TRUE(shown) << "no tip \"Tarnwick\" over the icon";
    ASSERT_TRUE(MovePointerTo(kPointerStart.x, kPointerStart.y));

    PressKey(VK_F9);
    EXPECT_TRUE(TrayShows(Inactive())) << "emulation off";
    PressKey(VK_F9);
    EXPECT_TRUE(TrayShows(Active())) << "emulation on again";
    EXPECT_EQ(SendMessageA(dialog_, WM_GETICON, ICON_BIG, 0), bigIcon);
    EXPECT_EQ(SendMessageA(dialog_, WM_GETICON, ICON_SMALL, 0), smallIcon);

    // The keypad grid: topmost, click-through, never active, one pixel short of the monitor;
    // its own keys are taken only while it is open.
    KeyTarget target;
    ASSERT_TRUE(target.TakeFocus());
    const auto typed = [&](std::size_t times) {
        for (const WORD key : {WORD{VK_DIVIDE}, WORD{VK_SUBTRACT}, WORD{VK_ESCAPE}}) {
            PressKey(key);
            EXPECT_TRUE(PumpUntil([&] { return target.Count(WM_KEYDOWN, key) == times; })) << key;
        }
    };
    typed(1);
    const int buttons = TaskbarButtons();
    HWND grid = nullptr;
    const auto gridAt = [&](RECT expected) {
        RECT at{};
        return PumpUntil([&] {
            grid = FindWindowA("TarnwickGrid", nullptr);
            return grid && IsWindowVisible(grid) && GetWindowRect(grid, &at) && EqualRect(&at, &expected);
        });
    };
    const auto gridClosed = [&] { return PumpUntil([&] { return !IsWindowVisible(grid); }); };
    ASSERT_TRUE(MovePointerTo(100, 100));
    PressKey(VK_MULTIPLY);
    ASSERT_TRUE(gridAt({0, 0, 1024, 767}));
    const LONG overlay = WS_EX_TOPMOST | WS_EX_TRANSPARENT | WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;
    EXPECT_EQ(GetWindowLongA(grid, GWL_EXSTYLE) & overlay, overlay);
    EXPECT_TRUE(PointerPosition() == (POINT{100, 100}));
    HWND above = grid;
    while ((above = GetWindow(above, GW_HWNDPREV)) != nullptr && above != Taskbar()) {
    }
    EXPECT_EQ(above, nullptr) << "the taskbar is above the grid";
    const std::pair<WORD, POINT> steps[] = {{VK_NUMPAD7, {170, 127}}, {VK_NUMPAD3, {283, 212}},
                                            {VK_SUBTRACT, {170, 127}}, {VK_SUBTRACT, {100, 100}}};
    for (const auto& [key, pointer] : steps) {
        PressKey(key);
        EXPECT_TRUE(PointerSettlesAt(pointer)) << key;
    }
    EXPECT_TRUE(gridAt({0, 0, 1024, 767}));
    EXPECT_EQ(TaskbarButtons(), buttons) << "the grid has a taskbar button";
    PressKey(VK_SUBTRACT);
    EXPECT_TRUE(gridClosed()) << "back with no digit left cancels";

    PressKey(VK_MULTIPLY);
    ASSERT_TRUE(gridAt({0, 0, 1024, 767}));
    ASSERT_TRUE(ClickAt({900, 680}));
    EXPECT_TRUE(PumpUntil([&] { return target.Count(WM_LBUTTONDOWN, MK_LBUTTON) == 1; })) << "not click-through";
    // At a person's pace: what a level's lines leave shows again once its program repaints it.
    for (const char digit : std::string("355")) {
        PressKey(static_cast<WORD>(VK_NUMPAD0 + digit - '0'));
        PumpMessages(milliseconds(200));
    }
    // Three digits in, the loupe shows the target magnified where its arithmetic says: the
    // margin whole and each cell's bottom-right pixel, clear of its digit, with the previous
    // region's lines running through both before the loupe read them. It is the grid's kind
    // of window, and clicks and the focus stay with the target.
    const std::optional<LoupeLayout> layout = PlaceLoupe({0, 0, 1024, 768}, {834, 625, 38, 28}, 96);
    ASSERT_TRUE(layout);
    const ScreenArea& window = layout->window;
    const RECT loupeAt{window.left, window.top, window.left + window.width, window.top + window.height};
    HWND loupe = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        RECT at{};
        loupe = FindWindowA("TarnwickLoupe", nullptr);
        return loupe && IsWindowVisible(loupe) && GetWindowRect(loupe, &at) && EqualRect(&at, &loupeAt);
    }));
    EXPECT_EQ(GetWindowLongA(loupe, GWL_EXSTYLE) & overlay, overlay);
    RECT client;
    GetClientRect(target.get(), &client);
    MapWindowPoints(target.get(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    const auto onLoupe = [&](const std::vector<LoupeSpan>& spans, int pixel) {
        for (const LoupeSpan& span : spans) {
            if (pixel >= span.from && pixel < span.from + span.pixels) {
                return span.at + (pixel - span.from) * layout->zoom;
            }
        }
        return -1;
    };
    const auto magnified = [&] {
        const std::vector<DWORD> pixels = ScreenPixels(loupeAt);
        const ScreenArea& source = layout->source;
        const int right = std::min<int>(source.left + source.width, client.right);
        const int bottom = std::min<int>(source.top + source.height, client.bottom);
        for (int y = std::max<int>(source.top, client.top); y < bottom; ++y) {
            for (int x = std::max<int>(source.left, client.left); x < right; ++x) {
                const bool cellCorner = (x == 845 || x == 858 || x == 871) && (y == 633 || y == 642 || y == 652);
                if (x >= 834 && x < 872 && y >= 625 && y < 653 && !cellCorner) {
                    continue;
                }
                const int left = onLoupe(layout->columns, x);
                const int top = onLoupe(layout->rows, y);
                for (int dy = 0; dy < layout->zoom; ++dy) {
                    for (int dx = 0; dx < layout->zoom; ++dx) {
                        const auto at = static_cast<std::size_t>((top + dy) * window.width + left + dx);
                        if (pixels[at] != KeyTarget::Pattern(x, y)) {
                            return false;
                        }
                    }
                }
            }
        }
        return true;
    };
    EXPECT_TRUE(PumpUntil(magnified)) << "the loupe does not show the target's pixels";
    EXPECT_EQ(GetForegroundWindow(), target.get());
    ASSERT_TRUE(ClickAt({850, 640}));
    EXPECT_TRUE(PumpUntil([&] { return target.Count(WM_LBUTTONDOWN, MK_LBUTTON) == 2; })) << "not click-through";
    for (const char digit : std::string("3137")) {
        PressKey(static_cast<WORD>(VK_NUMPAD0 + digit - '0'));
    }
    EXPECT_TRUE(PointerSettlesAt({861, 651}));
    EXPECT_TRUE(gridClosed()) << "a single pixel closes the grid";
    EXPECT_FALSE(IsWindowVisible(loupe)) << "the loupe outlived the grid";
    PressKey(VK_MULTIPLY);
    ASSERT_TRUE(gridAt({0, 0, 1024, 767}));
    PressKey(VK_DIVIDE);
    EXPECT_TRUE(PumpUntil([&] { return target.Count(WM_LBUTTONDOWN, MK_LBUTTON) == 3; })) << "keypad /";
    EXPECT_TRUE(gridClosed());
    PressKey(VK_MULTIPLY);
    ASSERT_TRUE(gridAt({0, 0, 1024, 767}));
    PressKey(VK_NUMPAD5);
    EXPECT_TRUE(PointerSettlesAt({511, 383}));
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(gridClosed());
    EXPECT_TRUE(PointerSettlesAt({861, 651})) << "Esc puts the pointer back";
    PressKey(VK_MULTIPLY);
    ASSERT_TRUE(gridAt({0, 0, 1024, 767}));
    PostMessageA(dialog_, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    EXPECT_TRUE(gridClosed()) << "a display change";
    typed(2);
    EXPECT_EQ(GetForegroundWindow(), target.get());

    // The extended keypad's drag shows in the tray until it ends, however it ends; the
    // button is pressed over the bare desktop, where it does nothing.
    const ProgramIcon holding(directory_ + "tarnwick.exe", IDI_HOLDING);
    ASSERT_TRUE(MovePointerTo(20, 20));
    PressKey(VK_NUMPAD0);
    EXPECT_TRUE(TrayShows(holding.get())) << "left button held";
    PressKey(VK_DECIMAL);
    EXPECT_TRUE(TrayShows(Active())) << "dropped";
    PressKey(VK_NUMPAD0);
    ASSERT_TRUE(TrayShows(holding.get()));
    PostMessageA(dialog_, WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(TrayShows(Active())) << "Windows ends the session";
    EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON) & 0x8000, 0);
    PressKey(VK_NUMPAD0);
    ASSERT_TRUE(TrayShows(holding.get()));
    PostMessageA(Item(IDC_EXIT), BM_CLICK, 0, 0);
    ASSERT_TRUE(Program().WaitForExit());
    EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON) & 0x8000, 0) << "the button outlived the program";
}

TEST_F(TrayTest, EveryCloseHidesAndALeftClickBringsTheDialogBack) {
    StartAndWaitForDialog();
    ASSERT_TRUE(TrayShows(Active()));
    RECT normal;
    GetWindowRect(dialog_, &normal);

    {
        SCOPED_TRACE("close box");
        ASSERT_TRUE(ClickAt(CaptionButton(dialog_, HTCLOSE)));
        ExpectHidden();
        ExpectKeyMovesPointer(VK_NUMPAD4, {kPointerStart.x - 10, kPointerStart.y});
        // Moving over the icon, releasing a button on it or the middle button do nothing.
        for (LPARAM mouse : {WM_MOUSEMOVE, WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONDOWN}) {
            DWORD_PTR answer = 0;
            SendMessageTimeoutA(dialog_, WM_TRAY_NOTIFY, 128, mouse, SMTO_BLOCK, 5000, &answer);
        }
        EXPECT_FALSE(IsWindowVisible(dialog_));
        EXPECT_EQ(Program().OpenMenu(), nullptr);
        RestoreByClick();
    }
    {
        SCOPED_TRACE("Alt+F4");
        ASSERT_TRUE(BringToFront(dialog_));
        // Wine's combo box, which has the focus, swallows every key pressed with Alt; from the
        // Donate button Alt+F4 reaches the window.
        PressKey(VK_TAB, {VK_SHIFT});
        ASSERT_TRUE(PumpUntil([&] { return FocusOf(dialog_) == Item(IDC_DONATE); }));
        PressKey(VK_F4, {VK_MENU});
        ExpectHidden();
        PressKey(VK_F9);
        EXPECT_TRUE(TrayShows(Inactive())) << "the start/stop key works while hidden";
        PressKey(VK_F9);
        EXPECT_TRUE(TrayShows(Active()));
        RestoreByClick();
    }
    {
        SCOPED_TRACE("system menu's Close");
        PostMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);  // what choosing it sends
        ExpectHidden();
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(dialog_, WM_TRAY_NOTIFY, 128, WM_LBUTTONDBLCLK, SMTO_BLOCK, 5000, &answer);
        ExpectShownCentred();
    }
    {
        SCOPED_TRACE("Minimize button");
        PostMessageA(Item(IDC_MINIMIZE), BM_CLICK, 0, 0);
        ExpectHidden();
        RestoreByClick();
    }
    {
        SCOPED_TRACE("minimise box");
        ASSERT_TRUE(ClickAt(CaptionButton(dialog_, HTMINBUTTON)));
        ASSERT_TRUE(PumpUntil([&] { return IsIconic(dialog_) != FALSE; }));
        EXPECT_EQ(TaskbarButtons(), 1);
        RestoreByClick();
        EXPECT_FALSE(IsIconic(dialog_));
        RECT restored;
        GetWindowRect(dialog_, &restored);
        EXPECT_EQ(restored.right - restored.left, normal.right - normal.left);
        EXPECT_EQ(restored.bottom - restored.top, normal.bottom - normal.top);
    }
}

TEST_F(TrayTest, RightClickOpensTheMenuWhoseExitEndsTheProgram) {
    StartAndWaitForDialog();
    ASSERT_TRUE(TrayShows(Active()));

    ASSERT_TRUE(ClickAt(TrayIconSpot(), true));
    ASSERT_TRUE(PumpUntil([&] { return Program().OpenMenu() != nullptr; })) << "no menu";
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(PumpUntil([&] { return Program().OpenMenu() == nullptr; })) << "Esc left the menu open";
    EXPECT_TRUE(Program().Running());
    EXPECT_TRUE(IsWindowVisible(dialog_));

    // In the corner of the screen the menu has to open up and to the left; elsewhere its
    // top-left corner is at the pointer.
    const POINT cursor = {300, 300};
    ASSERT_TRUE(MovePointerTo(cursor.x, cursor.y));
    PostMessageA(dialog_, WM_TRAY_NOTIFY, 128, WM_RBUTTONDOWN);
    HWND menu = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (menu = Program().OpenMenu()) != nullptr; }));
    RECT at;
    GetWindowRect(menu, &at);
    EXPECT_EQ(at.left, cursor.x);
    EXPECT_EQ(at.top, cursor.y);

    // Its only item is "Exit", chosen with the keyboard: under Wine a pointer put on an open
    // menu does not stay where it was put.
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    ASSERT_TRUE(Program().WaitForExit());
    EXPECT_EQ(Program().ExitCode(), 0u);
    EXPECT_TRUE(TrayShows(nullptr)) << "the icon outlived the program";
}

// With the letter keypad on, the program starts with emulation off: at log-on every letter
// stays the user's until the start/stop key takes them.
TEST_F(TrayTest, MinimizeAtStartUpLeavesOnlyTheIconAndTheLettersFree) {
    WriteSettings(kMinimizeAtStartupSettings);
    const std::string ini = "[Keypad]\r\nLetters=1\r\n";
    WriteBytes(directory_ + "tarnwick.ini", Bytes(ini.begin(), ini.end()));
    {
        // The user goes on typing in another window meanwhile.
        KeyTarget target;
        ASSERT_TRUE(target.TakeFocus());
        PumpMessages(milliseconds(300));  // the taskbar lists the target's own button meanwhile
        const int buttons = TaskbarButtons();
        RunningProgram& program = Start();
        ASSERT_TRUE(program.Started()) << "CreateProcess failed with " << program.StartError();
        ASSERT_TRUE(TrayShows(Inactive()));
        dialog_ = program.DialogWindow();
        ASSERT_NE(dialog_, nullptr);
        EXPECT_FALSE(IsWindowVisible(dialog_));
        EXPECT_TRUE(HasStyle(dialog_, WS_EX_TOOLWINDOW));
        EXPECT_FALSE(HasStyle(dialog_, WS_EX_APPWINDOW));
        EXPECT_EQ(TaskbarButtons(), buttons);
        EXPECT_EQ(GetForegroundWindow(), target.get()) << "a hidden start took the keyboard";
        for (const WORD key : {WORD{'A'}, WORD{'U'}}) {
            PressKey(key);
            EXPECT_TRUE(target.WaitFor(WM_KEYDOWN, key)) << key;
        }

        // Taken: U moves left by the step, J clicks the window beneath, and the badge follows.
        PressKey(VK_F9);
        ASSERT_TRUE(TrayShows(Active()));
        ExpectKeyMovesPointer('U', {kPointerStart.x - 10, kPointerStart.y});
        const HWND badge = FindWindowA("TarnwickBadge", nullptr);
        RECT at{};
        EXPECT_TRUE(PumpUntil([&] {
            return IsWindowVisible(badge) && GetWindowRect(badge, &at) && at.left > kPointerStart.x - 10 &&
                   at.top > kPointerStart.y;
        })) << "no badge below and right of the pointer";
        EXPECT_EQ(GetWindowLongA(badge, GWL_EXSTYLE) & WS_EX_TRANSPARENT, WS_EX_TRANSPARENT);
        ASSERT_TRUE(MovePointerTo(860, 650));
        PressKey('J');
        EXPECT_TRUE(target.WaitFor(WM_LBUTTONDOWN, MK_LBUTTON)) << "J clicked nothing";

        // Esc hands them back, and the next U types.
        PressKey(VK_ESCAPE);
        EXPECT_TRUE(TrayShows(Inactive()));
        EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(badge); }));
        PressKey('U');
        EXPECT_TRUE(PumpUntil([&] { return target.Count(WM_KEYDOWN, 'U') == 2; }));
        EXPECT_EQ(target.Count(WM_KEYDOWN, VK_ESCAPE), 0u);
        EXPECT_EQ(GetForegroundWindow(), target.get());
    }

    RestoreByClick();
    EXPECT_EQ(SendMessageA(Item(IDC_MINIMIZE_AT_STARTUP), BM_GETCHECK, 0, 0), BST_CHECKED);

    // Without the letters, and with NumLock off as this session's display has it, turning
    // emulation on says so from the tray icon, in one balloon however often it is said.
    PostMessageA(dialog_, WM_SYSCOMMAND, IDM_LETTER_KEYPAD, 0);
    const auto balloons = [] {
        int shown = 0;
        EnumWindows(
            [](HWND window, LPARAM count) -> BOOL {
                *reinterpret_cast<int*>(count) += ProcessOf(window) == ProcessOf(Taskbar()) &&
                                                  ClassOf(window) == "tooltips_class32" && IsWindowVisible(window) &&
                                                  ControlText(window).rfind("With NumLock off", 0) == 0;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&shown));
        return shown;
    };
    PressKey(VK_F9);
    ASSERT_TRUE(TrayShows(Active()));
    PressKey(VK_F9);
    PressKey(VK_F9);
    EXPECT_TRUE(PumpUntil([&] { return balloons() == 1; }, milliseconds(8000))) << "no balloon";
    PumpMessages(milliseconds(500));
    EXPECT_EQ(balloons(), 1);
}

// Stands in for a notification area that is not ready: the shell finds the first window of
// this class and asks it to add the icon, and this one refuses.
class UnreadyTray {
public:
    UnreadyTray() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "Shell_TrayWnd";
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(WS_EX_TOPMOST, "Shell_TrayWnd", nullptr, WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    UnreadyTray(const UnreadyTray&) = delete;
    UnreadyTray& operator=(const UnreadyTray&) = delete;
    ~UnreadyTray() { Close(); }

    bool Made() const { return window_ != nullptr; }
    void Close() {
        if (window_) {
            DestroyWindow(window_);
            window_ = nullptr;
        }
    }
    static int refused;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_COPYDATA) {
            ++refused;
            return FALSE;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    HWND window_;
};
int UnreadyTray::refused = 0;

TEST_F(TrayTest, IconComesBackWheneverTheTaskbarIsMade) {
    // Started hidden before the notification area is ready, as at log-on.
    WriteSettings(kMinimizeAtStartupSettings);
    UnreadyTray unready;
    ASSERT_TRUE(unready.Made());
    UnreadyTray::refused = 0;
    RunningProgram& program = Start();
    ASSERT_TRUE(PumpUntil([&] { return (dialog_ = program.DialogWindow()) != nullptr; }));
    ASSERT_TRUE(PumpUntil([] { return UnreadyTray::refused > 0; })) << "no icon was asked for";
    PumpMessages(std::chrono::milliseconds(300));
    EXPECT_TRUE(TrayShows(nullptr));
    unready.Close();

    BroadcastTaskbarCreated();
    EXPECT_TRUE(TrayShows(Active())) << "not added once the taskbar was there";

    // Explorer restarted: the icon is gone behind the program's back.
    PressKey(VK_F9);
    ASSERT_TRUE(TrayShows(Inactive()));
    NOTIFYICONDATAA lost{};
    lost.cbSize = NOTIFYICONDATAA_V1_SIZE;
    lost.hWnd = dialog_;
    lost.uID = 128;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &lost));
    ASSERT_TRUE(TrayShows(nullptr));
    BroadcastTaskbarCreated();
    EXPECT_TRUE(TrayShows(Inactive())) << "not added again with its current picture";

    // Only shown: Wine took the work area from the stand-in taskbar when the program started.
    ASSERT_TRUE(ClickAt(TrayIconSpot()));
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(dialog_) != FALSE; })) << "not restored";
}

}  // namespace
