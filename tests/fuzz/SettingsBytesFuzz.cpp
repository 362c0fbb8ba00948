// Any "para.dll" bytes: only the first sixteen count.

#include "FuzzTarget.h"
#include "settings/SettingsFile.h"

#include <algorithm>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EmulatorSettings settings;
    DecodeSettings(std::vector<std::uint8_t>(data, data + size), settings);
    EmulatorSettings first16;
    DecodeSettings(std::vector<std::uint8_t>(data, data + std::min<std::size_t>(size, 16)), first16);
    Require(settings.speedIndex == first16.speedIndex && settings.minimizeAtStartup == first16.minimizeAtStartup,
            "bytes past the sixteenth are ignored");
    return 0;
}
