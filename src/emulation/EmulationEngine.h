#pragma once

#include "platform/Services.h"
#include "settings/EmulatorSettings.h"

#include <cstdint>
#include <functional>

// A start/stop key as the hot-key control reports it.
struct HotKeyCombination {
    std::uint16_t virtualKey;
    std::uint16_t modifiers;
};

// Owns the system-wide hotkeys that let the keypad drive the mouse, and whether
// they are in force. Everything runs on the user-interface thread.
class EmulationEngine {
public:
    // Called after every toggle with the new state; may be empty.
    using StateChanged = std::function<void(bool active)>;

    EmulationEngine(EmulatorSettings& settings, HotKeyService& hotKeys, MouseInput& mouse,
                    MessageService& messages, StateChanged stateChanged);

    // The window every registration names and that owns the message boxes.
    void BindWindow(WindowHandle window);

    // Hot-key control bits to RegisterHotKey bits: the control's Alt and Shift
    // swap places, and its extended-key flag is dropped because RegisterHotKey
    // would read that bit as the Windows key.
    static std::uint16_t ToHotKeyModifiers(std::uint16_t controlModifiers);

    void RegisterStartStop();
    void RegisterEmulationKeys();
    void OnHotKey(int identifier);

    // Re-registers the start/stop key from the settings. A key is accepted only
    // when it registers and carries Shift, Control or Alt; otherwise it is
    // released again and `previous` is put back in force.
    bool ChangeStartStopKey(HotKeyCombination previous);

    int StepPixels() const;
    bool Active() const { return active_; }

private:
    bool RegisterCombination(HotKeyCombination combination);
    bool RegisterKeypad();
    void UnregisterKeypad();
    void MoveBy(int dx, int dy);
    void Report(const char* text);

    EmulatorSettings& settings_;
    HotKeyService& hotKeys_;
    MouseInput& mouse_;
    MessageService& messages_;
    StateChanged stateChanged_;
    WindowHandle window_ = nullptr;
    bool active_ = true;
};
