#pragma once

#include <windows.h>

#include <string>

// The text of any window, however long.
std::string WindowTextOf(HWND window);

// A window whose messages reach a C++ object first. The object is attached to a
// window that already exists (a dialog, or a control from a dialog template);
// every message then goes to the virtual WindowProc, and what it leaves goes on
// to the window's own procedure through Default(). Detaches itself when the
// window is destroyed or the object is.
class SubclassedWindow {
public:
    SubclassedWindow() = default;
    SubclassedWindow(const SubclassedWindow&) = delete;
    SubclassedWindow& operator=(const SubclassedWindow&) = delete;
    virtual ~SubclassedWindow();

    HWND hwnd() const { return window_; }

    // The object attached to `window`, if any.
    static SubclassedWindow* FromHandle(HWND window);

    // Centres the window over its owner, or on its monitor's work area when it has none,
    // keeping it inside that work area.
    void CenterWindow();

protected:
    bool Attach(HWND window);

    // Returns the message's result; the base passes everything to Default().
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // The window's own handling of the message being processed.
    LRESULT Default();
    // The window's own handling of the message being processed, with other parameters.
    LRESULT Default(WPARAM wParam, LPARAM lParam);

private:
    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Detach();

    HWND window_ = nullptr;
    WNDPROC original_ = nullptr;
    CurrentMessage current_{};
};
