// The engine against the real hotkey, input and message-box services: keys sent with
// SendInput reach it as WM_HOTKEY, and what it injects moves and clicks for real.

#include "emulation/EmulationEngine.h"

#include "platform/Handle.h"
#include "platform/Win32Services.h"
#include "platform/WinTestSupport.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace wintest;

namespace {

// A visible top-level window that hands WM_HOTKEY to the engine, as the dialog does,
// and records the input that reaches it.
class HostWindow {
public:
    explicit HostWindow(EmulationEngine*& engine) : engine_(engine) {
        WNDCLASSA windowClass{};
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = &Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "TarnwickEngineHost";
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(WS_EX_TOPMOST, "TarnwickEngineHost", "Engine host",
                                  WS_POPUP | WS_VISIBLE, 200, 150, 400, 300, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), this);
        SetForegroundWindow(window_);
        SetFocus(window_);
        PumpMessages(milliseconds(100));
    }
    ~HostWindow() { DestroyWindow(window_); }

    HWND get() const { return window_; }
    POINT Centre() const {
        RECT rect;
        GetWindowRect(window_, &rect);
        return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }

    std::vector<int> hotKeys;
    std::vector<UINT> mouseMessages;  // buttons, and moves while the left one is down
    std::vector<int> wheelDeltas;
    std::vector<WPARAM> keysDown;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        }
        auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        switch (message) {
            case WM_HOTKEY:
                self->hotKeys.push_back(static_cast<int>(wParam));
                self->engine_->OnHotKey(static_cast<int>(wParam));
                return 0;
            case WM_KEYDOWN: self->keysDown.push_back(wParam); return 0;
            case WM_MOUSEWHEEL: self->wheelDeltas.push_back(GET_WHEEL_DELTA_WPARAM(wParam)); return 0;
            case WM_MOUSEMOVE:
                if ((wParam & MK_LBUTTON) &&
                    (self->mouseMessages.empty() || self->mouseMessages.back() != WM_MOUSEMOVE)) {
                    self->mouseMessages.push_back(message);
                }
                return 0;
            case WM_LBUTTONDBLCLK:
            case WM_LBUTTONDOWN:
            case WM_LBUTTONUP:
            case WM_MBUTTONDOWN:
            case WM_MBUTTONUP:
            case WM_RBUTTONDOWN:
            case WM_RBUTTONUP: self->mouseMessages.push_back(message); return 0;
            default: return DefWindowProcA(window, message, wParam, lParam);
        }
    }

    EmulationEngine*& engine_;
    HWND window_;
};

class NoGrid final : public GridView {
    void Show(const ScreenArea&, const ScreenArea&, ScreenPoint) override {}
    void Hide() override {}
};

class NoBadge final : public BadgeView {
    void Show(ScreenPoint) override {}
    void Hide() override {}
};

class NoNotices final : public NoticeService {
    void NumLockOff() override {}
};

class EmulationEngineWinTest : public ::testing::Test {
protected:
    EmulationEngineWinTest()
        : engine(settings, {hotKeys, mouse, keyboard, messages, grid, badge, notices},
                 [this](bool active) { notified.push_back(active); }),
          enginePointer(&engine),
          host(enginePointer) {
        engine.BindWindow(host.get());
    }

    void StartUp() {
        engine.RegisterStartStop();
        engine.RegisterEmulationKeys();
    }

    // Presses a key and waits until the host has seen `count` hotkeys in all.
    void PressHotKey(WORD key, std::size_t count) {
        PressKey(key);
        ASSERT_TRUE(PumpUntil([&] { return host.hotKeys.size() >= count; })) << "hotkey for " << key;
    }

    EmulatorSettings settings;
    Win32HotKeys hotKeys;
    Win32Mouse mouse;
    Win32Keyboard keyboard;
    Win32Messages messages;
    NoGrid grid;
    NoBadge badge;
    NoNotices notices;
    std::vector<bool> notified;
    EmulationEngine engine;
    EmulationEngine* enginePointer;
    HostWindow host;
};

TEST_F(EmulationEngineWinTest, KeypadMovesLandExactlyTheStepAwayEvenAtTheEdges) {
    // The test prefix keeps the system's pointer acceleration, which would scale a relative move.
    int pointer[3] = {};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETMOUSE, 0, pointer, 0));
    ASSERT_NE(pointer[2], 0) << "pointer acceleration is off; this test would prove less";
    StartUp();
    const ScreenArea screen = mouse.VirtualScreen();
    const int right = screen.left + screen.width - 1;
    const int bottom = screen.top + screen.height - 1;
    struct Case {
        WORD key;
        int expectedId;
        int speedIndex;
        POINT from;
        POINT to;
    };
    const Case cases[] = {
        {VK_NUMPAD4, HOTKEY_MOVE_LEFT, 5, {400, 300}, {350, 300}},
        {VK_NUMPAD6, HOTKEY_MOVE_RIGHT, 0, {400, 300}, {401, 300}},
        {VK_NUMPAD5, HOTKEY_MOVE_DOWN, 2, {400, 300}, {400, 305}},
        {VK_NUMPAD8, HOTKEY_MOVE_UP, 3, {400, 300}, {400, 290}},
        {VK_NUMPAD6, HOTKEY_MOVE_RIGHT, 3, {right - 10, 77}, {right, 77}},
        {VK_NUMPAD6, HOTKEY_MOVE_RIGHT, 0, {right - 1, 77}, {right, 77}},
        {VK_NUMPAD5, HOTKEY_MOVE_DOWN, 0, {33, bottom - 1}, {33, bottom}},
        {VK_NUMPAD5, HOTKEY_MOVE_DOWN, 8, {right, bottom - 3}, {right, bottom}},
        {VK_NUMPAD4, HOTKEY_MOVE_LEFT, 9, {screen.left + 700, bottom}, {screen.left, bottom}},
        {VK_NUMPAD8, HOTKEY_MOVE_UP, 4, {right, screen.top + 19}, {right, screen.top}},
        {VK_NUMPAD4, HOTKEY_MOVE_LEFT, 0, {screen.left + 1, screen.top}, {screen.left, screen.top}},
        {VK_NUMPAD6, HOTKEY_MOVE_RIGHT, 7, {511, 383}, {711, 383}},
    };
    std::size_t pressed = 0;
    for (const Case& c : cases) {
        settings.speedIndex = c.speedIndex;
        ASSERT_TRUE(MovePointerTo(c.from.x, c.from.y))
            << "pointer stays at " << PointerPosition().x << "," << PointerPosition().y << ", not "
            << c.from.x << "," << c.from.y;
        PressHotKey(c.key, ++pressed);
        EXPECT_EQ(host.hotKeys.back(), c.expectedId);
        const bool landed = PumpUntil([&] { return PointerPosition().x == c.to.x && PointerPosition().y == c.to.y; },
                                      milliseconds(2000));
        EXPECT_TRUE(landed) << "from " << c.from.x << "," << c.from.y << " expected " << c.to.x << ","
                            << c.to.y << " got " << PointerPosition().x << "," << PointerPosition().y;
    }
}

TEST_F(EmulationEngineWinTest, KeypadClicksReachTheWindowUnderThePointer) {
    StartUp();
    const POINT centre = host.Centre();
    ASSERT_TRUE(MovePointerTo(centre.x, centre.y));
    PressHotKey(VK_NUMPAD1, 1);
    PressHotKey(VK_NUMPAD2, 2);
    PressHotKey(VK_NUMPAD3, 3);
    ASSERT_TRUE(PumpUntil([&] { return host.mouseMessages.size() >= 6; }));
    EXPECT_EQ(host.mouseMessages, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MBUTTONDOWN,
                                                     WM_MBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP}));
    EXPECT_EQ(host.hotKeys, (std::vector<int>{HOTKEY_LEFT_CLICK, HOTKEY_MIDDLE_CLICK, HOTKEY_RIGHT_CLICK}));
}

TEST_F(EmulationEngineWinTest, WhileStoppedTheKeypadBelongsToTheFocusedWindow) {
    StartUp();
    PressHotKey(VK_F9, 1);
    EXPECT_FALSE(engine.Active());

    ASSERT_TRUE(MovePointerTo(300, 300));
    PressKey(VK_NUMPAD4);
    ASSERT_TRUE(PumpUntil([&] { return !host.keysDown.empty(); }));
    EXPECT_EQ(host.keysDown, (std::vector<WPARAM>{VK_NUMPAD4}));
    EXPECT_EQ(PointerPosition().x, 300);
    EXPECT_EQ(host.hotKeys.size(), 1u);

    PressHotKey(VK_F9, 2);
    EXPECT_TRUE(engine.Active());
    PressHotKey(VK_NUMPAD4, 3);
    EXPECT_TRUE(PumpUntil([&] { return PointerPosition().x == 290; }));
    EXPECT_EQ(host.keysDown.size(), 1u);
    EXPECT_EQ(notified, (std::vector<bool>{false, true}));
}

TEST_F(EmulationEngineWinTest, TheExtendedKeypadWheelsDoubleClicksAndDragsAndLetsGoWhenStopped) {
    StartUp();
    PressKey(VK_NUMPAD7);  // the option is off: the key is the focused window's
    ASSERT_TRUE(PumpUntil([&] { return !host.keysDown.empty(); }));
    EXPECT_EQ(host.keysDown, (std::vector<WPARAM>{VK_NUMPAD7}));

    engine.SetExtendedKeypad(true);
    const POINT centre = host.Centre();
    ASSERT_TRUE(MovePointerTo(centre.x, centre.y));
    PressHotKey(VK_NUMPAD7, 1);
    PressHotKey(VK_NUMPAD9, 2);
    EXPECT_TRUE(PumpUntil([&] { return host.wheelDeltas.size() >= 2; }));
    EXPECT_EQ(host.wheelDeltas, (std::vector<int>{120, -120}));

    PressHotKey(VK_ADD, 3);
    EXPECT_TRUE(PumpUntil([&] { return host.mouseMessages.size() >= 4; }));
    EXPECT_EQ(host.mouseMessages,
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));

    host.mouseMessages.clear();
    PressHotKey(VK_NUMPAD0, 4);
    PressHotKey(VK_NUMPAD6, 5);
    EXPECT_TRUE(PumpUntil([&] { return PointerPosition().x == centre.x + 10; }));
    PressKey(VK_NUMPAD4, {VK_CONTROL});  // ten steps back, still dragging
    EXPECT_TRUE(PumpUntil([&] { return PointerPosition().x == centre.x - 90; }));
    PressHotKey(VK_DECIMAL, 7);
    EXPECT_TRUE(PumpUntil([&] { return host.mouseMessages.size() >= 3; }));
    EXPECT_EQ(host.mouseMessages, (std::vector<UINT>{WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP}));

    host.mouseMessages.clear();
    PressHotKey(VK_NUMPAD0, 8);
    PressHotKey(VK_F9, 9);
    EXPECT_FALSE(engine.Active());
    EXPECT_TRUE(PumpUntil([&] { return host.mouseMessages.size() >= 2; }));
    EXPECT_EQ(host.mouseMessages, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
    EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON) & 0x8000, 0);
}

// Another process holds F9 until told to let go; see HoldHotKey in the test main.
class HotKeyHolder {
public:
    explicit HotKeyHolder(unsigned virtualKey)
        : held_(CreateEventA(nullptr, TRUE, FALSE, "TarnwickTestHotKeyHeld")),
          release_(CreateEventA(nullptr, TRUE, FALSE, "TarnwickTestHotKeyRelease")) {
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string command = std::string("\"") + path + "\" --hold-hotkey " + std::to_string(virtualKey);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                           &process)) {
            process_ = Handle(process.hProcess);
            Handle thread(process.hThread);
        }
    }
    ~HotKeyHolder() {
        SetEvent(release_.get());
        WaitForSingleObject(process_.get(), 10000);
    }
    bool Holding() { return process_ && WaitForSingleObject(held_.get(), 10000) == WAIT_OBJECT_0; }

private:
    Handle held_;
    Handle release_;
    Handle process_;
};

TEST_F(EmulationEngineWinTest, AStartStopKeyHeldByAnotherProgramIsReported) {
    HotKeyHolder holder(VK_F9);
    ASSERT_TRUE(holder.Holding());

    std::atomic<bool> stop{false};
    MessageBoxSeen seen;
    HWND owner = nullptr;
    std::thread watcher([&] {
        WaitUntil([&] { return stop || (seen = FindMessageBox("Tarnwick", GetCurrentProcessId())).window; },
                  milliseconds(10000));
        if (seen.window) {
            owner = GetWindow(seen.window, GW_OWNER);
            PostMessageA(seen.window, WM_COMMAND, IDOK, 0);
        }
    });
    engine.RegisterStartStop();  // returns once the box is dismissed
    stop = true;
    watcher.join();

    ASSERT_NE(seen.window, nullptr);
    EXPECT_EQ(seen.text, "Register start/stop hotkey failure. Please re-set the hotkey.");
    EXPECT_EQ(seen.icon, LoadIconA(nullptr, IDI_EXCLAMATION));
    EXPECT_EQ(owner, host.get());
}

}  // namespace
