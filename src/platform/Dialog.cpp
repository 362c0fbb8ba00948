#include "platform/Dialog.h"

#include "platform/Control.h"

#include <cstring>
#include <vector>

namespace {

// RT_DIALOG, in the ANSI form.
const LPCSTR kDialogType = MAKEINTRESOURCEA(5);
// Initial contents of a template's lists, kept as a resource of this type under the
// template's own identifier.
const LPCSTR kDialogInitType = MAKEINTRESOURCEA(240);
// The legacy code with which those records add a string to a combo box.
constexpr WORD kInitAddComboString = 0x0403;

Control* ControlFromHandle(HWND window) {
    return dynamic_cast<Control*>(SubclassedWindow::FromHandle(window));
}

// A copy of a dialog template, to be made without its visible style; empty when the
// template is missing.
std::vector<BYTE> LoadTemplate(int id) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id), kDialogType);
    const HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const auto* data = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    if (!data) {
        return {};
    }
    return std::vector<BYTE>(data, data + SizeofResource(instance, found));
}

// Where a template keeps its window style: an extended template (its second WORD is 0xFFFF)
// after its version, signature, help id and extended style; a plain one at its start.
std::size_t StyleOffset(const std::vector<BYTE>& dialogTemplate) {
    WORD signature = 0;
    std::memcpy(&signature, dialogTemplate.data() + 2, sizeof signature);
    return signature == 0xFFFF ? 12 : 0;
}

}  // namespace

INT_PTR Dialog::DoModal(HWND parent) {
    ended_ = false;
    // The dialog manager would show a template marked visible right after WM_INITDIALOG,
    // even a dialog that hid itself there; so the dialog is made hidden and shown here.
    // Running it modally shows it whether or not its template is marked visible.
    std::vector<BYTE> dialogTemplate = LoadTemplate(templateId_);
    if (dialogTemplate.size() < 16) {
        return -1;
    }
    DWORD style = 0;
    const std::size_t styleOffset = StyleOffset(dialogTemplate);
    std::memcpy(&style, dialogTemplate.data() + styleOffset, sizeof style);
    showWhenMade_ = true;
    style &= ~static_cast<DWORD>(WS_VISIBLE);
    std::memcpy(dialogTemplate.data() + styleOffset, &style, sizeof style);

    const HWND window = CreateDialogIndirectParamA(
        GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(dialogTemplate.data()), parent,
        &DialogProc, reinterpret_cast<LPARAM>(this));
    if (!window) {
        return -1;
    }
    // The parent takes no input from the moment the dialog can be seen.
    if (parent) {
        EnableWindow(parent, FALSE);
    }
    if (showWhenMade_) {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
    }
    MSG message;
    while (!ended_) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            // Leave the quit request for whoever runs the loop outside this one.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1) {
            break;
        }
        if (!PreTranslateMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    // Re-enabled before the dialog goes, so that activation returns to the parent.
    if (parent) {
        EnableWindow(parent, TRUE);
    }
    DestroyWindow(window);
    return result_;
}

void Dialog::EndDialog(INT_PTR result) {
    result_ = result;
    ended_ = true;
    PostMessageA(hwnd(), WM_NULL, 0, 0);  // wake the loop should nothing else be queued
}

void Dialog::Hide() {
    showWhenMade_ = false;
    ShowWindow(hwnd(), SW_HIDE);
}

void Dialog::UpdateData(bool saving) {
    DataExchange exchange(hwnd(), saving);
    DoDataExchange(exchange);
}

BOOL Dialog::OnInitDialog() {
    FillListsFromTemplate();
    UpdateData(false);
    return TRUE;
}

void Dialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL Dialog::OnNotify(WPARAM, LPARAM, LRESULT*) { return FALSE; }

void Dialog::DoDataExchange(DataExchange&) {}

bool Dialog::PreTranslateMessage(MSG& message) {
    Control* control = ControlFromHandle(message.hwnd);
    if (control && control->PreTranslateMessage(message)) {
        return true;
    }
    return IsDialogMessageA(hwnd(), &message) != FALSE;
}

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT Dialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    // The system tells only top-level windows of new colours; controls that keep colours
    // of their own hear of it from their dialog.
    if (message == WM_SYSCOLORCHANGE) {
        for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            SendMessageA(child, message, wParam, lParam);
        }
    }
    if (Reflect(message, wParam, lParam, result)) {
        return result;
    }
    if (message == WM_NOTIFY && OnNotify(wParam, lParam, &result)) {
        return result;
    }
    if (OnMessage(message, wParam, lParam, result)) {
        return result;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
            case IDOK: OnOK(); return 0;
            case IDCANCEL: OnCancel(); return 0;
            default: break;
        }
    }
    return Default();
}

// Only WM_INITDIALOG is handled here: from then on the subclass sees every message
// before the dialog manager does, and this procedure answers FALSE to let it work.
INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) {
        return FALSE;
    }
    auto* self = reinterpret_cast<Dialog*>(lParam);
    self->Attach(window);
    return self->OnInitDialog();
}

bool Dialog::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND sender = nullptr;
    switch (message) {
        case WM_COMMAND:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC: sender = reinterpret_cast<HWND>(lParam); break;
        case WM_NOTIFY: sender = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom; break;
        case WM_DRAWITEM: sender = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem; break;
        default: return false;
    }
    Control* control = ControlFromHandle(sender);
    return control && control->OnReflected(message, wParam, lParam, result);
}

// Records: control id (WORD), message (WORD), length (DWORD), then that many bytes;
// a zero id ends the list.
void Dialog::FillListsFromTemplate() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(templateId_), kDialogInitType);
    const HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const auto* data = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    if (!data) {
        return;
    }
    const BYTE* const end = data + SizeofResource(instance, found);
    const std::size_t header = 2 * sizeof(WORD) + sizeof(DWORD);
    while (static_cast<std::size_t>(end - data) >= header) {
        WORD id = 0;
        WORD code = 0;
        DWORD length = 0;
        std::memcpy(&id, data, sizeof id);
        std::memcpy(&code, data + 2, sizeof code);
        std::memcpy(&length, data + 4, sizeof length);
        data += header;
        if (id == 0 || length > static_cast<std::size_t>(end - data) || length == 0 ||
            data[length - 1] != '\0') {
            return;
        }
        if (code == kInitAddComboString) {
            SendDlgItemMessageA(hwnd(), id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(data));
        }
        data += length;
    }
}
