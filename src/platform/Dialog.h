#pragma once

#include "platform/DataExchange.h"
#include "platform/SubclassedWindow.h"

#include <windows.h>

// A dialog from a template, run modally by a loop of its own so that
// PreTranslateMessage sees every message before it is dispatched.
//
// Messages reach, in this order: the control that sent a notification (reflection),
// OnNotify for WM_NOTIFY, the derived class's OnMessage (its message table), the
// OK and Cancel commands, and finally the dialog manager. WM_SYSCOLORCHANGE is passed on
// to every control first.
class Dialog : public SubclassedWindow {
public:
    explicit Dialog(int templateId) : templateId_(templateId) {}

    // Returns the value given to EndDialog, or -1 when the dialog could not be made.
    INT_PTR DoModal(HWND parent = nullptr);
    void EndDialog(INT_PTR result);

    // Runs DoDataExchange: into the members when saving, toward the controls otherwise.
    void UpdateData(bool saving);

    // Hides the dialog. Called from OnInitDialog, it also keeps a template marked visible
    // from showing the dialog once it is made, so the dialog starts hidden without a flash.
    void Hide();

protected:
    // Fills the template's lists and shows the members in the controls.
    // Returning TRUE lets the dialog manager give the first control the focus.
    virtual BOOL OnInitDialog();
    // Gathers the controls, then ends with IDOK.
    virtual void OnOK();
    // The cancel command and the close box; ends with IDCANCEL.
    virtual void OnCancel();
    // Every WM_NOTIFY after its sender has declined it; TRUE when handled.
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual void DoDataExchange(DataExchange& exchange);
    // True swallows the message. The base gives the control it is for a look first,
    // then the dialog manager's keyboard navigation.
    virtual bool PreTranslateMessage(MSG& message);
    // The derived class's message table; true when it took the message.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void FillListsFromTemplate();

    int templateId_;
    bool showWhenMade_ = false;
    bool ended_ = false;
    INT_PTR result_ = 0;
};
