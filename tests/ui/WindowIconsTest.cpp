// The program's icons at every display scale. The system reads the scale once, when a process
// starts, so each scale is tried in a child process started after LogPixels is set; the child
// gives a window the icons as the main dialog does and checks their sizes.

#include "platform/WindowIcons.h"
#include "platform/WinTestSupport.h"
#include "resource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace {

std::wstring ProgramBesideThis() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program = path;
    return program.substr(0, program.rfind(L'\\') + 1) + L"tarnwick.exe";
}

// tarnwick.exe's resources, without running it.
HMODULE ProgramResources() {
    return LoadLibraryExW(ProgramBesideThis().c_str(), nullptr,
                          LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
}

SIZE IconSize(HICON icon) {
    ICONINFO info{};
    BITMAP bitmap{};
    if (GetIconInfo(icon, &info)) {
        GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    return {bitmap.bmWidth, info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2};
}

// The child: 0 when the window's small and big icons are the system's sizes at a display
// scale where the small-icon size is `expectedSmall`.
int CheckWindowIcons(int expectedSmall) {
    const int small = GetSystemMetrics(SM_CXSMICON);
    const int big = GetSystemMetrics(SM_CXICON);
    if (small != expectedSmall) {
        std::printf("the system's small-icon size is %d, not %d\n", small, expectedSmall);
        return 2;
    }
    const HWND window = CreateWindowExW(0, L"STATIC", L"icons", WS_POPUP, 0, 0, 10, 10, nullptr,
                                        nullptr, nullptr, nullptr);
    WindowIcons icons;
    icons.Apply(window, ProgramResources(), IDI_ACTIVE);
    const SIZE shownSmall = IconSize(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0)));
    const SIZE shownBig = IconSize(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0)));
    DestroyWindow(window);
    std::printf("small icon %ldx%ld (system %dx%d), big icon %ldx%ld (system %dx%d)\n", shownSmall.cx,
                shownSmall.cy, small, GetSystemMetrics(SM_CYSMICON), shownBig.cx, shownBig.cy, big,
                GetSystemMetrics(SM_CYICON));
    const bool right = shownSmall.cx == small && shownSmall.cy == GetSystemMetrics(SM_CYSMICON) &&
                       shownBig.cx == big && shownBig.cy == GetSystemMetrics(SM_CYICON);
    return right ? 0 : 1;
}

DWORD RunChild(int expectedSmall) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --check-window-icons " +
                               std::to_wstring(expectedSmall);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(self, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &child)) {
        return 100;
    }
    CloseHandle(child.hThread);
    DWORD code = 101;
    if (WaitForSingleObject(child.hProcess, 60000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(child.hProcess, &code);
    }
    CloseHandle(child.hProcess);
    return code;
}

TEST(WindowIconsTest, TheWindowsIconsAreTheSystemsSizesAtEveryDisplayScale) {
    // The scale of the processes started from now on.
    wintest::ScopedRegistryValue scale(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels");
    for (const auto& [dotsPerInch, smallIcon] : {std::pair{96, 16}, {144, 24}, {192, 32}}) {
        ASSERT_TRUE(scale.Set(static_cast<DWORD>(dotsPerInch)));
        EXPECT_EQ(RunChild(smallIcon), 0u) << "at " << dotsPerInch << " DPI";
    }
}

// Each size Windows asks for from 100 to 200 % has an image drawn for it, so none is scaled.
TEST(WindowIconsTest, EveryIconGroupHoldsAnImageForEachSizeWindowsAsksFor) {
    const HMODULE program = ProgramResources();
    ASSERT_NE(program, nullptr);
    for (const int group : {IDI_ACTIVE, IDI_INACTIVE, IDI_HOLDING}) {
        const HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(group), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
        ASSERT_NE(found, nullptr);
        const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(program, found)));
        const WORD count = *reinterpret_cast<const WORD*>(directory + 4);
        std::set<int> trueColour;
        for (WORD i = 0; i < count; ++i) {
            const BYTE* entry = directory + 6 + 14 * i;  // GRPICONDIRENTRY
            const int width = entry[0] ? entry[0] : 256;
            if (*reinterpret_cast<const WORD*>(entry + 6) != 32) {
                continue;
            }
            trueColour.insert(width);
            if (width > 32) {  // the large images are stored as PNG
                const WORD id = *reinterpret_cast<const WORD*>(entry + 12);
                const HRSRC image = FindResourceW(program, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3));  // RT_ICON
                ASSERT_NE(image, nullptr);
                const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(program, image)));
                EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes) + 1, 3), "PNG");
            }
        }
        EXPECT_EQ(trueColour, (std::set<int>{16, 20, 24, 32, 40, 48, 64, 256})) << "group " << group;
    }
    FreeLibrary(program);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--check-window-icons") {
        return CheckWindowIcons(std::atoi(argv[2]));
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
