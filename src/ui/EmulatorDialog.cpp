#include "ui/EmulatorDialog.h"

#include "platform/Handle.h"
#include "platform/PaintContext.h"
#include "resource.h"
#include "settings/SettingsFile.h"
#include "settings/StartupRegistration.h"
#include "ui/AboutDialog.h"
#include "ui/IconPlacement.h"
#include "ui/WebAddresses.h"

#include <shellapi.h>

#include <utility>

namespace {

const char kTitle[] = "Tarnwick";
constexpr UINT kCheckNumLock = WM_APP + 1;

// The taskbar button follows the style the next time the window is shown. A tool window
// has a thinner caption, so the frame is recalculated at once: a window shown later with a
// stale frame changes size after it has been placed.
void SwapExtendedStyle(HWND window, LONG remove, LONG add) {
    SetWindowLongA(window, GWL_EXSTYLE, (GetWindowLongA(window, GWL_EXSTYLE) & ~remove) | add);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ShellExecuteA reports success with a value above 32.
bool Launched(HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; }

// The text of `range` in a rich-edit control, read into a buffer sized from the range: a
// character takes up to two bytes in a double-byte code page. An empty or open range gives "".
std::string TextRange(HWND control, CHARRANGE range) {
    if (range.cpMin < 0 || range.cpMax <= range.cpMin) {
        return {};
    }
    std::string text(2 * static_cast<std::size_t>(range.cpMax - range.cpMin) + 1, '\0');
    TEXTRANGEA request{range, text.data()};
    const LRESULT copied = SendMessageA(control, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&request));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

// Internet Explorer where Windows registers it or installs it; empty when it is not there.
std::wstring InstalledInternetExplorer() {
    wchar_t registered[MAX_PATH] = {};
    DWORD size = sizeof registered;
    if (RegGetValueW(HKEY_LOCAL_MACHINE,
                     L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE",
                     nullptr, RRF_RT_REG_SZ, nullptr, registered, &size) != ERROR_SUCCESS) {
        registered[0] = L'\0';
    }
    wchar_t programFiles[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"ProgramFiles", programFiles, MAX_PATH) >= MAX_PATH) {
        programFiles[0] = L'\0';
    }
    return InternetExplorerPath(registered, programFiles, [](const std::wstring& path) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    });
}

// Text of the code page, as the system's wide calls take it.
std::wstring Widen(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(
        CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

}  // namespace

using Table = MessageTable<EmulatorDialog>;

const Table EmulatorDialog::messages = {
    Table::Message(WM_SYSCOMMAND, &EmulatorDialog::OnSysCommand),
    Table::Message(WM_PAINT, &EmulatorDialog::OnPaint),
    Table::Message(WM_QUERYDRAGICON, &EmulatorDialog::OnQueryDragIcon),
    Table::Message(WM_SHOWWINDOW, &EmulatorDialog::OnShowWindow),
    Table::Command(BN_CLICKED, IDC_MODIFY, &EmulatorDialog::OnModify),
    Table::Command(CBN_SELCHANGE, IDC_SPEED, &EmulatorDialog::SaveSettings),
    Table::Command(BN_CLICKED, IDC_MINIMIZE_AT_STARTUP, &EmulatorDialog::SaveSettings),
    Table::Command(BN_CLICKED, IDC_RUN_AT_STARTUP, &EmulatorDialog::OnRunAtStartupClicked),
    Table::Command(BN_CLICKED, IDC_EXIT, &EmulatorDialog::OnOK),
    Table::Command(0, ID_TRAY_EXIT, &EmulatorDialog::OnOK),
    Table::Command(BN_CLICKED, IDC_MINIMIZE, &EmulatorDialog::OnMinimize),
    Table::Message(WM_HOTKEY, &EmulatorDialog::OnHotKey),
    Table::Message(WM_TRAY_NOTIFY, &EmulatorDialog::OnTrayNotify),
    Table::Message(WM_DESTROY, &EmulatorDialog::OnDestroy),
    Table::Message(WM_ENDSESSION, &EmulatorDialog::OnEndSession),
    Table::Message(WM_DISPLAYCHANGE, &EmulatorDialog::OnDisplayChange),
    Table::Message(kCheckNumLock, &EmulatorDialog::OnCheckNumLock),
    Table::Command(BN_CLICKED, IDC_DONATE, &EmulatorDialog::OnDonate),
};

EmulatorDialog::EmulatorDialog()
    : Dialog(IDD_MAIN),
      icon_(SharedIcon::Load(IDI_ACTIVE)),
      engine_(settings_, {hotKeys_, mouse_, keyboard_, messageBoxes_, gridOverlay_, badge_, tray_},
              [this](bool) { SetTrayIcon(TrayPicture()); }, [this](bool) { SetTrayIcon(TrayPicture()); }) {}

bool EmulatorDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // A registered message has no fixed number for the table.
    if (tray_.IsTaskbarCreated(message)) {
        tray_.AddAgain();
        result = 0;
        return true;
    }
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
    BuildSystemMenu();

    windowIcons_.Apply(hwnd(), GetModuleHandleA(nullptr), IDI_ACTIVE);
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
    keypadOptions_ = ReadKeypadOptions(files_);
    // Known before start-up: with the letters on, emulation starts off.
    SwitchLetterKeypad(keypadOptions_.letters);
    engine_.RegisterStartStop();
    ShowStartStopKey();
    UpdateData(false);
    engine_.RegisterEmulationKeys();
    SwitchExtendedKeypad(keypadOptions_.extended);
    InitTray();
    // The thread's key state, NumLock's with it, catches up once it reads its messages.
    PostMessageA(hwnd(), kCheckNumLock, 0, 0);
    return TRUE;
}

void EmulatorDialog::OnCancel() { Hide(); }

void EmulatorDialog::OnMinimize() { OnCancel(); }

// The box has already changed its state: it is an automatic check box.
void EmulatorDialog::OnRunAtStartupClicked() {
    const bool ticked =
        SendDlgItemMessageA(hwnd(), IDC_RUN_AT_STARTUP, BM_GETCHECK, 0, 0) != BST_UNCHECKED;
    SetRunAtStartup(registry_, files_.ExecutablePath(), ticked);
    SaveSettings();
}

void EmulatorDialog::InitTray() {
    placement_.length = sizeof placement_;
    GetWindowPlacement(hwnd(), &placement_);
    if (settings_.minimizeAtStartup) {
        // A tool window has no taskbar button, so only the tray icon is left.
        SwapExtendedStyle(hwnd(), WS_EX_APPWINDOW, WS_EX_TOOLWINDOW);
        Hide();
    }
    tray_.Add(hwnd(), WM_TRAY_NOTIFY, SharedIcon::LoadSmall(TrayPicture()).get(), kTitle);
}

// Only the tray picture follows the state; the window keeps its icon.
void EmulatorDialog::SetTrayIcon(int iconId) { tray_.SetPicture(SharedIcon::LoadSmall(iconId).get()); }

int EmulatorDialog::TrayPicture() const {
    if (engine_.ButtonHeld()) {
        return IDI_HOLDING;
    }
    return engine_.Active() ? IDI_ACTIVE : IDI_INACTIVE;
}

LRESULT EmulatorDialog::OnTrayNotify(WPARAM, LPARAM mouseMessage) {
    switch (mouseMessage) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: RestoreFromTray(); break;
        case WM_RBUTTONDOWN: ShowTrayMenu(); break;
        default: break;
    }
    return 0;
}

void EmulatorDialog::RestoreFromTray() {
    SwapExtendedStyle(hwnd(), WS_EX_TOOLWINDOW, WS_EX_APPWINDOW);
    // Also brings a minimised window back to its normal size.
    SetWindowPlacement(hwnd(), &placement_);
    ShowWindow(hwnd(), SW_SHOW);
    CenterWindow();
    UpdateData(false);
}

void EmulatorDialog::ShowTrayMenu() {
    const Menu menu(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAY_MENU)));
    if (!menu) {
        return;
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    // Otherwise a click elsewhere would not close the menu.
    SetForegroundWindow(hwnd());
    TrackPopupMenu(GetSubMenu(menu.get(), 0), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON,
                   cursor.x, cursor.y, 0, hwnd(), nullptr);
    // The next menu would close at once while this one's foreground switch is pending.
    PostMessageA(hwnd(), WM_NULL, 0, 0);
}

LRESULT EmulatorDialog::OnDestroy(WPARAM, LPARAM) {
    const LRESULT result = Default();
    engine_.End();
    tray_.Remove();
    return result;
}

// Windows may end the process without destroying the window once this returns.
LRESULT EmulatorDialog::OnEndSession(WPARAM ending, LPARAM) {
    if (ending) {
        engine_.End();
    }
    return 0;
}

// A grid laid over monitors that have changed would be in the wrong place: it closes, and
// the next one takes the monitors as they are then.
LRESULT EmulatorDialog::OnDisplayChange(WPARAM, LPARAM) {
    engine_.CloseGrid();
    return Default();
}

LRESULT EmulatorDialog::OnCheckNumLock(WPARAM, LPARAM) {
    engine_.CheckNumLock();
    return 0;
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
    switch (ReadSettingsFile(files_, settings_)) {
        case ReadOutcome::Read: break;
        case ReadOutcome::Missing: SaveSettings(); break;
        case ReadOutcome::Held:
            // Another program holds the file: start with the defaults and write nothing, so
            // that the file still has the user's settings at the next start. Not the smallest
            // step, which only an empty file means.
            settings_.speedIndex = EmulatorSettings().speedIndex;
            break;
    }
}

void EmulatorDialog::SaveSettings() {
    UpdateData(true);
    WriteSettingsFile(files_, settings_);
}

void EmulatorDialog::ShowStartStopKey() {
    hotKeyControl_.SetHotKey(settings_.hotKeyVirtualKey, settings_.hotKeyModifiers);
}

// The standard items, then the two keypad options' items in a group of their own, then About,
// which stays last.
void EmulatorDialog::BuildSystemMenu() {
    const HMENU menu = GetSystemMenu(hwnd(), FALSE);
    if (!menu) {
        return;
    }
    const struct {
        UINT stringId;
        UINT command;
        bool startsGroup;
    } items[] = {{IDS_EXTENDED_KEYPAD, IDM_EXTENDED_KEYPAD, true},
                 {IDS_LETTER_KEYPAD, IDM_LETTER_KEYPAD, false},
                 {IDS_ABOUTBOX, IDM_ABOUTBOX, true}};
    for (const auto& item : items) {
        char text[64] = {};
        if (LoadStringA(GetModuleHandleA(nullptr), item.stringId, text, sizeof text) > 0) {
            if (item.startsGroup) {
                AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            }
            AppendMenuA(menu, MF_STRING, item.command, text);
        }
    }
}

void EmulatorDialog::SwitchExtendedKeypad(bool on) {
    CheckMenuItem(GetSystemMenu(hwnd(), FALSE), IDM_EXTENDED_KEYPAD,
                  on ? MF_BYCOMMAND | MF_CHECKED : MF_BYCOMMAND | MF_UNCHECKED);
    engine_.SetExtendedKeypad(on);
}

void EmulatorDialog::SwitchLetterKeypad(bool on) {
    CheckMenuItem(GetSystemMenu(hwnd(), FALSE), IDM_LETTER_KEYPAD,
                  on ? MF_BYCOMMAND | MF_CHECKED : MF_BYCOMMAND | MF_UNCHECKED);
    engine_.SetLetterKeypad(on);
}

// The system keeps the low four bits of a system command for itself.
LRESULT EmulatorDialog::OnSysCommand(WPARAM command, LPARAM) {
    switch (command & 0xFFF0) {
        case IDM_ABOUTBOX: {
            AboutDialog about;
            about.DoModal(hwnd());
            return 0;
        }
        // Written only here, so a user who never switches an option gets no file.
        case IDM_EXTENDED_KEYPAD:
            keypadOptions_.extended = !engine_.ExtendedKeypad();
            SwitchExtendedKeypad(keypadOptions_.extended);
            WriteKeypadOptions(files_, keypadOptions_);
            return 0;
        case IDM_LETTER_KEYPAD:
            keypadOptions_.letters = !engine_.LetterKeypad();
            keypadOptions_.lettersWritten = true;
            SwitchLetterKeypad(keypadOptions_.letters);
            WriteKeypadOptions(files_, keypadOptions_);
            return 0;
        default: return Default();
    }
}

LRESULT EmulatorDialog::OnPaint(WPARAM, LPARAM) {
    if (!IsIconic(hwnd())) {
        return Default();
    }
    const PaintContext paint(hwnd());
    SendMessageA(hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.dc()), 0);
    RECT client;
    GetClientRect(hwnd(), &client);
    const IconOrigin origin =
        CentredIconOrigin(client.right - client.left, client.bottom - client.top,
                          GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    DrawIcon(paint.dc(), origin.x, origin.y, icon_.get());
    return 0;
}

LRESULT EmulatorDialog::OnQueryDragIcon(WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(icon_.get());
}

// Runs on every show and hide. Link detection and link events go on before the text reaches
// the control, so the text's addresses are detected as it arrives.
LRESULT EmulatorDialog::OnShowWindow(WPARAM, LPARAM) {
    const LRESULT result = Default();
    const HWND manual = GetDlgItem(hwnd(), IDC_MANUAL);
    SendMessageA(manual, EM_AUTOURLDETECT, TRUE, 0);
    const LRESULT events = SendMessageA(manual, EM_GETEVENTMASK, 0, 0);
    SendMessageA(manual, EM_SETEVENTMASK, 0, events | ENM_LINK);
    manual_ = ManualText();
    UpdateData(false);
    return result;
}

BOOL EmulatorDialog::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == EN_LINK) {
        const auto* link = reinterpret_cast<const ENLINK*>(lParam);
        if (link->msg == WM_LBUTTONUP) {
            OpenLink(link->chrg);
        }
    }
    return Dialog::OnNotify(wParam, lParam, result);
}

// The link becomes the manual's selection and opens in Internet Explorer; where that browser
// is missing, as on current Windows, in the default web handler instead. The browser is
// started by its full path: by its bare name, a program of that name in the executable's
// folder or the current folder would run instead.
void EmulatorDialog::OpenLink(CHARRANGE range) {
    const HWND manual = GetDlgItem(hwnd(), IDC_MANUAL);
    SendMessageA(manual, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    const std::string link = TextRange(manual, range);
    if (link.empty()) {
        return;
    }
    const std::wstring browser = InstalledInternetExplorer();
    if (!browser.empty() && Launched(ShellExecuteW(nullptr, L"open", browser.c_str(),
                                                   Widen(link).c_str(), nullptr, SW_SHOWNORMAL))) {
        return;
    }
    ShellExecuteA(nullptr, "open", WebAddressForLink(link).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void EmulatorDialog::OnDonate() {
    ShellExecuteA(hwnd(), "open", DonationAddress().c_str(), "", "", SW_SHOW);
}
