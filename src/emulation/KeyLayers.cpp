#include "emulation/KeyLayers.h"

#include "resource.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <utility>

namespace {

constexpr unsigned kControl = 0x02;  // RegisterHotKey's bit
constexpr unsigned kEscape = 0x1B;

struct Binding {
    int identifier;
    Layer layer;
    unsigned modifiers;
    unsigned virtualKey;
    unsigned place;    // instead of a virtual key: the key's scan code, its place on the keyboard
    Action action;
    const char* name;  // as the message about a key held elsewhere names it; placed keys by layout
};

// Every key of every layer, the layers in the order of Layer. Within a layer the keys are
// registered in this order, which whoever watches the registrations sees: 1107 does not exist.
// The letters stand where a laptop's embedded keypad prints the keypad on a US keyboard.
constexpr Binding kBindings[] = {
    {HOTKEY_LEFT_CLICK, Layer::Keypad, 0, 0x61, 0, Action::LeftClick, "Keypad 1"},
    {HOTKEY_MIDDLE_CLICK, Layer::Keypad, 0, 0x62, 0, Action::MiddleClick, "Keypad 2"},
    {HOTKEY_RIGHT_CLICK, Layer::Keypad, 0, 0x63, 0, Action::RightClick, "Keypad 3"},
    {HOTKEY_MOVE_LEFT, Layer::Keypad, 0, 0x64, 0, Action::MoveLeft, "Keypad 4"},
    {HOTKEY_MOVE_DOWN, Layer::Keypad, 0, 0x65, 0, Action::MoveDown, "Keypad 5"},
    {HOTKEY_MOVE_RIGHT, Layer::Keypad, 0, 0x66, 0, Action::MoveRight, "Keypad 6"},
    {HOTKEY_MOVE_UP, Layer::Keypad, 0, 0x68, 0, Action::MoveUp, "Keypad 8"},

    {HOTKEY_WHEEL_UP, Layer::Extension, 0, 0x67, 0, Action::WheelUp, "Keypad 7"},
    {HOTKEY_WHEEL_DOWN, Layer::Extension, 0, 0x69, 0, Action::WheelDown, "Keypad 9"},
    {HOTKEY_BUTTON_HOLD, Layer::Extension, 0, 0x60, 0, Action::HoldButton, "Keypad 0"},
    {HOTKEY_BUTTON_RELEASE, Layer::Extension, 0, 0x6E, 0, Action::ReleaseButton, "Keypad ."},
    {HOTKEY_DOUBLE_CLICK, Layer::Extension, 0, 0x6B, 0, Action::DoubleClick, "Keypad +"},
    {HOTKEY_FAST_LEFT, Layer::Extension, kControl, 0x64, 0, Action::FastLeft, "Ctrl+Keypad 4"},
    {HOTKEY_FAST_DOWN, Layer::Extension, kControl, 0x65, 0, Action::FastDown, "Ctrl+Keypad 5"},
    {HOTKEY_FAST_RIGHT, Layer::Extension, kControl, 0x66, 0, Action::FastRight, "Ctrl+Keypad 6"},
    {HOTKEY_FAST_UP, Layer::Extension, kControl, 0x68, 0, Action::FastUp, "Ctrl+Keypad 8"},
    {HOTKEY_GRID, Layer::Extension, 0, 0x6A, 0, Action::Grid, "Keypad *"},

    // VK_CLEAR: keypad 5 with NumLock off, which no other key sends.
    {HOTKEY_NUMLOCK_OFF, Layer::NumLock, 0, 0x0C, 0, Action::NumLockOff, "Keypad 5"},

    {HOTKEY_LETTER_LEFT_CLICK, Layer::Letters, 0, 0, 0x24, Action::LeftClick, "J"},
    {HOTKEY_LETTER_MIDDLE_CLICK, Layer::Letters, 0, 0, 0x25, Action::MiddleClick, "K"},
    {HOTKEY_LETTER_RIGHT_CLICK, Layer::Letters, 0, 0, 0x26, Action::RightClick, "L"},
    {HOTKEY_LETTER_MOVE_LEFT, Layer::Letters, 0, 0, 0x16, Action::MoveLeft, "U"},
    {HOTKEY_LETTER_MOVE_DOWN, Layer::Letters, 0, 0, 0x17, Action::MoveDown, "I"},
    {HOTKEY_LETTER_MOVE_RIGHT, Layer::Letters, 0, 0, 0x18, Action::MoveRight, "O"},
    {HOTKEY_LETTER_MOVE_UP, Layer::Letters, 0, 0, 0x09, Action::MoveUp, "8"},
    {HOTKEY_LETTER_STOP, Layer::Letters, 0, kEscape, 0, Action::Stop, "Esc"},

    {HOTKEY_LETTER_WHEEL_UP, Layer::LetterExtension, 0, 0, 0x08, Action::WheelUp, "7"},
    {HOTKEY_LETTER_WHEEL_DOWN, Layer::LetterExtension, 0, 0, 0x0A, Action::WheelDown, "9"},
    {HOTKEY_LETTER_BUTTON_HOLD, Layer::LetterExtension, 0, 0, 0x32, Action::HoldButton, "M"},
    {HOTKEY_LETTER_BUTTON_RELEASE, Layer::LetterExtension, 0, 0, 0x34, Action::ReleaseButton, "."},
    {HOTKEY_LETTER_DOUBLE_CLICK, Layer::LetterExtension, 0, 0, 0x35, Action::DoubleClick, "/"},
    {HOTKEY_LETTER_FAST_LEFT, Layer::LetterExtension, kControl, 0, 0x16, Action::FastLeft, "U"},
    {HOTKEY_LETTER_FAST_DOWN, Layer::LetterExtension, kControl, 0, 0x17, Action::FastDown, "I"},
    {HOTKEY_LETTER_FAST_RIGHT, Layer::LetterExtension, kControl, 0, 0x18, Action::FastRight, "O"},
    {HOTKEY_LETTER_FAST_UP, Layer::LetterExtension, kControl, 0, 0x09, Action::FastUp, "8"},
    {HOTKEY_LETTER_GRID, Layer::LetterExtension, 0, 0, 0x19, Action::Grid, "P"},

    // Taken while the grid is open, so that they are typed as usual the rest of the time.
    {HOTKEY_GRID_CLICK, Layer::Grid, 0, 0x6F, 0, Action::GridClick, "Keypad /"},
    {HOTKEY_GRID_BACK, Layer::Grid, 0, 0x6D, 0, Action::GridBack, "Keypad -"},
    {HOTKEY_GRID_CANCEL, Layer::Grid, 0, kEscape, 0, Action::GridCancel, "Esc"},

    {HOTKEY_LETTER_GRID_CLICK, Layer::LetterGrid, 0, 0, 0x0B, Action::GridClick, "0"},
    {HOTKEY_LETTER_GRID_BACK, Layer::LetterGrid, 0, 0, 0x27, Action::GridBack, ";"},
};

// Letters and the grid's keys are the ones a user is typing with when their mode ends.
bool HoldsKeysDown(Layer layer) { return layer >= Layer::Letters && layer != Layer::NumLock; }

}  // namespace

std::string KeyLayers::Take(Layer layer) {
    on_[static_cast<std::size_t>(layer)] = true;
    std::string refused;
    for (const Binding& binding : kBindings) {
        if (binding.layer != layer) {
            continue;
        }
        LayoutKey placed{binding.virtualKey, binding.name};
        if (binding.place != 0) {
            placed = keyboard_.KeyAt(binding.place);
            if (binding.modifiers & kControl) {
                placed.name = "Ctrl+" + placed.name;
            }
        }
        if (placed.virtualKey == 0) {
            continue;  // this layout has no key there
        }
        const Key key{binding.modifiers, placed.virtualKey};
        bound_[binding.identifier] = key;
        if (HeldByUs(key)) {
            continue;
        }
        if (hotKeys_.Register(window_, binding.identifier, key.modifiers, key.virtualKey)) {
            registered_[binding.identifier] = {key, std::nullopt};
        } else {
            refused += (refused.empty() ? "" : ", ") + placed.name;
        }
    }
    Resolve();
    return refused;
}

void KeyLayers::HandBack(Layer layer) {
    on_[static_cast<std::size_t>(layer)] = false;
    for (const Binding& binding : kBindings) {
        const auto bound = bound_.find(binding.identifier);
        if (binding.layer != layer || bound == bound_.end()) {
            continue;
        }
        const Key key = bound->second;
        bound_.erase(bound);
        if (HoldsKeysDown(layer)) {
            HoldUntilReleased(key);
        }
        Unregister(key);
    }
    Resolve();
}

std::optional<Key> KeyLayers::KeyOf(int identifier) const {
    const auto found = registered_.find(identifier);
    if (found == registered_.end()) {
        return std::nullopt;
    }
    return found->second.key;
}

std::optional<Action> KeyLayers::Meaning(int identifier) const {
    const auto found = registered_.find(identifier);
    if (found == registered_.end() || HeldUntilReleased(found->second.key)) {
        return std::nullopt;
    }
    return found->second.meaning;
}

void KeyLayers::HoldUntilReleased(Key key) {
    if (HeldUntilReleased(key) || !keyboard_.IsDown(key.virtualKey)) {
        return;
    }
    held_.push_back(key);
    Watch();
    // Let go at once if it came up before the watch began, which would never hear of it.
    if (!keyboard_.IsDown(key.virtualKey)) {
        Released(key.virtualKey);
    }
}

bool KeyLayers::HeldUntilReleased(Key key) const {
    return std::find(held_.begin(), held_.end(), key) != held_.end();
}

// Lets go of the keys held on to with `virtualKey`, with Ctrl or without.
void KeyLayers::Released(unsigned virtualKey) {
    std::vector<Key> released;
    for (const Key& key : held_) {
        if (key.virtualKey == virtualKey) {
            released.push_back(key);
        }
    }
    for (const Key& key : released) {
        held_.erase(std::find(held_.begin(), held_.end(), key));
        Unregister(key);
    }
    Watch();
}

// What each registered key means now, worked out whenever the layers change rather than at
// every press: the later layers first, since they say what a key they share with an earlier
// one means.
void KeyLayers::Resolve() {
    std::map<std::pair<unsigned, unsigned>, Action> top;
    for (auto binding = std::rbegin(kBindings); binding != std::rend(kBindings); ++binding) {
        const auto bound = bound_.find(binding->identifier);
        if (bound != bound_.end() && IsOn(binding->layer)) {
            top.emplace(std::make_pair(bound->second.modifiers, bound->second.virtualKey), binding->action);
        }
    }
    for (auto& [identifier, registration] : registered_) {
        const auto found = top.find({registration.key.modifiers, registration.key.virtualKey});
        registration.meaning = found != top.end() ? std::optional<Action>(found->second) : std::nullopt;
    }
}

bool KeyLayers::HeldByUs(Key key) const {
    return std::any_of(registered_.begin(), registered_.end(),
                       [&](const auto& entry) { return entry.second.key == key; });
}

// Unregisters `key` unless a layer that is on still has it or it is held on to until released.
void KeyLayers::Unregister(Key key) {
    if (HeldUntilReleased(key) ||
        std::any_of(bound_.begin(), bound_.end(), [&](const auto& entry) { return entry.second == key; })) {
        return;
    }
    for (auto entry = registered_.begin(); entry != registered_.end(); ++entry) {
        if (entry->second.key == key) {
            hotKeys_.Unregister(window_, entry->first);
            registered_.erase(entry);
            return;
        }
    }
}

void KeyLayers::Watch() {
    const bool wanted = !held_.empty();
    if (wanted != watching_) {
        watching_ = wanted;
        keyboard_.WatchReleases(wanted ? std::function<void(unsigned)>([this](unsigned key) { Released(key); })
                                       : std::function<void(unsigned)>());
    }
}
