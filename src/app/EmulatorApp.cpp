#include "app/EmulatorApp.h"

#include "platform/SystemLibrary.h"
#include "ui/EmulatorDialog.h"

#include <commctrl.h>

namespace {
EmulatorApp theApp;
}  // namespace

BOOL EmulatorApp::InitInstance() {
    SetLastError(ERROR_SUCCESS);
    instanceMutex_ = Handle(CreateMutexW(nullptr, TRUE, Name().c_str()));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        ShowMessage("The software is running.", MB_OK);
        return FALSE;
    }

    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_STANDARD_CLASSES | ICC_HOTKEY_CLASS};
    InitCommonControlsEx(&controls);
    richEdit_ = LoadSystemLibrary("riched32.dll");

    EmulatorDialog dialog;
    dialog.DoModal();
    return FALSE;
}
