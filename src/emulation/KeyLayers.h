#pragma once

#include "platform/Services.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Everything a key of Tarnwick's can ask for. The engine performs each in one place, whichever
// key asked for it.
enum class Action {
    LeftClick, MiddleClick, RightClick, MoveLeft, MoveDown, MoveRight, MoveUp,
    WheelUp, WheelDown, HoldButton, ReleaseButton, DoubleClick,
    FastLeft, FastDown, FastRight, FastUp,
    Grid, GridClick, GridBack, GridCancel,
    Stop, NumLockOff,
};

// The keys come in layers, each taken and handed back as a whole; the engine says which are on.
// Where two layers that are on have the same key, the later one in this list says what it means.
enum class Layer {
    Keypad,           // keypad 1 to 6 and 8
    Extension,        // the extended keypad's keys
    NumLock,          // keypad 5 while NumLock is off
    Letters,          // the letter keypad's keys for the seven, and Esc
    LetterExtension,  // the letter keypad's keys for the extended keypad's
    Grid,             // the keypad grid's own keys
    LetterGrid,       // the letter keypad's keys for the keypad grid's
};
constexpr int kLayerCount = 7;

// A combination as RegisterHotKey takes it.
struct Key {
    unsigned modifiers;
    unsigned virtualKey;
    bool operator==(const Key& other) const {
        return modifiers == other.modifiers && virtualKey == other.virtualKey;
    }
};

// Owns the registrations of every layer's keys and what each key means while its layers are on.
// A key whose press ended a mode, or that was down when its layer was handed back, is held on
// to, doing nothing, until it is released, so that its repeats never reach another program or
// act in their other meaning; the keyboard is watched for the release only while such a key
// is down.
class KeyLayers {
public:
    KeyLayers(HotKeyService& hotKeys, KeyboardState& keyboard) : hotKeys_(hotKeys), keyboard_(keyboard) {}

    void BindWindow(WindowHandle window) { window_ = window; }

    bool IsOn(Layer layer) const { return on_[static_cast<std::size_t>(layer)]; }
    // Registers the layer's keys in the order of the table; the letters at their places in the
    // keyboard layout of the window that has the focus now. The names of the keys another
    // program holds, ", " between them; "" when all were taken.
    std::string Take(Layer layer);
    void HandBack(Layer layer);

    // The combination registered as `identifier`; none when nothing is.
    std::optional<Key> KeyOf(int identifier) const;
    // What the key registered as `identifier` asks for now; none while it is held on to.
    std::optional<Action> Meaning(int identifier) const;

    // Holds on to `key`, doing nothing, until it is released; nothing when it is up already.
    void HoldUntilReleased(Key key);
    bool HeldUntilReleased(Key key) const;

private:
    struct Registration {
        Key key{};
        std::optional<Action> meaning;  // in the top layer that is on and has the key
    };

    bool HeldByUs(Key key) const;
    void Unregister(Key key);
    void Resolve();
    void Released(unsigned virtualKey);
    void Watch();

    HotKeyService& hotKeys_;
    KeyboardState& keyboard_;
    WindowHandle window_ = nullptr;
    std::array<bool, kLayerCount> on_{};
    std::map<int, Key> bound_;       // every key of a layer that is on, as it was taken
    std::map<int, Registration> registered_;  // what is registered now, under which identifier
    std::vector<Key> held_;          // held on to until released
    bool watching_ = false;
};
