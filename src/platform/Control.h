#pragma once

#include "platform/SubclassedWindow.h"

// A control of a dialog template bound to a member object through data exchange.
// The dialog offers the control its own notifications first (reflection), and its
// messages first in the modal loop.
class Control : public SubclassedWindow {
public:
    // Attaches to the template's control once; later calls do nothing.
    void Subclass(HWND window);

    // A message the modal loop pulled for this control, before dispatch; true swallows it.
    virtual bool PreTranslateMessage(MSG& message);

    // A notification that the parent received from this control (WM_COMMAND, WM_NOTIFY,
    // WM_CTLCOLOR*, WM_DRAWITEM). True when the control answered it with `result`;
    // false lets the parent handle it as well.
    virtual bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

protected:
    // Runs just before the object is attached.
    virtual void PreSubclassWindow(HWND window);
};
