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

constexpr int kSteps[] = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000};
constexpr int kUnknownSpeedStep = 10;

// mouse_event flags.
constexpr std::uint32_t kMove = 0x0001;
constexpr std::uint32_t kLeftClick = 0x0002 | 0x0004;
constexpr std::uint32_t kRightClick = 0x0008 | 0x0010;
constexpr std::uint32_t kMiddleClick = 0x0020 | 0x0040;
constexpr std::uint32_t kVirtualDesk = 0x4000;
constexpr std::uint32_t kAbsolute = 0x8000;

// Hot-key control bits.
constexpr std::uint16_t kControlShift = 0x01;
constexpr std::uint16_t kControlAlt = 0x04;
constexpr std::uint16_t kControlExtended = 0x08;
constexpr std::uint16_t kControlShiftControlAlt = 0x07;

// RegisterHotKey bits.
constexpr std::uint16_t kModAlt = 0x01;
constexpr std::uint16_t kModShift = 0x04;

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
                                 MouseInput& mouse, MessageService& messages,
                                 StateChanged stateChanged)
    : settings_(settings),
      hotKeys_(hotKeys),
      mouse_(mouse),
      messages_(messages),
      stateChanged_(std::move(stateChanged)) {}

void EmulationEngine::BindWindow(WindowHandle window) { window_ = window; }

std::uint16_t EmulationEngine::ToHotKeyModifiers(std::uint16_t controlModifiers) {
    auto result = static_cast<std::uint16_t>(controlModifiers &
                                             ~(kControlShift | kControlAlt | kControlExtended));
    if (controlModifiers & kControlAlt) {
        result |= kModAlt;
    }
    if (controlModifiers & kControlShift) {
        result |= kModShift;
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

void EmulationEngine::RegisterEmulationKeys() {
    if (!RegisterKeypad()) {
        Report("Register emulation hotkey failure. \r\n"
               "Please close the software which has occupied hotkey of numeric keypad.");
    }
    active_ = true;
}

void EmulationEngine::OnHotKey(int identifier) {
    if (identifier == HOTKEY_START_STOP) {
        active_ = !active_;
        if (active_) {
            RegisterKeypad();  // a key taken meanwhile just stays with its taker
        } else {
            UnregisterKeypad();
        }
        if (stateChanged_) {
            stateChanged_(active_);
        }
        return;
    }
    if (!active_) {
        return;
    }
    const int step = StepPixels();
    switch (identifier) {
        case HOTKEY_LEFT_CLICK: mouse_.Inject(kLeftClick, 0, 0); break;
        case HOTKEY_MIDDLE_CLICK: mouse_.Inject(kMiddleClick, 0, 0); break;
        case HOTKEY_RIGHT_CLICK: mouse_.Inject(kRightClick, 0, 0); break;
        case HOTKEY_MOVE_LEFT: MoveBy(-step, 0); break;
        case HOTKEY_MOVE_DOWN: MoveBy(0, step); break;
        case HOTKEY_MOVE_RIGHT: MoveBy(step, 0); break;
        case HOTKEY_MOVE_UP: MoveBy(0, -step); break;
        default: break;
    }
}

// A relative move would be scaled by the user's pointer speed and acceleration, so
// the pointer is placed absolutely, exactly the step away and never off the desktop.
void EmulationEngine::MoveBy(int dx, int dy) {
    const std::optional<ScreenPoint> from = mouse_.CursorPosition();
    const ScreenArea screen = mouse_.VirtualScreen();
    if (!from || screen.width <= 0 || screen.height <= 0) {
        return;
    }
    const int x = std::clamp(from->x + dx, screen.left, screen.left + screen.width - 1);
    const int y = std::clamp(from->y + dy, screen.top, screen.top + screen.height - 1);
    mouse_.Inject(kMove | kAbsolute | kVirtualDesk, Normalise(x - screen.left, screen.width),
                  Normalise(y - screen.top, screen.height));
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

void EmulationEngine::Report(const char* text) {
    messages_.Show(window_, text, kCaption, kExclamation);
}
