// The least a program showing Tarnwick's dialog can be: the same template and manifest, run
// by the system's own dialog box with a plain dialog procedure, filled as the user sees it
// (speed list, start/stop key, usage manual with its links, window icon), the same hotkeys
// registered on it and per WM_HOTKEY the same work as Tarnwick. Given "/tray" on its
// command line it also adds a tray icon of its own at the end of its initialisation, and its
// Minimize button and close box hide it there. Whatever Tarnwick costs beyond this program is
// what its own code adds.

#include "floor_keys.h"
#include "resource.h"
#include "ui/WebAddresses.h"

#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
#include <shellapi.h>

#include <cstring>

namespace {

constexpr UINT kTrayIconId = 1;

bool withTray = false;
NOTIFYICONDATAA tray{};

void AddTrayIcon(HWND window, HICON icon) {
    tray.cbSize = NOTIFYICONDATAA_V1_SIZE;
    tray.hWnd = window;
    tray.uID = kTrayIconId;
    tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray.uCallbackMessage = WM_TRAY_NOTIFY;
    tray.hIcon = icon;
    std::strcpy(tray.szTip, "Tarnwick floor");
    Shell_NotifyIconA(NIM_ADD, &tray);
}

void Fill(HWND dialog, HICON icon) {
    static const char* const kSpeeds[] = {"1", "2", "5", "10", "20", "50", "100", "200", "500"};
    for (const char* speed : kSpeeds) {
        SendDlgItemMessageA(dialog, IDC_SPEED, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(speed));
    }
    SendDlgItemMessageA(dialog, IDC_SPEED, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageA(dialog, IDC_HOTKEY, HKM_SETHOTKEY, VK_F9, 0);
    SendDlgItemMessageA(dialog, IDC_MANUAL, EM_AUTOURLDETECT, TRUE, 0);
    SendDlgItemMessageA(dialog, IDC_MANUAL, EM_SETEVENTMASK, 0, ENM_LINK);
    SetDlgItemTextA(dialog, IDC_MANUAL, ManualText().c_str());
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: {
            const HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_ACTIVE));
            Fill(dialog, icon);
            RegisterFloorKeys(dialog);
            if (withTray) {
                AddTrayIcon(dialog, icon);
            }
            return TRUE;
        }
        case WM_HOTKEY: OnFloorHotKey(dialog, wParam); return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_EXIT: EndDialog(dialog, IDOK); break;
                case IDC_MINIMIZE:
                case IDCANCEL:
                    if (withTray) {
                        ShowWindow(dialog, SW_HIDE);
                    }
                    break;
                default: break;
            }
            return TRUE;
        case WM_DESTROY:
            if (withTray) {
                Shell_NotifyIconA(NIM_DELETE, &tray);
            }
            return FALSE;
        default: return FALSE;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    withTray = std::strstr(commandLine, "/tray") != nullptr;
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_HOTKEY_CLASS};
    InitCommonControlsEx(&controls);
    LoadLibraryA("riched32.dll");  // the "RICHEDIT" class of the usage manual
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, &Procedure, 0);
    return 0;
}
