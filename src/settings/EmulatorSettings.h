#pragma once

#include <cstdint>

// What Tarnwick remembers between runs; the defaults are those of a first start.
struct EmulatorSettings {
    std::int32_t speedIndex = 3;          // index into the step table; -1 when the list has no selection
    std::uint16_t hotKeyVirtualKey = 0x78;  // F9
    std::uint16_t hotKeyModifiers = 0;    // hot-key control bits: 0x01 Shift, 0x02 Control, 0x04 Alt, 0x08 extended
    std::int32_t runAtStartup = 0;
    std::int32_t minimizeAtStartup = 0;
};
