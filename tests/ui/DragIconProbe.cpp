// A hook library that the drag icon test places into tarnwick.exe: WM_QUERYDRAGICON is asked
// of a window by its own process, and Wine delivers it from no other. When the dialog's
// thread takes the probe message from its queue, the hook asks the dialog for its drag icon
// there, compares it with the program's shared application icon, and posts the answer to
// the test's thread: wParam 1 when they are the same icon, lParam 1 when there is one.

#include "resource.h"

#include <windows.h>

// Looked up by name, so no header declares it; this line does, as the build's warnings ask.
extern "C" __declspec(dllexport) LRESULT CALLBACK DragIconProbe(int code, WPARAM wParam,
                                                                 LPARAM lParam);

extern "C" __declspec(dllexport) LRESULT CALLBACK DragIconProbe(int code, WPARAM wParam,
                                                                 LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    static const UINT probe = RegisterWindowMessageA("TarnwickDragIconProbe");
    if (code == HC_ACTION && wParam == PM_REMOVE && message->message == probe) {
        const auto dragIcon =
            reinterpret_cast<HICON>(SendMessageA(message->hwnd, WM_QUERYDRAGICON, 0, 0));
        const HICON appIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_ACTIVE));
        PostThreadMessageA(static_cast<DWORD>(message->wParam), probe, dragIcon == appIcon,
                           dragIcon != nullptr);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
