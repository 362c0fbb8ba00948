#include "platform/Win32Services.h"

#include "platform/Handle.h"
#include "platform/ModulePath.h"

#include <windows.h>

#include <shlobj.h>

#include <iterator>
#include <utility>

namespace {

HWND ToHwnd(WindowHandle window) { return static_cast<HWND>(window); }

HKEY ToHkey(RegistryService::Root root) {
    return root == RegistryService::Root::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// The file is there, but another program has it open without sharing it, has locked a part
// of it, or keeps it from being deleted (which a replace does to the old file).
bool IsHeld(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

ChangeOutcome ChangeOutcomeOf(DWORD error) {
    return IsHeld(error) ? ChangeOutcome::Held : ChangeOutcome::Failed;
}

}  // namespace

bool Win32HotKeys::Register(WindowHandle window, int id, unsigned modifiers, unsigned virtualKey) {
    return RegisterHotKey(ToHwnd(window), id, modifiers, virtualKey) != FALSE;
}

void Win32HotKeys::Unregister(WindowHandle window, int id) { UnregisterHotKey(ToHwnd(window), id); }

std::optional<ScreenPoint> Win32Mouse::CursorPosition() {
    POINT point;
    if (!GetCursorPos(&point)) {
        return std::nullopt;
    }
    return ScreenPoint{point.x, point.y};
}

ScreenArea Win32Mouse::VirtualScreen() {
    return ScreenArea{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                      GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

std::vector<ScreenArea> Win32Mouse::Monitors() {
    std::vector<ScreenArea> monitors;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR, HDC, LPRECT rect, LPARAM found) -> BOOL {
            reinterpret_cast<std::vector<ScreenArea>*>(found)->push_back(
                {rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

void Win32Mouse::Inject(std::initializer_list<MouseEvent> events) {
    INPUT inputs[4] = {};
    UINT count = 0;
    for (const MouseEvent& event : events) {
        if (count == std::size(inputs)) {
            break;
        }
        INPUT& input = inputs[count++];
        input.type = INPUT_MOUSE;
        input.mi.dx = event.dx;
        input.mi.dy = event.dy;
        input.mi.mouseData = static_cast<DWORD>(event.data);  // a wheel turned back is negative
        input.mi.dwFlags = event.flags;
    }
    SendInput(count, inputs, sizeof(INPUT));
}

bool Win32Keyboard::IsDown(unsigned virtualKey) {
    return (GetAsyncKeyState(static_cast<int>(virtualKey)) & 0x8000) != 0;
}

bool Win32Keyboard::NumLockOn() { return (GetKeyState(VK_NUMLOCK) & 1) != 0; }

// The letters are chosen by their place, so an AZERTY or Dvorak user's hands stand where a US
// user's do; the layout is the one the user types with now, in the window that has the focus.
LayoutKey Win32Keyboard::KeyAt(unsigned place) {
    const HWND focused = GetForegroundWindow();
    const HKL layout = GetKeyboardLayout(focused ? GetWindowThreadProcessId(focused, nullptr) : 0);
    const UINT virtualKey = MapVirtualKeyExA(place, MAPVK_VSC_TO_VK, layout);
    // The character the key types unshifted; a dead key has its top bit set.
    const UINT typed = MapVirtualKeyExA(virtualKey, MAPVK_VK_TO_CHAR, layout) & 0xFFFF;
    if (typed > ' ' && typed <= 0xFF) {
        return {virtualKey, std::string(1, static_cast<char>(typed))};
    }
    char name[32] = {};
    GetKeyNameTextA(static_cast<LONG>(place) << 16, name, sizeof name);
    return {virtualKey, name};
}

namespace {

// The system calls a low-level hook with no pointer of the program's own, and a process has one
// keyboard: the watch is the process's.
std::function<void(unsigned)> watcher;
Hook hook;

LRESULT CALLBACK KeyboardHook(int code, WPARAM message, LPARAM event) {
    if (code == HC_ACTION && (message == WM_KEYUP || message == WM_SYSKEYUP) && watcher) {
        // A copy: the call may end the watch, and the function with it.
        const std::function<void(unsigned)> released = watcher;
        released(reinterpret_cast<const KBDLLHOOKSTRUCT*>(event)->vkCode);
    }
    return CallNextHookEx(nullptr, code, message, event);
}

}  // namespace

// The system waits for the hook before it goes on to the next key, so a key let go is heard of
// before a later press of it turns into a hotkey: a quick second press is never taken for a
// repeat of the first. Hooked only while a key is held on to.
void Win32Keyboard::WatchReleases(std::function<void(unsigned virtualKey)> released) {
    watcher = std::move(released);
    if (!watcher) {
        hook = Hook();
    } else if (!hook) {
        hook = Hook(SetWindowsHookExA(WH_KEYBOARD_LL, &KeyboardHook, GetModuleHandleA(nullptr), 0));
    }
}

void Win32Messages::Show(WindowHandle owner, const std::string& text, const std::string& caption,
                         unsigned style) {
    MessageBoxA(ToHwnd(owner), text.c_str(), caption.c_str(), style);
}

std::wstring Win32FileSystem::ExecutablePath() { return ExecutableFullPath(); }

FileRead Win32FileSystem::ReadFile(const std::wstring& path, std::size_t maxBytes) {
    Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        // Only a file that is surely not there may be created anew. Any other failure (a drive
        // that is not ready, a network share reconnecting, an error not foreseen here) counts
        // as held: waited for, and never written over.
        return {IsMissing(GetLastError()) ? ReadOutcome::Missing : ReadOutcome::Held, {}};
    }
    std::vector<std::uint8_t> bytes(maxBytes);
    std::size_t total = 0;
    while (total < maxBytes) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), bytes.data() + total, static_cast<DWORD>(maxBytes - total), &read,
                        nullptr)) {
            // A range that another program has locked: not half a file, but none for now.
            return {ReadOutcome::Held, {}};
        }
        if (read == 0) {
            break;
        }
        total += read;
    }
    bytes.resize(total);
    return {ReadOutcome::Read, bytes};
}

bool Win32FileSystem::WriteFlushed(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size() && FlushFileBuffers(file.get());
}

ChangeOutcome Win32FileSystem::Replace(const std::wstring& source, const std::wstring& target) {
    if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return ChangeOutcome::Done;
    }
    return ChangeOutcomeOf(GetLastError());
}

ChangeOutcome Win32FileSystem::Remove(const std::wstring& path) {
    if (DeleteFileW(path.c_str())) {
        return ChangeOutcome::Done;
    }
    const DWORD error = GetLastError();
    return IsMissing(error) ? ChangeOutcome::Done : ChangeOutcomeOf(error);
}

std::wstring Win32FileSystem::LocalAppDataDirectory() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return std::wstring();
    }
    return path;
}

void Win32FileSystem::MakeDirectory(const std::wstring& path) { CreateDirectoryW(path.c_str(), nullptr); }

void Win32FileSystem::Pause(unsigned milliseconds) { Sleep(milliseconds); }

bool Win32Registry::SetString(Root root, const std::wstring& keyPath, const std::wstring& name,
                              const std::wstring& data) {
    HKEY opened = nullptr;
    if (RegCreateKeyExW(ToHkey(root), keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const RegistryKey key(opened);
    const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()), bytes) == ERROR_SUCCESS;
}

void Win32Registry::DeleteValue(Root root, const std::wstring& keyPath, const std::wstring& name) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(ToHkey(root), keyPath.c_str(), 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS) {
        return;
    }
    const RegistryKey key(opened);
    RegDeleteValueW(key.get(), name.c_str());
}
