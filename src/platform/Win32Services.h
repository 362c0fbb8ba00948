#pragma once

#include "platform/Handle.h"
#include "platform/Services.h"

// The portable logic's services over the real Windows desktop.

class Win32HotKeys final : public HotKeyService {
public:
    bool Register(WindowHandle window, int id, unsigned modifiers, unsigned virtualKey) override;
    void Unregister(WindowHandle window, int id) override;
};

class Win32Mouse final : public MouseInput {
public:
    std::optional<ScreenPoint> CursorPosition() override;
    ScreenArea VirtualScreen() override;
    std::vector<ScreenArea> Monitors() override;
    void Inject(std::initializer_list<MouseEvent> events) override;
};

class Win32Keyboard final : public KeyboardState {
public:
    bool IsDown(unsigned virtualKey) override;
    bool NumLockOn() override;
    LayoutKey KeyAt(unsigned place) override;
    // By a low-level keyboard hook, which sees each key let go in the order it happened.
    void WatchReleases(std::function<void(unsigned virtualKey)> released) override;
};

class Win32Messages final : public MessageService {
public:
    void Show(WindowHandle owner, const std::string& text, const std::string& caption,
              unsigned style) override;
};

class Win32FileSystem final : public FileSystem {
public:
    std::wstring ExecutablePath() override;
    FileRead ReadFile(const std::wstring& path, std::size_t maxBytes) override;
    bool WriteFlushed(const std::wstring& path, const std::vector<std::uint8_t>& bytes) override;
    ChangeOutcome Replace(const std::wstring& source, const std::wstring& target) override;
    ChangeOutcome Remove(const std::wstring& path) override;
    std::wstring LocalAppDataDirectory() override;
    void MakeDirectory(const std::wstring& path) override;
    void Pause(unsigned milliseconds) override;
};

class Win32Registry final : public RegistryService {
public:
    bool SetString(Root root, const std::wstring& keyPath, const std::wstring& name,
                   const std::wstring& data) override;
    void DeleteValue(Root root, const std::wstring& keyPath, const std::wstring& name) override;
};
