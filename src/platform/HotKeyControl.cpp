#include "platform/HotKeyControl.h"

#include <commctrl.h>

void HotKeyControl::GetHotKey(std::uint16_t& virtualKey, std::uint16_t& modifiers) const {
    const auto value = static_cast<WORD>(SendMessageA(hwnd(), HKM_GETHOTKEY, 0, 0));
    virtualKey = LOBYTE(value);
    modifiers = HIBYTE(value);
}

void HotKeyControl::SetHotKey(std::uint16_t virtualKey, std::uint16_t modifiers) {
    SendMessageA(hwnd(), HKM_SETHOTKEY, MAKEWORD(virtualKey, modifiers), 0);
}
