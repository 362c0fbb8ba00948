#include "emulation/EmulationEngine.h"

#include "resource.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

constexpr int kFastSteps = 10;

constexpr int kSteps[] = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000};
constexpr int kUnknownSpeedStep = 10;

// mouse_event flags.
constexpr std::uint32_t kMove = 0x0001;
constexpr std::uint32_t kLeftDown = 0x0002;
constexpr std::uint32_t kLeftUp = 0x0004;
constexpr std::uint32_t kLeftClick = kLeftDown | kLeftUp;
constexpr std::uint32_t kRightClick = 0x0008 | 0x0010;
constexpr std::uint32_t kMiddleClick = 0x0020 | 0x0040;
constexpr std::uint32_t kVirtualDesk = 0x4000;
constexpr std::uint32_t kWheel = 0x0800;
constexpr std::uint32_t kAbsolute = 0x8000;
constexpr std::int32_t kWheelNotch = 120;

// RegisterHotKey bits.
constexpr unsigned kModAlt = 0x01;
constexpr unsigned kModShift = 0x04;

// Hot-key control bits.
constexpr std::uint16_t kControlShift = 0x01;
constexpr std::uint16_t kControlAlt = 0x04;
constexpr std::uint16_t kControlExtended = 0x08;
constexpr std::uint16_t kControlShiftControlAlt = 0x07;

constexpr unsigned kExclamation = 0x30;
const char kCaption[] = "Tarnwick";

// Absolute coordinates span 0..65535 over the virtual screen, and the system maps
// a value n back to floor(n * extent / 65536); the smallest n that maps to
// `offset` is therefore the ceiling of offset * 65536 / extent.
std::int32_t Normalise(int offset, int extent) {
    const std::int64_t scaled = static_cast<std::int64_t>(offset) * 65536;
    return static_cast<std::int32_t>((scaled + extent - 1) / extent);
}

}  // namespace

EmulationEngine::EmulationEngine(EmulatorSettings& settings, const EngineServices& services,
                                 StateChanged stateChanged, HoldChanged holdChanged)
    : settings_(settings),
      hotKeys_(services.hotKeys),
      mouse_(services.mouse),
      keyboard_(services.keyboard),
      messages_(services.messages),
      gridView_(services.grid),
      badge_(services.badge),
      notices_(services.notices),
      stateChanged_(std::move(stateChanged)),
      holdChanged_(std::move(holdChanged)),
      layers_(services.hotKeys, services.keyboard) {}

void EmulationEngine::BindWindow(WindowHandle window) {
    window_ = window;
    layers_.BindWindow(window);
}

std::uint16_t EmulationEngine::ToHotKeyModifiers(std::uint16_t controlModifiers) {
    auto result = static_cast<std::uint16_t>(controlModifiers &
                                             ~(kControlShift | kControlAlt | kControlExtended));
    if (controlModifiers & kControlAlt) {
        result = static_cast<std::uint16_t>(result | kModAlt);
    }
    if (controlModifiers & kControlShift) {
        result = static_cast<std::uint16_t>(result | kModShift);
    }
    return result;
}

bool EmulationEngine::RegisterCombination(HotKeyCombination combination) {
    return hotKeys_.Register(window_, HOTKEY_START_STOP, ToHotKeyModifiers(combination.modifiers),
                             combination.virtualKey);
}

void EmulationEngine::RegisterStartStop() {
    if (!RegisterCombination({settings_.hotKeyVirtualKey, settings_.hotKeyModifiers})) {
        Report("Register start/stop hotkey failure. Please re-set the hotkey.");
    }
}

void EmulationEngine::RegisterEmulationKeys() {
    active_ = !letters_;
    if (!ApplyLayers({Layer::Keypad}).empty()) {
        Report("Register emulation hotkey failure. \r\n"
               "Please close the software which has occupied hotkey of numeric keypad.");
    }
}

// Which layers the options and modes ask for.
bool EmulationEngine::Wants(Layer layer) const {
    switch (layer) {
        case Layer::Keypad:
        case Layer::NumLock: return active_;
        case Layer::Extension: return active_ && extended_;
        case Layer::Letters: return active_ && letters_;
        case Layer::LetterExtension: return active_ && letters_ && extended_;
        case Layer::Grid: return grid_.IsOpen();
        case Layer::LetterGrid: return grid_.IsOpen() && letters_;
    }
    return false;
}

// Takes the layers that are wanted now and hands back the others, in the order of Layer; the
// badge shows while the letters are taken. The names of the keys another program holds, of the
// layers in `named` that were taken now.
std::string EmulationEngine::ApplyLayers(std::initializer_list<Layer> named) {
    std::string refused;
    for (int index = 0; index < kLayerCount; ++index) {
        const auto layer = static_cast<Layer>(index);
        const bool wanted = Wants(layer);
        if (wanted == layers_.IsOn(layer)) {
            continue;
        }
        if (!wanted) {
            layers_.HandBack(layer);
            continue;
        }
        const std::string names = layers_.Take(layer);
        if (!names.empty() && std::find(named.begin(), named.end(), layer) != named.end()) {
            refused += (refused.empty() ? "" : ", ") + names;
        }
    }
    if (layers_.IsOn(Layer::Letters) != badgeShown_) {
        badgeShown_ = !badgeShown_;
        if (badgeShown_) {
            ShowBadge();
        } else {
            badge_.Hide();
        }
    }
    return refused;
}

void EmulationEngine::SetExtendedKeypad(bool on) {
    if (on == extended_) {
        return;
    }
    extended_ = on;
    if (!on) {
        CloseGrid();
        ReleaseButton();
    }
    ReportRefused(ApplyLayers({Layer::Extension, Layer::LetterExtension}));
}

void EmulationEngine::SetLetterKeypad(bool on) {
    if (on == letters_) {
        return;
    }
    letters_ = on;
    ReportRefused(ApplyLayers({Layer::Letters, Layer::LetterExtension}));
    // Not taken now, while emulation is off: named when they are.
    nameLetters_ = on && !layers_.IsOn(Layer::Letters);
}

void EmulationEngine::CheckNumLock() {
    if (active_ && !letters_ && !keyboard_.NumLockOn()) {
        notices_.NumLockOff();
    }
}

void EmulationEngine::OnHotKey(int identifier) {
    const bool gridWasOpen = grid_.IsOpen();
    const bool lettersWereTaken = layers_.IsOn(Layer::Letters);
    // A key whose press ends a mode would go on repeating into its other meaning, or into the
    // program in front; so it does nothing more until it is released.
    const auto endedMode = [&] {
        return (gridWasOpen && !grid_.IsOpen()) || (lettersWereTaken && !layers_.IsOn(Layer::Letters));
    };
    if (identifier == HOTKEY_START_STOP) {
        const Key key{ToHotKeyModifiers(settings_.hotKeyModifiers), settings_.hotKeyVirtualKey};
        if (layers_.HeldUntilReleased(key)) {
            return;
        }
        if (active_) {
            Stop();
        } else {
            Start();
        }
        if (endedMode()) {
            layers_.HoldUntilReleased(key);
        }
        return;
    }
    const std::optional<Action> action = layers_.Meaning(identifier);
    if (!action) {
        return;
    }
    const Key key = *layers_.KeyOf(identifier);
    movedTo_.reset();
    Perform(*action);
    // Held on keypad 5 with NumLock off, it says so once.
    if (endedMode() || *action == Action::NumLockOff) {
        layers_.HoldUntilReleased(key);
    }
    if (badgeShown_) {
        ShowBadge();
    }
}

void EmulationEngine::Start() {
    active_ = true;
    const std::string refused = ApplyLayers({Layer::Letters, Layer::LetterExtension});
    if (layers_.IsOn(Layer::Letters) && std::exchange(nameLetters_, false)) {
        ReportRefused(refused);
    }
    CheckNumLock();
    if (stateChanged_) {
        stateChanged_(true);
    }
}

void EmulationEngine::Stop() {
    CloseGrid();
    ReleaseButton();
    active_ = false;
    ApplyLayers({});
    if (stateChanged_) {
        stateChanged_(false);
    }
}

// The one place that performs an action, whichever key asked for it.
void EmulationEngine::Perform(Action action) {
    const GridReading reading = grid_.IsOpen() ? ReadInGrid(action) : GridReading::Unchanged;
    if (reading == GridReading::Done) {
        return;
    }
    const int step = StepPixels();
    switch (action) {
        case Action::LeftClick:
        case Action::GridClick: LeftClick(); break;
        case Action::MiddleClick: mouse_.Inject({{kMiddleClick}}); break;
        case Action::RightClick: mouse_.Inject({{kRightClick}}); break;
        case Action::MoveLeft: MoveBy(-step, 0); break;
        case Action::MoveDown: MoveBy(0, step); break;
        case Action::MoveRight: MoveBy(step, 0); break;
        case Action::MoveUp: MoveBy(0, -step); break;
        case Action::WheelUp: mouse_.Inject({{kWheel, 0, 0, kWheelNotch}}); break;
        case Action::WheelDown: mouse_.Inject({{kWheel, 0, 0, -kWheelNotch}}); break;
        case Action::HoldButton:
            if (held_) {
                ReleaseButton();
            } else {
                HoldButton();
            }
            break;
        case Action::ReleaseButton: ReleaseButton(); break;
        // While a drag holds the button a double-click would drop it somewhere unasked.
        case Action::DoubleClick:
            if (!held_) {
                mouse_.Inject({{kLeftDown}, {kLeftUp}, {kLeftDown}, {kLeftUp}});
            }
            break;
        case Action::FastLeft: MoveBy(-kFastSteps * step, 0); break;
        case Action::FastDown: MoveBy(0, kFastSteps * step); break;
        case Action::FastRight: MoveBy(kFastSteps * step, 0); break;
        case Action::FastUp: MoveBy(0, -kFastSteps * step); break;
        case Action::Grid: OpenGrid(); break;
        case Action::Stop: Stop(); break;
        case Action::NumLockOff: notices_.NumLockOff(); break;
        case Action::GridBack:
        case Action::GridCancel: break;  // taken only while the grid is open
    }
    if (reading == GridReading::ActThenClose) {
        CloseGrid();
    }
}

void EmulationEngine::End() {
    CloseGrid();
    ReleaseButton();
    SetLetterKeypad(false);
}

std::vector<ScreenArea> EmulationEngine::Monitors() {
    std::vector<ScreenArea> monitors = mouse_.Monitors();
    if (monitors.empty()) {
        monitors.push_back(mouse_.VirtualScreen());
    }
    return monitors;
}

void EmulationEngine::LeftClick() {
    if (held_) {
        ReleaseButton();  // the drop
    } else {
        mouse_.Inject({{kLeftClick}});
    }
}

void EmulationEngine::HoldButton() {
    mouse_.Inject({{kLeftDown}});
    held_ = true;
    if (holdChanged_) {
        holdChanged_(true);
    }
}

void EmulationEngine::ReleaseButton() {
    if (!held_) {
        return;
    }
    mouse_.Inject({{kLeftUp}});
    held_ = false;
    if (holdChanged_) {
        holdChanged_(false);
    }
}

// A relative move would be scaled by the user's pointer speed and acceleration, so
// the pointer is placed absolutely, exactly the step away and never off the desktop.
void EmulationEngine::MoveBy(int dx, int dy) {
    if (const std::optional<ScreenPoint> from = mouse_.CursorPosition()) {
        MoveTo({from->x + dx, from->y + dy});
    }
}

void EmulationEngine::MoveTo(ScreenPoint point) {
    const ScreenArea screen = mouse_.VirtualScreen();
    if (screen.width <= 0 || screen.height <= 0) {
        return;
    }
    const int x = std::clamp(point.x, screen.left, screen.left + screen.width - 1);
    const int y = std::clamp(point.y, screen.top, screen.top + screen.height - 1);
    mouse_.Inject({{kMove | kAbsolute | kVirtualDesk, Normalise(x - screen.left, screen.width),
                    Normalise(y - screen.top, screen.height)}});
    movedTo_ = ScreenPoint{x, y};
}

// Beside the pointer: where a move of ours put it, which the system may not have caught up
// with yet, or where the real mouse left it.
void EmulationEngine::ShowBadge() {
    std::optional<ScreenPoint> pointer = movedTo_;
    if (!pointer) {
        pointer = mouse_.CursorPosition();
    }
    if (pointer) {
        badge_.Show(*pointer);
    }
}

bool EmulationEngine::ChangeStartStopKey(HotKeyCombination previous) {
    hotKeys_.Unregister(window_, HOTKEY_START_STOP);
    const bool registered =
        RegisterCombination({settings_.hotKeyVirtualKey, settings_.hotKeyModifiers});
    if (registered && (settings_.hotKeyModifiers & kControlShiftControlAlt) != 0) {
        return true;
    }
    // A plain key must not stay swallowed system-wide while the user is told it failed.
    if (registered) {
        hotKeys_.Unregister(window_, HOTKEY_START_STOP);
    }
    RegisterCombination(previous);
    return false;
}

int EmulationEngine::StepPixels() const {
    const int index = settings_.speedIndex;
    if (index < 0 || index >= static_cast<int>(std::size(kSteps))) {
        return kUnknownSpeedStep;
    }
    return kSteps[index];
}

// One message for the keys another program holds, named.
void EmulationEngine::ReportRefused(const std::string& names) {
    if (!names.empty()) {
        Report("Register extended keypad hotkey failure: " + names +
               ". \r\nPlease close the software which has occupied these keys.");
    }
}

void EmulationEngine::Report(const std::string& text) {
    messages_.Show(window_, text, kCaption, kExclamation);
}
