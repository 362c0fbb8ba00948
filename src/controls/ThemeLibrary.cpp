#include "controls/ThemeLibrary.h"

#include "platform/SystemLibrary.h"

namespace {

using IsAppThemedFunction = BOOL(WINAPI*)();
using OpenThemeDataFunction = HTHEME(WINAPI*)(HWND, LPCWSTR);
using CloseThemeDataFunction = HRESULT(WINAPI*)(HTHEME);
using DrawThemeParentBackgroundFunction = HRESULT(WINAPI*)(HWND, HDC, const RECT*);
using DrawThemeBackgroundFunction = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);

BOOL WINAPI NotThemed() { return FALSE; }
HTHEME WINAPI NoTheme(HWND, LPCWSTR) { return nullptr; }
HRESULT WINAPI CannotClose(HTHEME) { return E_FAIL; }
HRESULT WINAPI CannotDraw(HTHEME, HDC, int, int, const RECT*, const RECT*) { return E_FAIL; }

}  // namespace

ThemeLibrary::ThemeLibrary(const char* libraryName) : module_(LoadSystemLibrary(libraryName)) {}

template <typename Function>
Function ThemeLibrary::Resolve(const char* name, Function fallback) const {
    const FARPROC found = module_ ? GetProcAddress(module_.get(), name) : nullptr;
    // An exported address is called through the type it was declared with, as the
    // system's own headers do.
    return found ? reinterpret_cast<Function>(reinterpret_cast<void*>(found)) : fallback;
}

BOOL ThemeLibrary::IsAppThemed() const {
    return Resolve<IsAppThemedFunction>("IsAppThemed", &NotThemed)();
}

HTHEME ThemeLibrary::OpenThemeData(HWND window, const wchar_t* classList) const {
    return Resolve<OpenThemeDataFunction>("OpenThemeData", &NoTheme)(window, classList);
}

HRESULT ThemeLibrary::CloseThemeData(HTHEME theme) const {
    return Resolve<CloseThemeDataFunction>("CloseThemeData", &CannotClose)(theme);
}

HRESULT ThemeLibrary::PaintThemedBackground(HTHEME theme, HWND window, HDC dc, int part, int state,
                                            const RECT* rect, const RECT* clip) const {
    const auto parentBackground = Resolve<DrawThemeParentBackgroundFunction>(
        "DrawThemeParentBackground", nullptr);
    if (parentBackground && window) {
        parentBackground(window, dc, rect);
    }
    return Resolve<DrawThemeBackgroundFunction>("DrawThemeBackground", &CannotDraw)(
        theme, dc, part, state, rect, clip);
}
