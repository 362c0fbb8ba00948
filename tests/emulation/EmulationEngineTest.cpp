#include "emulation/EmulationEngine.h"

#include "platform/FakeServices.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <set>
#include <utility>

namespace {

const std::vector<HotKeyCall> kKeypadRegistrations = {
    Registered(1101, 0, 0x61), Registered(1102, 0, 0x62), Registered(1103, 0, 0x63),
    Registered(1104, 0, 0x64), Registered(1105, 0, 0x65), Registered(1106, 0, 0x66),
    Registered(1108, 0, 0x68),
};
const std::vector<HotKeyCall> kKeypadUnregistrations = {
    Unregistered(1101), Unregistered(1102), Unregistered(1103), Unregistered(1104),
    Unregistered(1105), Unregistered(1106), Unregistered(1108),
};
// Keypad 5 with NumLock off, taken with the seven.
const HotKeyCall kNumLock = Registered(1231, 0, 0x0C);
const char kEmulationFailure[] =
    "Register emulation hotkey failure. \r\n"
    "Please close the software which has occupied hotkey of numeric keypad.";
// `calls`, each turned into its unregistration when `registering` is false, after `first`.
std::vector<HotKeyCall> Then(std::vector<HotKeyCall> first, const std::vector<HotKeyCall>& calls,
                             bool registering) {
    for (const HotKeyCall& call : calls) {
        first.push_back(registering ? call : Unregistered(call.id));
    }
    return first;
}

constexpr std::uint32_t kAbsoluteMove = 0x0001 | 0x4000 | 0x8000;

WindowHandle const kWindow = reinterpret_cast<WindowHandle>(0x1234);

class EmulationEngineTest : public ::testing::Test {
protected:
    EmulationEngineTest()
        : engine(settings, {hotKeys, mouse, keyboard, messages, gridView, badge, notices},
                 [this](bool active) { notified.push_back(active); }, [this](bool held) { holds.push_back(held); }) {
        engine.BindWindow(kWindow);
    }

    void StartUp() {
        engine.RegisterStartStop();
        engine.RegisterEmulationKeys();
        hotKeys.calls.clear();
    }

    EmulatorSettings settings;
    FakeHotKeys hotKeys;
    FakeMouse mouse;
    FakeKeyboard keyboard;
    FakeMessages messages;
    FakeGridView gridView;
    FakeBadge badge;
    FakeNotices notices;
    std::vector<bool> notified;
    std::vector<bool> holds;
    EmulationEngine engine;
};

TEST_F(EmulationEngineTest, StepTableCoversTheListAndFallsBackToTenPixels) {
    const std::vector<std::pair<int, int>> expected = {
        {0, 1},    {1, 2},    {2, 5},    {3, 10},   {4, 20},   {5, 50}, {6, 100},
        {7, 200},  {8, 500},  {9, 1000}, {-1, 10},  {10, 10},  {12, 10}, {INT32_MIN, 10},
    };
    for (const auto& [index, pixels] : expected) {
        settings.speedIndex = index;
        EXPECT_EQ(engine.StepPixels(), pixels) << "speed index " << index;
    }
}

TEST_F(EmulationEngineTest, ControlModifiersBecomeRegistrationModifiersWithoutTheExtendedBit) {
    EXPECT_EQ(EmulationEngine::ToHotKeyModifiers(0x00), 0x00);
    EXPECT_EQ(EmulationEngine::ToHotKeyModifiers(0x01), 0x04);  // Shift
    EXPECT_EQ(EmulationEngine::ToHotKeyModifiers(0x02), 0x02);  // Control
    EXPECT_EQ(EmulationEngine::ToHotKeyModifiers(0x04), 0x01);  // Alt
    EXPECT_EQ(EmulationEngine::ToHotKeyModifiers(0x03), 0x06);  // Ctrl+Shift
    EXPECT_EQ(EmulationEngine::ToHotKeyModifiers(0x0A), 0x02);  // Ctrl+Insert, not Ctrl+Win+Insert
    EXPECT_EQ(EmulationEngine::ToHotKeyModifiers(0x0F), 0x07);
    EXPECT_EQ(EmulationEngine::ToHotKeyModifiers(0x4010), 0x4010);  // other bits pass
}

TEST_F(EmulationEngineTest, StartUpRegistersTheStartStopKeyThenTheSevenKeypadKeys) {
    settings.hotKeyVirtualKey = 0x5A;
    settings.hotKeyModifiers = 0x03;
    engine.RegisterStartStop();
    engine.RegisterEmulationKeys();

    std::vector<HotKeyCall> expected = {Registered(HOTKEY_START_STOP, 0x06, 0x5A)};
    expected.insert(expected.end(), kKeypadRegistrations.begin(), kKeypadRegistrations.end());
    expected.push_back(kNumLock);
    EXPECT_EQ(hotKeys.calls, expected);
    EXPECT_EQ(hotKeys.lastWindow, kWindow);
    EXPECT_TRUE(engine.Active());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(EmulationEngineTest, RegistrationFailuresAtStartUpAreReportedOnceEach) {
    hotKeys.takenElsewhere = {{0, 0x78}, {0, 0x64}};
    engine.RegisterStartStop();
    engine.RegisterEmulationKeys();

    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, "Register start/stop hotkey failure. Please re-set the hotkey.");
    EXPECT_EQ(messages.shown[1].text, kEmulationFailure);
    for (const ShownMessage& message : messages.shown) {
        EXPECT_EQ(message.caption, "Tarnwick");
        EXPECT_EQ(message.style, 0x30u);
        EXPECT_EQ(message.owner, kWindow);
    }
    // Every key is still tried, and the ones that registered work.
    EXPECT_EQ(hotKeys.calls.size(), 9u);
    EXPECT_TRUE(engine.Active());
    engine.OnHotKey(HOTKEY_LEFT_CLICK);
    EXPECT_EQ(mouse.injections.size(), 1u);
}

TEST_F(EmulationEngineTest, TheStartStopKeyReleasesAndRetakesTheKeypadInOrder) {
    StartUp();

    engine.OnHotKey(HOTKEY_START_STOP);
    EXPECT_FALSE(engine.Active());
    EXPECT_EQ(hotKeys.calls, Then(kKeypadUnregistrations, {kNumLock}, false));
    EXPECT_TRUE(hotKeys.Holds(HOTKEY_START_STOP, 0, 0x78));

    for (int id : {1101, 1102, 1103, 1104, 1105, 1106, 1108}) {
        engine.OnHotKey(id);
    }
    EXPECT_TRUE(mouse.injections.empty());

    hotKeys.calls.clear();
    hotKeys.takenElsewhere = {{0, 0x61}};  // taken while we were off: silently left to its taker
    engine.OnHotKey(HOTKEY_START_STOP);
    EXPECT_TRUE(engine.Active());
    EXPECT_EQ(hotKeys.calls, Then(kKeypadRegistrations, {kNumLock}, true));
    EXPECT_EQ(notified, (std::vector<bool>{false, true}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(EmulationEngineTest, ClicksArePressAndReleaseInOneInput) {
    StartUp();
    engine.OnHotKey(HOTKEY_LEFT_CLICK);
    engine.OnHotKey(HOTKEY_MIDDLE_CLICK);
    engine.OnHotKey(HOTKEY_RIGHT_CLICK);
    ASSERT_EQ(mouse.injections.size(), 3u);
    const std::uint32_t flags[] = {0x0006, 0x0060, 0x0018};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(mouse.injections[i].flags, flags[i]);
        EXPECT_EQ(mouse.injections[i].dx, 0);
        EXPECT_EQ(mouse.injections[i].dy, 0);
    }
    engine.OnHotKey(1107);
    engine.OnHotKey(0);
    EXPECT_EQ(mouse.injections.size(), 3u);
}

// The pointer must land exactly the step away on every layout, at every position,
// and stop at the edge of the desktop rather than wrap or overshoot.
TEST_F(EmulationEngineTest, EveryMoveLandsExactlyTheStepAwayClampedToTheDesktop) {
    StartUp();
    const ScreenArea layouts[] = {
        {0, 0, 1024, 768}, {0, 0, 1920, 1080}, {-1920, 0, 3840, 1080},
        {-1280, -300, 2646, 1324}, {0, 0, 1366, 768}, {0, 0, 7680, 4320},
    };
    const std::pair<int, int> directions[] = {
        {HOTKEY_MOVE_LEFT, 0}, {HOTKEY_MOVE_DOWN, 1}, {HOTKEY_MOVE_RIGHT, 2}, {HOTKEY_MOVE_UP, 3}};
    int moves = 0;
    for (const ScreenArea& screen : layouts) {
        mouse.screen = screen;
        const int right = screen.left + screen.width - 1;
        const int bottom = screen.top + screen.height - 1;
        for (int index : {0, 3, 5, 8, 9}) {
            settings.speedIndex = index;
            const int step = engine.StepPixels();
            for (int x = screen.left; x <= right; x += (x + 4 > right || x < screen.left + 4) ? 1 : 37) {
                const int y = screen.top + (x - screen.left) * (screen.height - 1) / (screen.width - 1);
                for (const auto& [id, direction] : directions) {
                    mouse.cursor = {x, y};
                    engine.OnHotKey(id);
                    int wantX = x, wantY = y;
                    switch (direction) {
                        case 0: wantX = std::max(screen.left, x - step); break;
                        case 1: wantY = std::min(bottom, y + step); break;
                        case 2: wantX = std::min(right, x + step); break;
                        case 3: wantY = std::max(screen.top, y - step); break;
                    }
                    ASSERT_EQ(mouse.injections.back().flags, kAbsoluteMove);
                    ASSERT_EQ(mouse.cursor.x, wantX) << "from " << x << "," << y << " step " << step;
                    ASSERT_EQ(mouse.cursor.y, wantY) << "from " << x << "," << y << " step " << step;
                    ++moves;
                }
            }
        }
    }
    EXPECT_EQ(static_cast<std::size_t>(moves), mouse.injections.size());
}

TEST_F(EmulationEngineTest, TheSpeedIsReadAtEveryMove) {
    StartUp();
    mouse.cursor = {500, 500};
    settings.speedIndex = 9;
    engine.OnHotKey(HOTKEY_MOVE_LEFT);
    EXPECT_EQ(mouse.cursor.x, 0);
    settings.speedIndex = 5;
    engine.OnHotKey(HOTKEY_MOVE_RIGHT);
    EXPECT_EQ(mouse.cursor.x, 50);
    settings.speedIndex = -1;
    engine.OnHotKey(HOTKEY_MOVE_DOWN);
    EXPECT_EQ(mouse.cursor.y, 510);
}

TEST_F(EmulationEngineTest, WithoutAKnownPointerPositionNothingIsInjected) {
    StartUp();
    mouse.cursorKnown = false;
    engine.OnHotKey(HOTKEY_MOVE_LEFT);
    EXPECT_TRUE(mouse.injections.empty());
}

TEST_F(EmulationEngineTest, AStartStopKeyWithAModifierIsAccepted) {
    StartUp();
    settings.hotKeyVirtualKey = 0x4B;  // Ctrl+Alt+K
    settings.hotKeyModifiers = 0x06;
    EXPECT_TRUE(engine.ChangeStartStopKey({0x78, 0}));
    EXPECT_EQ(hotKeys.calls, (std::vector<HotKeyCall>{Unregistered(HOTKEY_START_STOP),
                                                      Registered(HOTKEY_START_STOP, 0x03, 0x4B)}));

    settings.hotKeyVirtualKey = 0x2D;  // Ctrl+Insert, reported with the extended-key bit
    settings.hotKeyModifiers = 0x0A;
    EXPECT_TRUE(engine.ChangeStartStopKey({0x4B, 0x06}));
    EXPECT_TRUE(hotKeys.Holds(HOTKEY_START_STOP, 0x02, 0x2D));
    EXPECT_TRUE(engine.Active());
    EXPECT_TRUE(notified.empty());
}

TEST_F(EmulationEngineTest, ARefusedStartStopKeyIsReleasedAndThePreviousOneRestored) {
    settings.hotKeyVirtualKey = 0x4B;
    settings.hotKeyModifiers = 0x06;
    StartUp();

    settings.hotKeyVirtualKey = 0x4B;  // plain K
    settings.hotKeyModifiers = 0;
    EXPECT_FALSE(engine.ChangeStartStopKey({0x4B, 0x06}));
    EXPECT_EQ(hotKeys.calls, (std::vector<HotKeyCall>{
                                 Unregistered(HOTKEY_START_STOP), Registered(HOTKEY_START_STOP, 0, 0x4B),
                                 Unregistered(HOTKEY_START_STOP), Registered(HOTKEY_START_STOP, 0x03, 0x4B)}));
    EXPECT_TRUE(hotKeys.Holds(HOTKEY_START_STOP, 0x03, 0x4B));

    settings.hotKeyVirtualKey = 0x2D;  // Insert alone: the extended-key bit is no modifier
    settings.hotKeyModifiers = 0x08;
    EXPECT_FALSE(engine.ChangeStartStopKey({0x4B, 0x06}));
    EXPECT_TRUE(hotKeys.Holds(HOTKEY_START_STOP, 0x03, 0x4B));

    hotKeys.takenElsewhere = {{0x02, 0x51}};  // Ctrl+Q held by another program
    settings.hotKeyVirtualKey = 0x51;
    settings.hotKeyModifiers = 0x02;
    EXPECT_FALSE(engine.ChangeStartStopKey({0x4B, 0x06}));
    EXPECT_TRUE(hotKeys.Holds(HOTKEY_START_STOP, 0x03, 0x4B));

    EXPECT_TRUE(engine.Active());
    EXPECT_TRUE(messages.shown.empty());
}

const std::vector<HotKeyCall> kExtension = {
    Registered(1201, 0, 0x67), Registered(1202, 0, 0x69), Registered(1203, 0, 0x60),
    Registered(1204, 0, 0x6E), Registered(1205, 0, 0x6B), Registered(1211, 2, 0x64),
    Registered(1212, 2, 0x65), Registered(1213, 2, 0x66), Registered(1214, 2, 0x68),
    Registered(1221, 0, 0x6A),
};
const Injection kLeftDown{0x0002};
const Injection kLeftUp{0x0004};


class ExtendedKeypadTest : public EmulationEngineTest {
protected:
    ExtendedKeypadTest() { StartUp(); }
    std::vector<HotKeyCall> TakeCalls() { return std::exchange(hotKeys.calls, {}); }
};

// Off by default; taken and handed back with the seven; keys held elsewhere named once.
TEST_F(ExtendedKeypadTest, ItsKeysAreRegisteredOnlyWhileEmulationAndTheOptionAreOn) {
    engine.OnHotKey(HOTKEY_START_STOP);
    engine.OnHotKey(HOTKEY_START_STOP);
    const std::vector<HotKeyCall> keypad = Then(kKeypadRegistrations, {kNumLock}, true);
    EXPECT_EQ(TakeCalls(), Then(Then(kKeypadUnregistrations, {kNumLock}, false), keypad, true)) << "option off";

    hotKeys.takenElsewhere = {{0, 0x67}, {2, 0x66}};
    engine.SetExtendedKeypad(true);
    EXPECT_EQ(TakeCalls(), kExtension);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Register extended keypad hotkey failure: Keypad 7, Ctrl+Keypad 6. \r\n"
              "Please close the software which has occupied these keys.");
    EXPECT_EQ(messages.shown[0].style, 0x30u);
    hotKeys.takenElsewhere.clear();

    engine.OnHotKey(HOTKEY_START_STOP);
    std::vector<HotKeyCall> taken = kExtension;  // not the two held elsewhere
    taken.erase(taken.begin() + 7);
    taken.erase(taken.begin());
    EXPECT_EQ(TakeCalls(), Then(Then(kKeypadUnregistrations, taken, false), {kNumLock}, false));
    engine.SetExtendedKeypad(false);
    engine.SetExtendedKeypad(true);
    EXPECT_EQ(TakeCalls(), std::vector<HotKeyCall>{}) << "switched while stopped: nothing taken";
    engine.OnHotKey(HOTKEY_START_STOP);
    EXPECT_EQ(TakeCalls(), Then(Then(kKeypadRegistrations, kExtension, true), {kNumLock}, true));
    engine.SetExtendedKeypad(false);
    EXPECT_EQ(TakeCalls(), Then({}, kExtension, false));
    EXPECT_EQ(messages.shown.size(), 1u) << "the start/stop key stays silent";
}

TEST_F(ExtendedKeypadTest, EachKeyInjectsItsInputAndNothingWhileTheOptionIsOff) {
    mouse.cursor = {500, 400};
    engine.OnHotKey(HOTKEY_WHEEL_UP);
    engine.OnHotKey(HOTKEY_FAST_LEFT);
    EXPECT_TRUE(mouse.injections.empty());

    engine.SetExtendedKeypad(true);
    const std::pair<int, std::vector<Injection>> table[] = {
        {HOTKEY_WHEEL_UP, {{0x0800, 0, 0, 120}}},
        {HOTKEY_WHEEL_DOWN, {{0x0800, 0, 0, -120}}},
        {HOTKEY_DOUBLE_CLICK, {kLeftDown, kLeftUp, kLeftDown, kLeftUp}},
        {HOTKEY_BUTTON_RELEASE, {}},  // nothing held
        {HOTKEY_FAST_LEFT, {{kAbsoluteMove, 25600, 34134}}},   // 400,400: ten steps of 10
        {HOTKEY_FAST_UP, {{kAbsoluteMove, 25600, 25600}}},     // 400,300
        {HOTKEY_FAST_RIGHT, {{kAbsoluteMove, 32000, 25600}}},  // 500,300
        {HOTKEY_FAST_DOWN, {{kAbsoluteMove, 32000, 34134}}},   // 500,400
        {HOTKEY_LEFT_CLICK, {{0x0006}}},
    };
    for (const auto& [id, injected] : table) {
        mouse.injections.clear();
        engine.OnHotKey(id);
        EXPECT_EQ(mouse.injections, injected) << "hotkey " << id;
    }
    settings.speedIndex = 9;  // ten steps of 1000 stop at the edge
    engine.OnHotKey(HOTKEY_FAST_RIGHT);
    EXPECT_EQ(mouse.cursor.x, 1023);
}

// One owner of the held button: every way out of a drag lets it go exactly once.
TEST_F(ExtendedKeypadTest, AHeldButtonIsReleasedByEveryPathThatEndsTheDrag) {
    engine.SetExtendedKeypad(true);
    const std::pair<const char*, std::function<void()>> paths[] = {
        {"keypad 1", [&] { engine.OnHotKey(HOTKEY_LEFT_CLICK); }},
        {"keypad .", [&] { engine.OnHotKey(HOTKEY_BUTTON_RELEASE); }},
        {"keypad 0 again", [&] { engine.OnHotKey(HOTKEY_BUTTON_HOLD); }},
        {"start/stop", [&] { engine.OnHotKey(HOTKEY_START_STOP); engine.OnHotKey(HOTKEY_START_STOP); }},
        {"option off", [&] { engine.SetExtendedKeypad(false); engine.SetExtendedKeypad(true); }},
        {"program end", [&] { engine.ReleaseButton(); }},
    };
    for (const auto& [name, end] : paths) {
        mouse.injections.clear();
        holds.clear();
        engine.OnHotKey(HOTKEY_BUTTON_HOLD);
        engine.OnHotKey(HOTKEY_MOVE_RIGHT);    // the drag carries the button
        engine.OnHotKey(HOTKEY_DOUBLE_CLICK);  // ignored: it would drop the drag
        end();
        engine.ReleaseButton();  // a second way out finds nothing to let go
        EXPECT_FALSE(engine.ButtonHeld()) << name;
        ASSERT_EQ(mouse.injections.size(), 3u) << name;
        EXPECT_EQ(mouse.injections[0], kLeftDown) << name;
        EXPECT_EQ(mouse.injections[2], kLeftUp) << name;
        EXPECT_EQ(holds, (std::vector<bool>{true, false})) << name;
    }
}

const std::vector<HotKeyCall> kGridKeys = {Registered(1222, 0, 0x6F), Registered(1223, 0, 0x6D),
                                           Registered(1224, 0, 0x1B)};

// The grid's own keys are taken when it opens and handed back exactly once by every path that
// closes it, which also hides the overlay; a digit picks and never clicks. The key that closed
// it does nothing more until it is released: held on to, its repeats neither act nor type.
TEST_F(ExtendedKeypadTest, EveryPathThatClosesTheGridHandsItsKeysBackOnceTheClosingKeyIsUp) {
    engine.SetExtendedKeypad(true);
    const ScreenPoint opened{100, 100}, picked{170, 639};
    constexpr std::uint32_t kMoved = kAbsoluteMove;
    const struct {
        const char* name;
        int id;
        unsigned key;  // held down while it closes the grid
        std::vector<std::uint32_t> injected;
        ScreenPoint pointer;
        std::function<void()> close;
        bool held = false;  // the left button down before the grid opens
    } paths[] = {
        {"keypad *", HOTKEY_GRID, 0x6A, {}, picked, {}},
        {"keypad /", HOTKEY_GRID_CLICK, 0x6F, {0x0006}, picked, {}},
        {"keypad / while held", HOTKEY_GRID_CLICK, 0x6F, {kLeftUp.flags}, picked, {}, true},
        {"Esc", HOTKEY_GRID_CANCEL, 0x1B, {kMoved}, opened, {}},
        {"keypad - twice", HOTKEY_GRID_BACK, 0x6D, {kMoved, kMoved}, opened,
         [&] { engine.OnHotKey(HOTKEY_GRID_BACK); engine.OnHotKey(HOTKEY_GRID_BACK); }},
        {"keypad 0", HOTKEY_BUTTON_HOLD, 0x60, {kLeftDown.flags}, picked, {}},
        {"keypad . while held", HOTKEY_BUTTON_RELEASE, 0x6E, {kLeftUp.flags}, picked, {}, true},
        {"keypad +", HOTKEY_DOUBLE_CLICK, 0x6B, {2, 4, 2, 4}, picked, {}},
        {"start/stop", HOTKEY_START_STOP, 0x78, {}, picked, {}},
        {"option off", 0, 0, {}, picked, [&] { engine.SetExtendedKeypad(false); engine.SetExtendedKeypad(true); }},
        {"display change, exit, end of session", 0, 0, {}, picked, [&] { engine.CloseGrid(); }},
        {"a single pixel", HOTKEY_MOVE_DOWN, 0x65, std::vector<std::uint32_t>(5, kMoved), {168, 638},
         [&] { for (int i = 0; i < 9 && engine.GridOpen(); ++i) engine.OnHotKey(HOTKEY_MOVE_DOWN); }},
    };
    for (const auto& path : paths) {
        mouse.cursor = opened;
        if (path.held) {
            engine.OnHotKey(HOTKEY_BUTTON_HOLD);
        }
        TakeCalls();
        engine.OnHotKey(HOTKEY_GRID);
        EXPECT_EQ(TakeCalls(), kGridKeys) << path.name;
        ASSERT_TRUE(gridView.shown && gridView.region.width == 1024) << path.name;
        mouse.injections.clear();
        engine.OnHotKey(HOTKEY_LEFT_CLICK);  // digit 1: the bottom-left cell
        ASSERT_EQ(mouse.injections, (std::vector<Injection>{{kAbsoluteMove, 10880, 54528}})) << path.name;
        EXPECT_EQ(gridView.region.height, 256) << path.name;
        mouse.injections.clear();
        keyboard.down = {path.key};
        path.close ? path.close() : engine.OnHotKey(path.id);
        std::vector<std::uint32_t> injected;
        for (const Injection& injection : mouse.injections) {
            injected.push_back(injection.flags);
        }
        EXPECT_EQ(injected, path.injected) << path.name;
        EXPECT_FALSE(engine.GridOpen()) << path.name;
        EXPECT_FALSE(gridView.shown) << path.name;
        EXPECT_EQ(mouse.cursor.x, path.pointer.x) << path.name;
        EXPECT_EQ(mouse.cursor.y, path.pointer.y) << path.name;

        mouse.injections.clear();
        engine.OnHotKey(path.id);  // a repeat
        EXPECT_TRUE(mouse.injections.empty()) << path.name;
        EXPECT_EQ(engine.Active(), path.id != HOTKEY_START_STOP) << path.name;
        EXPECT_EQ(keyboard.watching(), path.key != 0) << path.name;
        EXPECT_EQ(hotKeys.registrations.count(path.id), path.id != 0 ? 1u : 0u) << path.name << ": typed";
        keyboard.ReleaseAll();
        EXPECT_FALSE(keyboard.watching()) << path.name;
        const std::vector<HotKeyCall> calls = TakeCalls();
        for (const int id : {1222, 1223, 1224}) {
            EXPECT_EQ(std::count(calls.begin(), calls.end(), Unregistered(id)), 1) << path.name << " " << id;
        }
        if (!engine.Active()) {
            engine.OnHotKey(HOTKEY_START_STOP);
        }
        engine.ReleaseButton();
    }
    hotKeys.takenElsewhere = {{0, 0x1B}};  // Esc held elsewhere: left out without a word
    engine.OnHotKey(HOTKEY_GRID);
    EXPECT_TRUE(engine.GridOpen());
    EXPECT_TRUE(messages.shown.empty());
}

// Ctrl with a move key takes the grid to the next monitor while it is a whole one, then moves
// the region by its own size within that monitor; back returns to the region and pointer before.
TEST_F(ExtendedKeypadTest, CtrlMovesTheGridBetweenMonitorsThenMovesTheRegion) {
    engine.SetExtendedKeypad(true);
    mouse.screen = {-1920, 0, 3840, 1080};
    mouse.monitors = {{0, 0, 1920, 1080}, {-1920, 0, 1920, 1080}};
    mouse.cursor = {100, 100};
    engine.OnHotKey(HOTKEY_GRID);
    const struct {
        int key;
        ScreenArea region;
        ScreenPoint pointer;
    } steps[] = {
        {HOTKEY_FAST_RIGHT, {0, 0, 1920, 1080}, {100, 100}},  // no monitor that way
        {HOTKEY_FAST_LEFT, {-1920, 0, 1920, 1080}, {-961, 539}},
        {HOTKEY_WHEEL_DOWN, {-640, 0, 640, 360}, {-321, 179}},  // digit 9
        {HOTKEY_FAST_RIGHT, {-640, 0, 640, 360}, {-321, 179}},  // at its monitor's edge
        {HOTKEY_FAST_UP, {-640, 0, 640, 360}, {-321, 179}},     // at the top edge
        {HOTKEY_GRID_BACK, {-1920, 0, 1920, 1080}, {-961, 539}},
        {HOTKEY_GRID_CANCEL, {-1920, 0, 1920, 1080}, {100, 100}},
    };
    for (const auto& step : steps) {
        engine.OnHotKey(step.key);
        EXPECT_EQ(gridView.region.left, step.region.left) << step.key;
        EXPECT_EQ(gridView.region.top, step.region.top) << step.key;
        EXPECT_EQ(gridView.region.width, step.region.width) << step.key;
        EXPECT_EQ(mouse.cursor.x, step.pointer.x) << step.key;
        EXPECT_EQ(mouse.cursor.y, step.pointer.y) << step.key;
    }
    EXPECT_FALSE(gridView.shown);
    EXPECT_TRUE(mouse.injections.size() == 6u) << "an absolute move for every step that moved";
}

using Keys = std::set<std::pair<unsigned, unsigned>>;  // (modifiers, virtual key)

Keys operator+(Keys a, const Keys& b) {
    a.insert(b.begin(), b.end());
    return a;
}

// The letters go by their places in the focused window's layout: an AZERTY one here, with M at
// the ; place and a comma at the M place, and no key at the / place.
TEST_F(EmulationEngineTest, TheLettersAreTakenAtTheirPlacesOnlyWhileEmulationAndTheirOptionAreOn) {
    keyboard.layout[0x27] = {'M', "M"};
    keyboard.layout[0x32] = {0xBC, ","};
    keyboard.layout.erase(0x35);
    hotKeys.takenElsewhere = {{0, 0xBC}};
    engine.SetLetterKeypad(true);
    StartUp();
    const Keys keypad = {{0, 0x61}, {0, 0x62}, {0, 0x63}, {0, 0x64}, {0, 0x65}, {0, 0x66}, {0, 0x68}, {0, 0x0C}};
    const Keys extension = {{0, 0x67}, {0, 0x69}, {0, 0x60}, {0, 0x6E}, {0, 0x6B},
                            {2, 0x64}, {2, 0x65}, {2, 0x66}, {2, 0x68}, {0, 0x6A}};
    const Keys grid = {{0, 0x6F}, {0, 0x6D}, {0, 0x1B}};
    const Keys letters = {{0, 'J'}, {0, 'K'}, {0, 'L'}, {0, 'U'}, {0, 'I'}, {0, 'O'}, {0, '8'}, {0, 0x1B}};
    const Keys letterExtension = {{0, '7'}, {0, '9'}, {0, 0xBE}, {2, 'U'}, {2, 'I'}, {2, 'O'}, {2, '8'}, {0, 'P'}};
    const Keys letterGrid = {{0, '0'}, {0, 'M'}};
    const std::pair<std::function<void()>, Keys> steps[] = {
        {[] {}, {}},
        {[&] { engine.OnHotKey(HOTKEY_START_STOP); }, keypad + letters},
        {[&] { engine.SetExtendedKeypad(true); }, keypad + letters + extension + letterExtension},
        {[&] { engine.OnHotKey(HOTKEY_GRID); }, keypad + letters + extension + letterExtension + grid + letterGrid},
        {[&] { engine.SetLetterKeypad(false); }, keypad + extension + grid},
        {[&] { engine.SetLetterKeypad(true); }, keypad + letters + extension + letterExtension + grid + letterGrid},
        {[&] { engine.OnHotKey(HOTKEY_START_STOP); }, {}},
    };
    for (std::size_t step = 0; step < std::size(steps); ++step) {
        steps[step].first();
        Keys taken;
        for (const auto& [id, key] : hotKeys.registrations) {
            taken.insert(key);
        }
        taken.erase({0, 0x78});  // the start/stop key
        EXPECT_EQ(taken, steps[step].second) << "step " << step;
        EXPECT_EQ(badge.shownAt.has_value(), taken.count({0, 'U'}) == 1) << "step " << step;
    }
    ASSERT_EQ(messages.shown.size(), 2u) << "named when the extension and the letters were switched on";
    EXPECT_EQ(messages.shown[1].text,
              "Register extended keypad hotkey failure: ,. \r\nPlease close the software which has occupied these keys.");
}

// However the letters are handed back, a letter still down is held on to until it is released,
// its repeats doing nothing, and so is the key that handed them back.
TEST_F(EmulationEngineTest, EveryWayTheLettersAreHandedBackHoldsOnToKeysStillDown) {
    engine.SetLetterKeypad(true);
    StartUp();
    const struct {
        const char* name;
        int id;
        unsigned key;
        std::function<void()> handBack;
    } paths[] = {
        {"start/stop", HOTKEY_START_STOP, 0x78, {}},
        {"Esc", HOTKEY_LETTER_STOP, 0x1B, {}},
        {"option off", 0, 0, [&] { engine.SetLetterKeypad(false); }},
        {"exit, end of session", 0, 0, [&] { engine.End(); }},
    };
    for (const auto& path : paths) {
        engine.SetLetterKeypad(true);
        if (!engine.Active()) {
            engine.OnHotKey(HOTKEY_START_STOP);
        }
        mouse.cursor = {500, 400};
        engine.OnHotKey(HOTKEY_LETTER_MOVE_LEFT);
        EXPECT_EQ(mouse.cursor.x, 490) << path.name;
        ASSERT_TRUE(badge.shownAt && badge.shownAt->x == 490) << path.name;
        keyboard.down = {'U', path.key};
        path.handBack ? path.handBack() : engine.OnHotKey(path.id);
        EXPECT_FALSE(badge.shownAt) << path.name;
        EXPECT_EQ(hotKeys.registrations.count(HOTKEY_LETTER_MOVE_DOWN), 0u) << path.name;
        mouse.injections.clear();
        engine.OnHotKey(HOTKEY_LETTER_MOVE_LEFT);
        engine.OnHotKey(path.id);
        EXPECT_TRUE(mouse.injections.empty()) << path.name;
        EXPECT_EQ(engine.Active(), path.id == 0) << path.name;
        EXPECT_EQ(hotKeys.registrations.count(HOTKEY_LETTER_MOVE_LEFT), 1u) << path.name << ": U typed";
        keyboard.ReleaseAll();
        EXPECT_FALSE(keyboard.watching()) << path.name;
        EXPECT_EQ(hotKeys.registrations.count(HOTKEY_LETTER_MOVE_LEFT), 0u) << path.name;
    }
}

// Said at start-up and at each switch-on while the keypad is what emulation listens to; keypad
// 5 with NumLock off says it again, once however long it is held.
TEST_F(EmulationEngineTest, NumLockOffIsSaidAtEachStartAndOnceByAHeldKeypadFive) {
    keyboard.numLock = false;
    StartUp();
    const std::pair<std::function<void()>, int> steps[] = {
        {[&] { engine.CheckNumLock(); }, 1},
        {[&] { engine.OnHotKey(HOTKEY_START_STOP); engine.OnHotKey(HOTKEY_START_STOP); }, 2},
        {[&] { keyboard.down = {0x0C}; for (int i = 0; i < 5; ++i) engine.OnHotKey(HOTKEY_NUMLOCK_OFF); }, 3},
        {[&] { keyboard.ReleaseAll(); engine.OnHotKey(HOTKEY_NUMLOCK_OFF); }, 4},
        {[&] { keyboard.numLock = true; engine.OnHotKey(HOTKEY_START_STOP); engine.OnHotKey(HOTKEY_START_STOP); }, 4},
        {[&] { keyboard.numLock = false; engine.SetLetterKeypad(true); engine.CheckNumLock(); }, 4},
        {[&] { engine.OnHotKey(HOTKEY_START_STOP); engine.OnHotKey(HOTKEY_START_STOP); }, 4},
    };
    for (std::size_t step = 0; step < std::size(steps); ++step) {
        steps[step].first();
        EXPECT_EQ(notices.numLockOff, steps[step].second) << "step " << step;
    }
}

}  // namespace
