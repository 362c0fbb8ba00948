#pragma once

#include "emulation/KeyLayers.h"
#include "emulation/KeypadGrid.h"
#include "platform/Services.h"
#include "settings/EmulatorSettings.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

// A start/stop key as the hot-key control reports it.
struct HotKeyCombination {
    std::uint16_t virtualKey;
    std::uint16_t modifiers;
};

// What the engine drives; its owner keeps them.
struct EngineServices {
    HotKeyService& hotKeys;
    MouseInput& mouse;
    KeyboardState& keyboard;
    MessageService& messages;
    GridView& grid;
    BadgeView& badge;
    NoticeService& notices;
};

// Owns the system-wide hotkeys that let the keypad drive the mouse, and whether they are in
// force. Its keys come in layers (KeyLayers): the keypad's, the extended keypad's, the letter
// keypad's and the keypad grid's, each taken while its option and mode are on. With the
// extended keypad switched on it also owns the left button while a keypad drag holds it down:
// every way that ends the drag goes through ReleaseButton. Its keypad * opens the keypad grid:
// every way that closes it goes through CloseGrid. Everything runs on the user-interface thread.
class EmulationEngine {
public:
    // Called after every toggle with the new state; may be empty.
    using StateChanged = std::function<void(bool active)>;
    // Called whenever the left button is taken down or let go; may be empty.
    using HoldChanged = std::function<void(bool held)>;

    EmulationEngine(EmulatorSettings& settings, const EngineServices& services, StateChanged stateChanged,
                    HoldChanged holdChanged = {});

    // The window every registration names and that owns the message boxes.
    void BindWindow(WindowHandle window);

    // Hot-key control bits to RegisterHotKey bits: the control's Alt and Shift
    // swap places, and its extended-key flag is dropped because RegisterHotKey
    // would read that bit as the Windows key.
    static std::uint16_t ToHotKeyModifiers(std::uint16_t controlModifiers);

    void RegisterStartStop();
    // Start-up: takes the keypad and turns emulation on, unless the letter keypad is on, which
    // leaves every letter free until the start/stop key is pressed.
    void RegisterEmulationKeys();
    void OnHotKey(int identifier);

    // Re-registers the start/stop key from the settings. A key is accepted only
    // when it registers and carries Shift, Control or Alt; otherwise it is
    // released again and `previous` is put back in force.
    bool ChangeStartStopKey(HotKeyCombination previous);

    // Switch the options at once. While emulation is on their keys are taken (any another
    // program holds are named in one message) or handed back; switching the extended keypad
    // off closes the grid and lets go of a held button first.
    void SetExtendedKeypad(bool on);
    void SetLetterKeypad(bool on);
    // Says that NumLock is off when it is and the keypad is what emulation listens to.
    void CheckNumLock();
    // Lets go of the left button when a keypad drag holds it; nothing otherwise.
    void ReleaseButton();
    // Closes the keypad grid, the pointer where it is, and hands its keys back; nothing
    // when it is closed.
    void CloseGrid();
    // The program ends: the grid closes, the button is let go and the letters handed back.
    void End();

    int StepPixels() const;
    bool Active() const { return active_; }
    bool ExtendedKeypad() const { return extended_; }
    bool LetterKeypad() const { return letters_; }
    bool ButtonHeld() const { return held_; }
    bool GridOpen() const { return grid_.IsOpen(); }

private:
    enum class GridReading { Done, ActThenClose, Unchanged };

    bool RegisterCombination(HotKeyCombination combination);
    bool Wants(Layer layer) const;
    std::string ApplyLayers(std::initializer_list<Layer> named);
    void Start();
    void Stop();
    void Perform(Action action);
    GridReading ReadInGrid(Action action);
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
    void ShowBadge();
    void ReportRefused(const std::string& names);
    void Report(const std::string& text);

    EmulatorSettings& settings_;
    HotKeyService& hotKeys_;
    MouseInput& mouse_;
    KeyboardState& keyboard_;
    MessageService& messages_;
    GridView& gridView_;
    BadgeView& badge_;
    NoticeService& notices_;
    StateChanged stateChanged_;
    HoldChanged holdChanged_;
    WindowHandle window_ = nullptr;
    KeyLayers layers_;
    bool active_ = false;
    bool extended_ = false;
    bool letters_ = false;
    // The letters another program holds are named the first time they are taken after start-up
    // or after the option is switched on; a toggle of the start/stop key is otherwise silent.
    bool nameLetters_ = true;
    bool held_ = false;
    bool badgeShown_ = false;
    std::optional<ScreenPoint> movedTo_;  // where the key being handled put the pointer
    KeypadGrid grid_;
};
