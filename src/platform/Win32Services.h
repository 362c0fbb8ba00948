#pragma once

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
    void Inject(std::uint32_t flags, std::int32_t dx, std::int32_t dy) override;
};

class Win32Messages final : public MessageService {
public:
    void Show(WindowHandle owner, const std::string& text, const std::string& caption,
              unsigned style) override;
};

class Win32FileSystem final : public FileSystem {
public:
    std::string ExecutablePath() override;
    std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path,
                                                      std::size_t maxBytes) override;
    bool WriteFlushed(const std::string& path, const std::vector<std::uint8_t>& bytes) override;
    bool Replace(const std::string& source, const std::string& target) override;
    void Remove(const std::string& path) override;
};
