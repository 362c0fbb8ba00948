#pragma once

// The operating-system services that the portable logic (settings file, emulation
// engine) needs. Win32Services implements them over the real system; the native
// tests use recording fakes, so that logic never includes <windows.h>.

#include "platform/Geometry.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

// A window handle passed through the portable code untouched (an HWND on Windows).
using WindowHandle = void*;

class HotKeyService {
public:
    virtual ~HotKeyService() = default;
    // True when the combination now posts WM_HOTKEY with `id` to `window`;
    // false when another registration holds it.
    virtual bool Register(WindowHandle window, int id, unsigned modifiers, unsigned virtualKey) = 0;
    virtual void Unregister(WindowHandle window, int id) = 0;
};

// One synthetic mouse input: mouse_event's flags, coordinates and wheel data.
struct MouseEvent {
    std::uint32_t flags = 0;
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    std::int32_t data = 0;
};

class MouseInput {
public:
    virtual ~MouseInput() = default;
    virtual std::optional<ScreenPoint> CursorPosition() = 0;
    // The rectangle that spans every monitor.
    virtual ScreenArea VirtualScreen() = 0;
    // Every monitor's full rectangle, taskbar included, as the system has them now.
    virtual std::vector<ScreenArea> Monitors() = 0;
    // The inputs of one action, handed to the system together so that no other input
    // comes between them: a double-click stays one double-click.
    virtual void Inject(std::initializer_list<MouseEvent> events) = 0;
};

// The keypad grid's overlay, drawn over every other window; the engine says what it shows.
class GridView {
public:
    virtual ~GridView() = default;
    // Shows the grid over `region`, a part of `monitor`, and raises it above every window.
    // The pointer stands at `pointer`: a digit it would cover is left out.
    virtual void Show(const ScreenArea& monitor, const ScreenArea& region, ScreenPoint pointer) = 0;
    virtual void Hide() = 0;
};

// A small mark beside the pointer, drawn over every other window, that says the letter keys
// are Tarnwick's for now.
class BadgeView {
public:
    virtual ~BadgeView() = default;
    // Shows it beside the pointer standing at `pointer`, or moves it there.
    virtual void Show(ScreenPoint pointer) = 0;
    virtual void Hide() = 0;
};

// A key of the keyboard as the layout in use names it.
struct LayoutKey {
    unsigned virtualKey;  // 0 when the layout has no key at that place
    std::string name;     // what the key types, for messages
};

class KeyboardState {
public:
    virtual ~KeyboardState() = default;
    // Whether the key is down now, whichever program it is typed into.
    virtual bool IsDown(unsigned virtualKey) = 0;
    virtual bool NumLockOn() = 0;
    // The key at `place` (a scan code: its position on the keyboard) in the keyboard layout of
    // the window that has the focus.
    virtual LayoutKey KeyAt(unsigned place) = 0;
    // Until called again with an empty function, `released` hears of every key let go, before
    // any later key's press has reached a program; with an empty one, nothing runs.
    virtual void WatchReleases(std::function<void(unsigned virtualKey)> released) = 0;
};

// Tells the user something from the notification area.
class NoticeService {
public:
    virtual ~NoticeService() = default;
    // Says that NumLock is off, in place of anything said before: never two notices at once.
    virtual void NumLockOff() = 0;
};

class MessageService {
public:
    virtual ~MessageService() = default;
    // A modal message box owned by `owner`; `style` is the MB_* value.
    virtual void Show(WindowHandle owner, const std::string& text, const std::string& caption,
                      unsigned style) = 0;
};

// What a read found. Missing only when the file or its folder is not there; a file that is
// there but cannot be read now (another program holds it, access is refused) is Held, so that
// no caller takes it for a file that does not exist and writes over the user's.
enum class ReadOutcome { Read, Missing, Held };

struct FileRead {
    ReadOutcome outcome;
    std::vector<std::uint8_t> bytes;  // empty unless Read
};

// What a change to a file met: Held when another program holds it, so a later try may work.
enum class ChangeOutcome { Done, Held, Failed };

// Paths are UTF-16, as the system's wide calls take them, so that any folder name works.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Full path of the running executable; empty when the system cannot tell.
    virtual std::wstring ExecutablePath() = 0;
    // At most `maxBytes` from the start of the file.
    virtual FileRead ReadFile(const std::wstring& path, std::size_t maxBytes) = 0;
    // Creates or truncates the file and writes `bytes` through to the disk.
    virtual bool WriteFlushed(const std::wstring& path, const std::vector<std::uint8_t>& bytes) = 0;
    // Moves `source` over `target` in one step, so a reader sees the old or the new file whole.
    virtual ChangeOutcome Replace(const std::wstring& source, const std::wstring& target) = 0;
    // Done too when there was nothing to remove.
    virtual ChangeOutcome Remove(const std::wstring& path) = 0;
    // The user's own folder for local application data (%LOCALAPPDATA%), without a trailing
    // backslash; empty when the system cannot tell.
    virtual std::wstring LocalAppDataDirectory() = 0;
    // Creates the one folder `path` when its parent exists; an existing folder is left alone.
    virtual void MakeDirectory(const std::wstring& path) = 0;
    // Waits before another try at a file that another program holds.
    virtual void Pause(unsigned milliseconds) = 0;
};

// The registry, as far as the start-up registration needs it. Key paths, names and data
// are UTF-16, so that a path outside the code page is stored whole.
class RegistryService {
public:
    enum class Root { LocalMachine, CurrentUser };

    virtual ~RegistryService() = default;
    // Creates or opens `keyPath` under `root` and sets the string value `name` to `data`,
    // stored with its terminating NUL as REG_SZ wants; false when the key cannot be opened
    // for writing or the value cannot be written.
    virtual bool SetString(Root root, const std::wstring& keyPath, const std::wstring& name,
                           const std::wstring& data) = 0;
    // Deletes the value when the key opens for writing; a missing key or value is no error.
    virtual void DeleteValue(Root root, const std::wstring& keyPath, const std::wstring& name) = 0;
};
