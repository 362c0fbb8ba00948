#pragma once

#include "controls/ThemeLibrary.h"
#include "controls/ThemedButton.h"
#include "emulation/EmulationEngine.h"
#include "platform/Dialog.h"
#include "platform/HotKeyControl.h"
#include "platform/MessageTable.h"
#include "platform/SharedIcon.h"
#include "platform/Win32Services.h"
#include "platform/WindowIcons.h"
#include "settings/EmulatorSettings.h"
#include "settings/KeypadOptionFile.h"
#include "ui/GridOverlay.h"
#include "ui/PointerBadge.h"
#include "ui/TrayIcon.h"

#include <richedit.h>

#include <string>

// Tarnwick's only window. It owns everything that lives while the program runs:
// the settings, the emulation engine and the controls bound to them.
class EmulatorDialog final : public Dialog {
public:
    EmulatorDialog();

protected:
    void DoDataExchange(DataExchange& exchange) override;
    bool PreTranslateMessage(MSG& message) override;
    BOOL OnInitDialog() override;
    // Every way of closing the window hides it; only Exit ends the program.
    void OnCancel() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static const MessageTable<EmulatorDialog> messages;

    LRESULT OnHotKey(WPARAM identifier, LPARAM);
    LRESULT OnTrayNotify(WPARAM, LPARAM mouseMessage);
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnSysCommand(WPARAM command, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnQueryDragIcon(WPARAM, LPARAM);
    LRESULT OnShowWindow(WPARAM, LPARAM);
    LRESULT OnEndSession(WPARAM ending, LPARAM);
    LRESULT OnDisplayChange(WPARAM, LPARAM);
    LRESULT OnCheckNumLock(WPARAM, LPARAM);
    void OnDonate();
    void BuildSystemMenu();
    void SwitchExtendedKeypad(bool on);
    void SwitchLetterKeypad(bool on);
    void OpenLink(CHARRANGE range);
    void OnModify();
    void OnMinimize();
    void OnRunAtStartupClicked();
    void InitTray();
    void SetTrayIcon(int iconId);
    int TrayPicture() const;
    void RestoreFromTray();
    void ShowTrayMenu();
    void LoadSettings();
    void SaveSettings();
    void ShowStartStopKey();

    HotKeyControl hotKeyControl_;
    std::string manual_;
    EmulatorSettings settings_;
    SharedIcon icon_;
    WindowIcons windowIcons_;  // the caption's and Alt+Tab's, at the system's sizes
    Win32HotKeys hotKeys_;
    Win32Mouse mouse_;
    Win32Keyboard keyboard_;
    Win32Messages messageBoxes_;
    Win32FileSystem files_;
    Win32Registry registry_;
    GridOverlay gridOverlay_;
    PointerBadge badge_;
    TrayIcon tray_;  // also the engine's notices
    KeypadOptions keypadOptions_;
    EmulationEngine engine_;
    // Made before the buttons that borrow it, and so destroyed after them.
    ThemeLibrary themeLibrary_;
    ThemedButton modifyButton_;
    ThemedButton donateButton_;
    ThemedButton minimizeButton_;
    ThemedButton exitButton_;
    // Taken when the dialog is made; every restore from the tray puts the window back there.
    WINDOWPLACEMENT placement_{};
};
