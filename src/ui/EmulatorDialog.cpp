#include "ui/EmulatorDialog.h"

#include "resource.h"
#include "settings/SettingsFile.h"

namespace {
const char kTitle[] = "Tarnwick";
}  // namespace

using Table = MessageTable<EmulatorDialog>;

const Table EmulatorDialog::messages = {
    Table::Command(BN_CLICKED, IDC_MODIFY, &EmulatorDialog::OnModify),
    Table::Command(CBN_SELCHANGE, IDC_SPEED, &EmulatorDialog::SaveSettings),
    Table::Command(BN_CLICKED, IDC_MINIMIZE_AT_STARTUP, &EmulatorDialog::SaveSettings),
    Table::Command(BN_CLICKED, IDC_EXIT, &EmulatorDialog::OnOK),
    Table::Command(0, ID_TRAY_EXIT, &EmulatorDialog::OnOK),
    Table::Message(WM_HOTKEY, &EmulatorDialog::OnHotKey),
};

EmulatorDialog::EmulatorDialog()
    : Dialog(IDD_MAIN),
      icon_(SharedIcon::Load(IDI_ACTIVE)),
      engine_(settings_, hotKeys_, mouse_, messageBoxes_, nullptr) {}

bool EmulatorDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return messages.Route(*this, message, wParam, lParam, result);
}

void EmulatorDialog::DoDataExchange(DataExchange& exchange) {
    exchange.BindControl(IDC_HOTKEY, hotKeyControl_);
    exchange.Text(IDC_MANUAL, manual_);
    exchange.ComboIndex(IDC_SPEED, settings_.speedIndex);
    exchange.Check(IDC_MINIMIZE_AT_STARTUP, settings_.minimizeAtStartup);
    exchange.Check(IDC_RUN_AT_STARTUP, settings_.runAtStartup);
    exchange.BindControl(IDC_MODIFY, modifyButton_);
    exchange.BindControl(IDC_DONATE, donateButton_);
    exchange.BindControl(IDC_MINIMIZE, minimizeButton_);
    exchange.BindControl(IDC_EXIT, exitButton_);
}

// Enter and Esc would end the dialog through the dialog manager; they mean nothing here.
bool EmulatorDialog::PreTranslateMessage(MSG& message) {
    if (message.message == WM_KEYDOWN && (message.wParam == VK_ESCAPE || message.wParam == VK_RETURN)) {
        return true;
    }
    return Dialog::PreTranslateMessage(message);
}

BOOL EmulatorDialog::OnInitDialog() {
    Dialog::OnInitDialog();

    SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
    SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.get()));
    for (ThemedButton* button : {&modifyButton_, &donateButton_, &minimizeButton_, &exitButton_}) {
        button->SetThemeLibrary(&themeLibrary_);
    }

    // The file decides the speed; an empty file leaves the smallest step rather than the default.
    settings_.speedIndex = 0;
    try {
        LoadSettings();
    } catch (...) {
        // Start-up always completes; the defaults stand in for what could not be loaded.
    }

    engine_.BindWindow(hwnd());
    engine_.RegisterStartStop();
    ShowStartStopKey();
    UpdateData(false);
    engine_.RegisterEmulationKeys();
    return TRUE;
}

LRESULT EmulatorDialog::OnHotKey(WPARAM identifier, LPARAM) {
    engine_.OnHotKey(static_cast<int>(identifier));
    return 0;
}

void EmulatorDialog::OnModify() {
    const HotKeyCombination previous{settings_.hotKeyVirtualKey, settings_.hotKeyModifiers};
    hotKeyControl_.GetHotKey(settings_.hotKeyVirtualKey, settings_.hotKeyModifiers);
    if (engine_.ChangeStartStopKey(previous)) {
        SaveSettings();
        messageBoxes_.Show(hwnd(), "Successful!", kTitle, MB_OK);
        return;
    }
    // The refused key is gone from the system; it must not linger in the control or
    // reach the file with the next save either.
    settings_.hotKeyVirtualKey = previous.virtualKey;
    settings_.hotKeyModifiers = previous.modifiers;
    ShowStartStopKey();
    messageBoxes_.Show(hwnd(), "Register hotkey failure. Please re-set the hotkey.", kTitle,
                       MB_OK | MB_ICONEXCLAMATION);
}

void EmulatorDialog::LoadSettings() {
    if (!ReadSettingsFile(files_, settings_)) {
        SaveSettings();
    }
}

void EmulatorDialog::SaveSettings() {
    UpdateData(true);
    WriteSettingsFile(files_, settings_);
}

void EmulatorDialog::ShowStartStopKey() {
    hotKeyControl_.SetHotKey(settings_.hotKeyVirtualKey, settings_.hotKeyModifiers);
}
