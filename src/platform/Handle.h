#pragma once

#include <windows.h>

#include <utility>

// Owns one system object and releases it once; move-only, so it can never be released twice.
template <typename Traits>
class UniqueHandle {
public:
    using Value = typename Traits::Value;

    UniqueHandle() = default;
    explicit UniqueHandle(Value value) : value_(Traits::Valid(value) ? value : nullptr) {}
    UniqueHandle(UniqueHandle&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Release();
            value_ = std::exchange(other.value_, nullptr);
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Release(); }

    Value get() const { return value_; }
    explicit operator bool() const { return value_ != nullptr; }

private:
    void Release() {
        if (value_) {
            Traits::Release(value_);
            value_ = nullptr;
        }
    }

    Value value_ = nullptr;
};

struct KernelObjectTraits {
    using Value = HANDLE;
    static bool Valid(HANDLE handle) { return handle && handle != INVALID_HANDLE_VALUE; }
    static void Release(HANDLE handle) { CloseHandle(handle); }
};

struct LibraryTraits {
    using Value = HMODULE;
    static bool Valid(HMODULE module) { return module != nullptr; }
    static void Release(HMODULE module) { FreeLibrary(module); }
};

template <typename Object>
struct GdiObjectTraits {
    using Value = Object;
    static bool Valid(Object object) { return object != nullptr; }
    static void Release(Object object) { DeleteObject(object); }
};

struct MemoryDcTraits {
    using Value = HDC;
    static bool Valid(HDC dc) { return dc != nullptr; }
    static void Release(HDC dc) { DeleteDC(dc); }
};

// A window made by its owner object rather than by a dialog template.
struct WindowTraits {
    using Value = HWND;
    static bool Valid(HWND window) { return window != nullptr; }
    // The system destroys a pop-up with its owner, which may have gone first.
    static void Release(HWND window) {
        if (IsWindow(window)) {
            DestroyWindow(window);
        }
    }
};

struct MenuTraits {
    using Value = HMENU;
    static bool Valid(HMENU menu) { return menu != nullptr; }
    static void Release(HMENU menu) { DestroyMenu(menu); }
};

struct IconTraits {
    using Value = HICON;
    static bool Valid(HICON icon) { return icon != nullptr; }
    static void Release(HICON icon) { DestroyIcon(icon); }
};

struct RegistryKeyTraits {
    using Value = HKEY;
    static bool Valid(HKEY key) { return key != nullptr; }
    static void Release(HKEY key) { RegCloseKey(key); }
};

struct HookTraits {
    using Value = HHOOK;
    static bool Valid(HHOOK hook) { return hook != nullptr; }
    static void Release(HHOOK hook) { UnhookWindowsHookEx(hook); }
};

// A file, mutex, process or other kernel object.
using Handle = UniqueHandle<KernelObjectTraits>;
// A library loaded at run time.
using Module = UniqueHandle<LibraryTraits>;
using Brush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using Bitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using Font = UniqueHandle<GdiObjectTraits<HFONT>>;
using Region = UniqueHandle<GdiObjectTraits<HRGN>>;
// A device context made to draw into memory (CreateCompatibleDC).
using MemoryDc = UniqueHandle<MemoryDcTraits>;
using OwnedWindow = UniqueHandle<WindowTraits>;
// A menu loaded from the resources.
using Menu = UniqueHandle<MenuTraits>;
// An icon loaded for this program alone (not LR_SHARED), at a size of its choosing.
using OwnedIcon = UniqueHandle<IconTraits>;
// A hook in the system's chain.
using Hook = UniqueHandle<HookTraits>;
// An opened registry key.
using RegistryKey = UniqueHandle<RegistryKeyTraits>;
