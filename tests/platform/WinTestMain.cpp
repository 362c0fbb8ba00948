// The Windows tests' entry point. The same executable also plays the other program some
// tests need: one that holds a hotkey.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// Holds `virtualKey` as a hotkey until the test sets the release event (or 30 s pass).
int HoldHotKey(unsigned virtualKey) {
    const HWND window = CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        nullptr, nullptr);
    if (!RegisterHotKey(window, 1, 0, virtualKey)) {
        return 2;
    }
    const HANDLE held = OpenEventA(EVENT_MODIFY_STATE, FALSE, "TarnwickTestHotKeyHeld");
    const HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, "TarnwickTestHotKeyRelease");
    if (!held || !release) {
        return 3;
    }
    SetEvent(held);
    WaitForSingleObject(release, 30000);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--hold-hotkey") {
        return HoldHotKey(static_cast<unsigned>(std::strtoul(argv[2], nullptr, 0)));
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
