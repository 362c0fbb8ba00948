#pragma once

#include "emulation/KeypadGrid.h"
#include "platform/Services.h"
#include "settings/EmulatorSettings.h"

#include <cstdint>
#include <functional>
#include <string>

// A start/stop key as the hot-key control reports it.
struct HotKeyCombination {
    std::uint16_t virtualKey;
    std::uint16_t modifiers;
};

// Owns the system-wide hotkeys that let the keypad drive the mouse, and whether
// they are in force. With the extended keypad switched on it also owns the left
// button while a keypad drag holds it down: every way that ends the drag goes
// through ReleaseButton. Its keypad * opens the keypad grid, whose three keys of its own are
// taken only while it is open: every way that closes it goes through CloseGrid. Everything
// runs on the user-interface thread.
class EmulationEngine {
public:
    // Called after every toggle with the new state; may be empty.
    using StateChanged = std::function<void(bool active)>;
    // Called whenever the left button is taken down or let go; may be empty.
    using HoldChanged = std::function<void(bool held)>;

    EmulationEngine(EmulatorSettings& settings, HotKeyService& hotKeys, MouseInput& mouse,
                    MessageService& messages, GridView& gridView, StateChanged stateChanged,
                    HoldChanged holdChanged = {});

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

    // Switches the extended keypad at once. While emulation is on its keys are taken
    // (any another program holds are named in one message) or handed back; switching
    // it off lets go of a held button first.
    void SetExtendedKeypad(bool on);
    // Lets go of the left button when a keypad drag holds it; nothing otherwise.
    void ReleaseButton();
    // Closes the keypad grid, the pointer where it is, and hands its keys back; nothing
    // when it is closed.
    void CloseGrid();

    int StepPixels() const;
    bool Active() const { return active_; }
    bool ExtendedKeypad() const { return extended_; }
    bool ButtonHeld() const { return held_; }
    bool GridOpen() const { return grid_.IsOpen(); }

private:
    bool RegisterCombination(HotKeyCombination combination);
    bool RegisterKeypad();
    void UnregisterKeypad();
    std::string RegisterExtension();
    void UnregisterExtension();
    void OnExtensionKey(int identifier);
    bool OnGridKey(int identifier);
    void OpenGrid();
    void PickCell(int digit);
    void MoveGrid(GridDirection direction);
    void MoveGridPointer(ScreenPoint pointer);
    void CancelGrid();
    void LeftClick();
    void HoldButton();
    void MoveBy(int dx, int dy);
    void MoveTo(ScreenPoint point);
    std::vector<ScreenArea> Monitors();
    void Report(const std::string& text);

    EmulatorSettings& settings_;
    HotKeyService& hotKeys_;
    MouseInput& mouse_;
    MessageService& messages_;
    GridView& gridView_;
    StateChanged stateChanged_;
    HoldChanged holdChanged_;
    WindowHandle window_ = nullptr;
    bool active_ = true;
    bool extended_ = false;
    bool held_ = false;
    KeypadGrid grid_;
};
