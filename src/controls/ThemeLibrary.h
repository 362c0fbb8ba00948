#pragma once

#include "platform/Handle.h"

#include <windows.h>

#include <uxtheme.h>

// The visual-styles library, bound at run time from the system folder: without it, or without
// one of its entry points, each call answers as if the desktop were not themed. Entry points
// are looked up at every call rather than kept.
class ThemeLibrary {
public:
    explicit ThemeLibrary(const char* libraryName = "UxTheme.dll");

    BOOL IsAppThemed() const;
    HTHEME OpenThemeData(HWND window, const wchar_t* classList) const;
    HRESULT CloseThemeData(HTHEME theme) const;
    // The parent's background under `rect` (when `window` is given), then the part itself.
    HRESULT PaintThemedBackground(HTHEME theme, HWND window, HDC dc, int part, int state,
                                  const RECT* rect, const RECT* clip) const;

private:
    // The entry point `name`, or `fallback` when the library or the entry point is missing.
    template <typename Function>
    Function Resolve(const char* name, Function fallback) const;

    Module module_;
};
