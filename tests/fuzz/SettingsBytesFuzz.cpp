// DecodeSettings over any "para.dll" bytes, and the engine that then runs on them: only the
// fields the file holds whole change, bytes past the sixteenth change nothing, the pointer's
// step is one the speed list offers (or the fallback for an index it lacks), and the start/stop
// key never registers with the Windows key.

#include "FuzzTarget.h"
#include "emulation/EmulationEngine.h"
#include "platform/FakeServices.h"
#include "settings/SettingsFile.h"

#include <vector>

namespace {

bool Same(const EmulatorSettings& a, const EmulatorSettings& b) {
    return a.speedIndex == b.speedIndex && a.hotKeyVirtualKey == b.hotKeyVirtualKey &&
           a.hotKeyModifiers == b.hotKeyModifiers && a.runAtStartup == b.runAtStartup &&
           a.minimizeAtStartup == b.minimizeAtStartup;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    EmulatorSettings settings;
    DecodeSettings(bytes, settings);

    const EmulatorSettings defaults;
    Require(size >= 4 || settings.speedIndex == defaults.speedIndex, "a part of the speed is ignored");
    Require(size >= 6 || settings.hotKeyVirtualKey == defaults.hotKeyVirtualKey, "a part of the key is ignored");
    Require(size >= 8 || settings.hotKeyModifiers == defaults.hotKeyModifiers, "a part of the modifiers is ignored");
    Require(size >= 12 || settings.runAtStartup == defaults.runAtStartup, "a part of run at start-up is ignored");
    Require(size >= 16 || settings.minimizeAtStartup == defaults.minimizeAtStartup,
            "a part of minimize at start-up is ignored");
    if (size > 16) {
        EmulatorSettings first16;
        DecodeSettings(std::vector<std::uint8_t>(data, data + 16), first16);
        Require(Same(settings, first16), "bytes past the sixteenth are ignored");
    }

    FakeHotKeys hotKeys;
    FakeMouse mouse;
    FakeMessages messages;
    EmulationEngine engine(settings, hotKeys, mouse, messages, nullptr);
    const int step = engine.StepPixels();
    Require(step >= 1 && step <= 1000, "the step is one the speed list offers");
    engine.RegisterStartStop();
    for (const HotKeyCall& call : hotKeys.calls) {
        Require((call.modifiers & 0x0008) == 0, "the start/stop key never takes the Windows key");
    }
    return 0;
}
