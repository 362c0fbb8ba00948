#include "emulation/EmulationEngine.h"

#include "resource.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

struct KeypadKey {
    int identifier;
    unsigned virtualKey;
};

// Registration order matters to whoever watches the registrations: 1107 does not exist.
constexpr KeypadKey kKeypadKeys[] = {
    {HOTKEY_LEFT_CLICK, 0x61},  {HOTKEY_MIDDLE_CLICK, 0x62}, {HOTKEY_RIGHT_CLICK, 0x63},
    {HOTKEY_MOVE_LEFT, 0x64},   {HOTKEY_MOVE_DOWN, 0x65},    {HOTKEY_MOVE_RIGHT, 0x66},
    {HOTKEY_MOVE_UP, 0x68},
};

// RegisterHotKey bits.
constexpr unsigned kModAlt = 0x01;
constexpr unsigned kModControl = 0x02;
constexpr unsigned kModShift = 0x04;

struct ExtensionKey {
    int identifier;
    unsigned modifiers;
    unsigned virtualKey;
    const char* name;  // as the message about a key held elsewhere names it
};

// The extended keypad: the keypad's remaining keys, and Ctrl with the four moves.
constexpr ExtensionKey kExtensionKeys[] = {
    {HOTKEY_WHEEL_UP, 0, 0x67, "Keypad 7"},
    {HOTKEY_WHEEL_DOWN, 0, 0x69, "Keypad 9"},
    {HOTKEY_BUTTON_HOLD, 0, 0x60, "Keypad 0"},
    {HOTKEY_BUTTON_RELEASE, 0, 0x6E, "Keypad ."},
    {HOTKEY_DOUBLE_CLICK, 0, 0x6B, "Keypad +"},
    {HOTKEY_FAST_LEFT, kModControl, 0x64, "Ctrl+Keypad 4"},
    {HOTKEY_FAST_DOWN, kModControl, 0x65, "Ctrl+Keypad 5"},
    {HOTKEY_FAST_RIGHT, kModControl, 0x66, "Ctrl+Keypad 6"},
    {HOTKEY_FAST_UP, kModControl, 0x68, "Ctrl+Keypad 8"},
    {HOTKEY_GRID, 0, 0x6A, "Keypad *"},
};

// Taken while the grid is open, so that they are typed as usual the rest of the time; a key
// another program holds is left out without a word.
constexpr KeypadKey kGridKeys[] = {
    {HOTKEY_GRID_CLICK, 0x6F},  // keypad /
    {HOTKEY_GRID_BACK, 0x6D},   // keypad -
    {HOTKEY_GRID_CANCEL, 0x1B},  // Esc
};

// While the grid is open the keypad's digits pick the cell at their place on the keypad.
constexpr std::pair<int, int> kGridDigits[] = {
    {HOTKEY_LEFT_CLICK, 1}, {HOTKEY_MIDDLE_CLICK, 2}, {HOTKEY_RIGHT_CLICK, 3},
    {HOTKEY_MOVE_LEFT, 4},  {HOTKEY_MOVE_DOWN, 5},    {HOTKEY_MOVE_RIGHT, 6},
    {HOTKEY_WHEEL_UP, 7},   {HOTKEY_MOVE_UP, 8},      {HOTKEY_WHEEL_DOWN, 9},
};
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

EmulationEngine::EmulationEngine(EmulatorSettings& settings, HotKeyService& hotKeys,
                                 MouseInput& mouse, MessageService& messages, GridView& gridView,
                                 StateChanged stateChanged, HoldChanged holdChanged)
    : settings_(settings),
      hotKeys_(hotKeys),
      mouse_(mouse),
      messages_(messages),
      gridView_(gridView),
      stateChanged_(std::move(stateChanged)),
      holdChanged_(std::move(holdChanged)) {}

void EmulationEngine::BindWindow(WindowHandle window) { window_ = window; }

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

bool EmulationEngine::RegisterKeypad() {
    bool all = true;
    for (const KeypadKey& key : kKeypadKeys) {
        all = hotKeys_.Register(window_, key.identifier, 0, key.virtualKey) && all;
    }
    return all;
}

void EmulationEngine::UnregisterKeypad() {
    for (const KeypadKey& key : kKeypadKeys) {
        hotKeys_.Unregister(window_, key.identifier);
    }
}

// The names of the keys another program holds, or "" when all were taken.
std::string EmulationEngine::RegisterExtension() {
    std::string refused;
    for (const ExtensionKey& key : kExtensionKeys) {
        if (!hotKeys_.Register(window_, key.identifier, key.modifiers, key.virtualKey)) {
            refused += (refused.empty() ? "" : ", ") + std::string(key.name);
        }
    }
    return refused;
}

void EmulationEngine::UnregisterExtension() {
    for (const ExtensionKey& key : kExtensionKeys) {
        hotKeys_.Unregister(window_, key.identifier);
    }
}

void EmulationEngine::RegisterEmulationKeys() {
    if (!RegisterKeypad()) {
        Report("Register emulation hotkey failure. \r\n"
               "Please close the software which has occupied hotkey of numeric keypad.");
    }
    active_ = true;
}

void EmulationEngine::SetExtendedKeypad(bool on) {
    if (on == extended_) {
        return;
    }
    extended_ = on;
    if (!on) {
        CloseGrid();
        ReleaseButton();
        if (active_) {
            UnregisterExtension();
        }
        return;
    }
    if (!active_) {
        return;  // taken with the seven by the next start
    }
    const std::string refused = RegisterExtension();
    if (!refused.empty()) {
        Report("Register extended keypad hotkey failure: " + refused +
               ". \r\nPlease close the software which has occupied these keys.");
    }
}

void EmulationEngine::OnHotKey(int identifier) {
    if (identifier == HOTKEY_START_STOP) {
        active_ = !active_;
        if (active_) {
            // A key taken meanwhile just stays with its taker.
            RegisterKeypad();
            if (extended_) {
                RegisterExtension();
            }
        } else {
            CloseGrid();
            ReleaseButton();
            UnregisterKeypad();
            if (extended_) {
                UnregisterExtension();
            }
        }
        if (stateChanged_) {
            stateChanged_(active_);
        }
        return;
    }
    if (!active_ || (grid_.IsOpen() && OnGridKey(identifier))) {
        return;
    }
    const int step = StepPixels();
    switch (identifier) {
        case HOTKEY_LEFT_CLICK: LeftClick(); break;
        case HOTKEY_MIDDLE_CLICK: mouse_.Inject({{kMiddleClick}}); break;
        case HOTKEY_RIGHT_CLICK: mouse_.Inject({{kRightClick}}); break;
        case HOTKEY_MOVE_LEFT: MoveBy(-step, 0); break;
        case HOTKEY_MOVE_DOWN: MoveBy(0, step); break;
        case HOTKEY_MOVE_RIGHT: MoveBy(step, 0); break;
        case HOTKEY_MOVE_UP: MoveBy(0, -step); break;
        default:
            if (extended_) {
                OnExtensionKey(identifier);
            }
            break;
    }
}

void EmulationEngine::OnExtensionKey(int identifier) {
    const int fast = kFastSteps * StepPixels();
    switch (identifier) {
        case HOTKEY_WHEEL_UP: mouse_.Inject({{kWheel, 0, 0, kWheelNotch}}); break;
        case HOTKEY_WHEEL_DOWN: mouse_.Inject({{kWheel, 0, 0, -kWheelNotch}}); break;
        case HOTKEY_BUTTON_HOLD:
            if (held_) {
                ReleaseButton();
            } else {
                HoldButton();
            }
            break;
        case HOTKEY_BUTTON_RELEASE: ReleaseButton(); break;
        // While a drag holds the button a double-click would drop it somewhere unasked.
        case HOTKEY_DOUBLE_CLICK:
            if (!held_) {
                mouse_.Inject({{kLeftDown}, {kLeftUp}, {kLeftDown}, {kLeftUp}});
            }
            break;
        case HOTKEY_FAST_LEFT: MoveBy(-fast, 0); break;
        case HOTKEY_FAST_DOWN: MoveBy(0, fast); break;
        case HOTKEY_FAST_RIGHT: MoveBy(fast, 0); break;
        case HOTKEY_FAST_UP: MoveBy(0, -fast); break;
        case HOTKEY_GRID: OpenGrid(); break;
        default: break;
    }
}

// The keys that mean something else while the grid is open; false for the rest.
bool EmulationEngine::OnGridKey(int identifier) {
    for (const auto& [key, digit] : kGridDigits) {
        if (key == identifier) {
            PickCell(digit);
            return true;
        }
    }
    switch (identifier) {
        case HOTKEY_FAST_LEFT: MoveGrid(GridDirection::Left); return true;
        case HOTKEY_FAST_DOWN: MoveGrid(GridDirection::Down); return true;
        case HOTKEY_FAST_RIGHT: MoveGrid(GridDirection::Right); return true;
        case HOTKEY_FAST_UP: MoveGrid(GridDirection::Up); return true;
        case HOTKEY_GRID: CloseGrid(); return true;
        case HOTKEY_GRID_BACK:
            if (const std::optional<ScreenPoint> pointer = grid_.Back()) {
                MoveGridPointer(*pointer);
            } else {
                CancelGrid();
            }
            return true;
        case HOTKEY_GRID_CANCEL: CancelGrid(); return true;
        case HOTKEY_GRID_CLICK:
            LeftClick();
            CloseGrid();
            return true;
        case HOTKEY_BUTTON_HOLD:
        case HOTKEY_BUTTON_RELEASE:
        case HOTKEY_DOUBLE_CLICK:
            OnExtensionKey(identifier);
            CloseGrid();
            return true;
        default: return false;
    }
}

// Over the whole monitor that holds the pointer, taken as the monitors are now; the pointer
// stays where it is.
void EmulationEngine::OpenGrid() {
    const std::optional<ScreenPoint> pointer = mouse_.CursorPosition();
    if (!pointer) {
        return;
    }
    grid_.Open(MonitorAt(*pointer, Monitors()), *pointer);
    for (const KeypadKey& key : kGridKeys) {
        hotKeys_.Register(window_, key.identifier, 0, key.virtualKey);
    }
    gridView_.Show(grid_.Monitor(), grid_.Region(), *pointer);
}

void EmulationEngine::PickCell(int digit) {
    const ScreenPoint pointer = grid_.Pick(digit);
    if (grid_.Narrowest()) {
        MoveTo(pointer);
        CloseGrid();
    } else {
        MoveGridPointer(pointer);
    }
}

void EmulationEngine::MoveGrid(GridDirection direction) {
    if (const std::optional<ScreenPoint> pointer = grid_.Move(direction, Monitors())) {
        MoveGridPointer(*pointer);
    }
}

void EmulationEngine::MoveGridPointer(ScreenPoint pointer) {
    MoveTo(pointer);
    gridView_.Show(grid_.Monitor(), grid_.Region(), pointer);
}

void EmulationEngine::CloseGrid() {
    if (!grid_.IsOpen()) {
        return;
    }
    grid_.Close();
    for (const KeypadKey& key : kGridKeys) {
        hotKeys_.Unregister(window_, key.identifier);
    }
    gridView_.Hide();
}

// Closes the grid and puts the pointer back where it was when the grid opened.
void EmulationEngine::CancelGrid() {
    const ScreenPoint origin = grid_.Origin();
    CloseGrid();
    MoveTo(origin);
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

void EmulationEngine::Report(const std::string& text) {
    messages_.Show(window_, text, kCaption, kExclamation);
}
