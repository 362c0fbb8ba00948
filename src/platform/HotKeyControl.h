#pragma once

#include "platform/Control.h"

#include <cstdint>

// The "msctls_hotkey32" control: a key with the control's modifier bits
// (0x01 Shift, 0x02 Control, 0x04 Alt, 0x08 extended key).
class HotKeyControl : public Control {
public:
    void GetHotKey(std::uint16_t& virtualKey, std::uint16_t& modifiers) const;
    void SetHotKey(std::uint16_t virtualKey, std::uint16_t modifiers);
};
