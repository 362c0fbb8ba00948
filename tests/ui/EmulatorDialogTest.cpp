// tarnwick.exe as its user meets it. Every test runs the real program from a directory of
// its own (so "para.dll" belongs to that test), drives it through its dialog, the keyboard
// and the pointer, and reads the results back from its windows, its message boxes and its
// settings file.

#include "ui/ProgramTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace wintest;

namespace {

using EmulatorDialogTest = ProgramTest;

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
    PressKey(VK_MULTIPLY);
    EXPECT_TRUE(target.WaitFor(WM_KEYDOWN, VK_MULTIPLY)) << "the extended keypad is off: no grid";
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
    ASSERT_TRUE(BringToFront(dialog_));
    ASSERT_EQ(FocusOf(dialog_), Item(IDC_SPEED)) << "the speed list has the focus at start";

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
