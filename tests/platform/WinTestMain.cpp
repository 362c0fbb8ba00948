// The Windows tests' entry point. The same executable also plays the other programs some
// tests need: one that holds a hotkey, and the web browsers that the program under test starts.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// Appends "<role> <what it was asked to open>" as one line to the file that
// TARNWICK_TEST_LAUNCHES names, which the test set before it started the program.
int RecordLaunch(const std::string& role, const std::string& opened) {
    const char* file = std::getenv("TARNWICK_TEST_LAUNCHES");
    FILE* out = file ? std::fopen(file, "ab") : nullptr;
    if (!out) {
        return 4;
    }
    std::fprintf(out, "%s %s\n", role.c_str(), opened.c_str());
    std::fclose(out);
    return 0;
}

// The command line after the program's own name, as the starting program wrote it.
std::string Arguments() {
    const char* line = GetCommandLineA();
    if (*line == '"') {
        line = std::strchr(line + 1, '"');
        line = line ? line + 1 : "";
    } else {
        while (*line && *line != ' ' && *line != '\t') ++line;
    }
    while (*line == ' ' || *line == '\t') ++line;
    return line;
}

bool NamedInternetExplorer(const std::string& path) {
    const std::string name = path.substr(path.find_last_of("\\/") + 1);
    return lstrcmpiA(name.c_str(), "iexplore.exe") == 0 || lstrcmpiA(name.c_str(), "iexplore") == 0;
}

// A copy in the folder of a tarnwick.exe was planted there by a test, and must never run.
bool BesideProgramUnderTest() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string folder(path, std::strrchr(path, '\\') + 1);
    return GetFileAttributesA((folder + "tarnwick.exe").c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--hold-hotkey") {
        return HoldHotKey(static_cast<unsigned>(std::strtoul(argv[2], nullptr, 0)));
    }
    // Copied over "iexplore", it records its command line; as the http and https handler,
    // registered as `--record-launch "%1"`, the address.
    if (NamedInternetExplorer(argv[0])) {
        return RecordLaunch(BesideProgramUnderTest() ? "planted" : "iexplore", Arguments());
    }
    if (argc == 3 && std::string(argv[1]) == "--record-launch") {
        return RecordLaunch("web", argv[2]);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
