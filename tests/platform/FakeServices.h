#pragma once

// Recording stand-ins for the operating-system services, for the native tests.

#include "platform/Services.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

struct HotKeyCall {
    bool registering;
    int id;
    unsigned modifiers;
    unsigned virtualKey;
    bool operator==(const HotKeyCall& other) const {
        return registering == other.registering && id == other.id && modifiers == other.modifiers &&
               virtualKey == other.virtualKey;
    }
};

inline HotKeyCall Registered(int id, unsigned modifiers, unsigned virtualKey) {
    return {true, id, modifiers, virtualKey};
}
inline HotKeyCall Unregistered(int id) { return {false, id, 0, 0}; }

// Behaves like the system's table: a combination held by anyone cannot be registered again.
class FakeHotKeys : public HotKeyService {
public:
    bool Register(WindowHandle window, int id, unsigned modifiers, unsigned virtualKey) override {
        calls.push_back(Registered(id, modifiers, virtualKey));
        lastWindow = window;
        const auto combination = std::make_pair(modifiers, virtualKey);
        if (takenElsewhere.count(combination) || registrations.count(id)) {
            return false;
        }
        for (const auto& entry : registrations) {
            if (entry.second == combination) {
                return false;
            }
        }
        registrations[id] = combination;
        return true;
    }
    void Unregister(WindowHandle window, int id) override {
        calls.push_back(Unregistered(id));
        lastWindow = window;
        registrations.erase(id);
    }

    bool Holds(int id, unsigned modifiers, unsigned virtualKey) const {
        const auto found = registrations.find(id);
        return found != registrations.end() && found->second == std::make_pair(modifiers, virtualKey);
    }

    std::vector<HotKeyCall> calls;
    std::set<std::pair<unsigned, unsigned>> takenElsewhere;  // (modifiers, virtual key)
    std::map<int, std::pair<unsigned, unsigned>> registrations;
    WindowHandle lastWindow = nullptr;
};

struct Injection {
    std::uint32_t flags;
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    std::int32_t data = 0;
    bool operator==(const Injection& other) const {
        return flags == other.flags && dx == other.dx && dy == other.dy && data == other.data;
    }
};

// Moves its cursor the way the system maps absolute input: left + floor(n * width / 65536).
class FakeMouse : public MouseInput {
public:
    std::optional<ScreenPoint> CursorPosition() override {
        if (!cursorKnown) {
            return std::nullopt;
        }
        return cursor;
    }
    ScreenArea VirtualScreen() override { return screen; }
    std::vector<ScreenArea> Monitors() override { return monitors; }
    void Inject(std::initializer_list<MouseEvent> events) override {
        for (const MouseEvent& e : events) {
            injections.push_back({e.flags, e.dx, e.dy, e.data});
            if ((e.flags & 0x8001) == 0x8001) {
                cursor.x = screen.left + static_cast<int>(static_cast<std::int64_t>(e.dx) * screen.width / 65536);
                cursor.y = screen.top + static_cast<int>(static_cast<std::int64_t>(e.dy) * screen.height / 65536);
            }
        }
    }

    ScreenPoint cursor{100, 100};
    bool cursorKnown = true;
    ScreenArea screen{0, 0, 1024, 768};
    std::vector<ScreenArea> monitors{{0, 0, 1024, 768}};
    std::vector<Injection> injections;
};

// What the grid's overlay was last told: the region it shows, or nothing while hidden.
class FakeGridView : public GridView {
public:
    void Show(const ScreenArea& monitorShown, const ScreenArea& regionShown, ScreenPoint) override {
        monitor = monitorShown;
        region = regionShown;
        shown = true;
    }
    void Hide() override { shown = false; }

    bool shown = false;
    ScreenArea monitor{};
    ScreenArea region{};
};

// A keyboard whose keys are down when the test says so, with the US layout unless a test moves
// its keys; its watch for released keys runs while `watching()`.
class FakeKeyboard : public KeyboardState {
public:
    bool IsDown(unsigned virtualKey) override { return down.count(virtualKey) != 0; }
    bool NumLockOn() override { return numLock; }
    LayoutKey KeyAt(unsigned place) override {
        const auto found = layout.find(place);
        return found != layout.end() ? found->second : LayoutKey{0, ""};
    }
    void WatchReleases(std::function<void(unsigned)> released) override { watcher = std::move(released); }

    bool watching() const { return static_cast<bool>(watcher); }
    // Lets go of every key that is down, as the user does.
    void ReleaseAll() {
        for (const unsigned key : std::exchange(down, {})) {
            if (watcher) {
                watcher(key);
            }
        }
    }

    std::set<unsigned> down;
    bool numLock = true;
    std::function<void(unsigned)> watcher;
    std::map<unsigned, LayoutKey> layout = {
        {0x08, {'7', "7"}}, {0x09, {'8', "8"}}, {0x0A, {'9', "9"}}, {0x0B, {'0', "0"}},
        {0x16, {'U', "U"}}, {0x17, {'I', "I"}}, {0x18, {'O', "O"}}, {0x19, {'P', "P"}},
        {0x24, {'J', "J"}}, {0x25, {'K', "K"}}, {0x26, {'L', "L"}}, {0x27, {0xBA, ";"}},
        {0x32, {'M', "M"}}, {0x34, {0xBE, "."}}, {0x35, {0xBF, "/"}},
    };
};

// Where the badge was last put, or nothing while hidden.
class FakeBadge : public BadgeView {
public:
    void Show(ScreenPoint pointer) override { shownAt = pointer; }
    void Hide() override { shownAt.reset(); }
    std::optional<ScreenPoint> shownAt;
};

class FakeNotices : public NoticeService {
public:
    void NumLockOff() override { ++numLockOff; }
    int numLockOff = 0;
};

struct ShownMessage {
    WindowHandle owner;
    std::string text;
    std::string caption;
    unsigned style;
};

class FakeMessages : public MessageService {
public:
    void Show(WindowHandle owner, const std::string& text, const std::string& caption,
              unsigned style) override {
        shown.push_back({owner, text, caption, style});
    }
    std::vector<ShownMessage> shown;
};

class FakeFileSystem : public FileSystem {
public:
    using Bytes = std::vector<std::uint8_t>;

    std::wstring ExecutablePath() override { return executablePath; }
    FileRead ReadFile(const std::wstring& path, std::size_t maxBytes) override {
        log.push_back(L"read " + path);
        if (StillHeld(path)) {
            return {ReadOutcome::Held, {}};
        }
        const auto found = files.find(path);
        if (found == files.end()) {
            return {ReadOutcome::Missing, {}};
        }
        const Bytes& content = found->second;
        return {ReadOutcome::Read, Bytes(content.data(), content.data() + std::min(maxBytes, content.size()))};
    }
    bool WriteFlushed(const std::wstring& path, const Bytes& bytes) override {
        log.push_back(L"write " + path);
        if (Refused(path)) {
            return false;
        }
        if (failWrites) {
            files[path] = Bytes(bytes.data(), bytes.data() + bytes.size() / 2);  // torn by a full disk
            return false;
        }
        files[path] = bytes;
        return true;
    }
    ChangeOutcome Replace(const std::wstring& source, const std::wstring& target) override {
        log.push_back(L"replace " + source + L" -> " + target);
        if (StillHeld(target)) {
            return ChangeOutcome::Held;
        }
        if (failReplace || Refused(target) || !files.count(source)) {
            return ChangeOutcome::Failed;
        }
        files[target] = files[source];
        files.erase(source);
        return ChangeOutcome::Done;
    }
    ChangeOutcome Remove(const std::wstring& path) override {
        log.push_back(L"remove " + path);
        if (StillHeld(path)) {
            return ChangeOutcome::Held;
        }
        files.erase(path);
        return ChangeOutcome::Done;
    }
    std::wstring LocalAppDataDirectory() override { return localAppData; }
    // Folders are not modelled: every path can hold a file unless refused below.
    void MakeDirectory(const std::wstring& path) override { log.push_back(L"mkdir " + path); }
    void Pause(unsigned milliseconds) override { pauses.push_back(milliseconds); }

    std::wstring executablePath = L"C:\\Tools\\Tarnwick\\tarnwick.exe";
    std::wstring localAppData = L"C:\\Users\\Anna\\AppData\\Local";
    std::map<std::wstring, Bytes> files;
    std::vector<std::wstring> log;
    bool failWrites = false;
    bool failReplace = false;
    std::wstring refusedFolder;  // nothing can be created or replaced in it, as without rights
    std::map<std::wstring, int> held;  // how many more tries find the path held by another program
    std::vector<unsigned> pauses;

private:
    bool StillHeld(const std::wstring& path) {
        const auto found = held.find(path);
        return found != held.end() && found->second-- > 0;
    }
    bool Refused(const std::wstring& path) const {
        return !refusedFolder.empty() && path.compare(0, refusedFolder.size(), refusedFolder) == 0;
    }
};

// A registry of string values; a refused root can neither be written nor have values deleted,
// as HKEY_LOCAL_MACHINE for a standard user.
class FakeRegistry : public RegistryService {
public:
    using Value = std::tuple<Root, std::wstring, std::wstring>;  // root, key path, name

    bool SetString(Root root, const std::wstring& keyPath, const std::wstring& name,
                   const std::wstring& data) override {
        if (refused.count(root)) {
            return false;
        }
        values[Value(root, keyPath, name)] = data;
        return true;
    }
    void DeleteValue(Root root, const std::wstring& keyPath, const std::wstring& name) override {
        if (!refused.count(root)) {
            values.erase(Value(root, keyPath, name));
        }
    }

    std::map<Value, std::wstring> values;
    std::set<Root> refused;
};
