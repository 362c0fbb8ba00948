#include "controls/FlatButton.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string>

namespace {

// The bits of a button's style that hold its type, as the dialog manager sets them.
constexpr LONG kTypeBits = 0x1F;

constexpr UINT kMeasureFormat = DT_CALCRECT | DT_WORDBREAK | DT_CENTER;
constexpr UINT kCaptionFormat = DT_WORDBREAK | DT_CENTER;

// Whatever a paint changes in the draw request's DC is put back when it ends.
class SavedDcState {
public:
    explicit SavedDcState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    SavedDcState(const SavedDcState&) = delete;
    SavedDcState& operator=(const SavedDcState&) = delete;
    ~SavedDcState() { RestoreDC(dc_, saved_); }

private:
    HDC dc_;
    int saved_;
};

int Width(const RECT& rect) { return rect.right - rect.left; }
int Height(const RECT& rect) { return rect.bottom - rect.top; }

// An opaque empty text output fills a rectangle in the background colour without a brush.
void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    SetBkColor(dc, colour);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

// A one-pixel frame along the inside of `rect`: top and left in the first colour, bottom
// and right (corners included) in the second.
void Draw3dRect(HDC dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight) {
    FillSolid(dc, {rect.left, rect.top, rect.right - 1, rect.top + 1}, topLeft);
    FillSolid(dc, {rect.left, rect.top, rect.left + 1, rect.bottom - 1}, topLeft);
    FillSolid(dc, {rect.right - 1, rect.top, rect.right, rect.bottom}, bottomRight);
    FillSolid(dc, {rect.left, rect.bottom - 1, rect.right, rect.bottom}, bottomRight);
}

}  // namespace

FlatButton::FlatButton() { ResetColours(false); }

void FlatButton::PreSubclassWindow(HWND window) {
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    isDefault_ = (style & kTypeBits) == BS_DEFPUSHBUTTON;
    SetWindowLongA(window, GWL_STYLE, (style & ~kTypeBits) | BS_OWNERDRAW);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool FlatButton::PreTranslateMessage(MSG& message) {
    EnsureTooltip();
    if (tooltip_) {
        SendMessageA(tooltip_.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
    }
    // The system button would report the second press of a double-click as BN_DOUBLECLICKED;
    // here it is one more press, so a quick double-click is two clicks.
    if (message.message == WM_LBUTTONDBLCLK) {
        message.message = WM_LBUTTONDOWN;
    }
    return Control::PreTranslateMessage(message);
}

bool FlatButton::OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_DRAWITEM) {
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        // The focus moves here before the dialog's own handler runs.
        SetFocus(hwnd());
        return false;
    }
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        // Nothing to erase: every paint covers the whole button.
        result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        return true;
    }
    return false;
}

LRESULT FlatButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE:
            OnMouseMove(wParam, lParam);
            return 0;
        case WM_MOUSELEAVE:
            LeaveHot();
            return 0;
        case WM_KILLFOCUS:
        case WM_CANCELMODE: {
            const LRESULT result = Default();
            LeaveHot();
            return result;
        }
        case WM_ACTIVATE: {
            const LRESULT result = Default();
            if (LOWORD(wParam) == WA_INACTIVE) {
                LeaveHot();
            }
            return result;
        }
        case WM_ENABLE: {
            const LRESULT result = Default();
            OnEnable(wParam != FALSE);
            return result;
        }
        case WM_GETDLGCODE:
            return Default() | (isDefault_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        case BM_SETSTYLE:
            return OnSetStyle(wParam, lParam);
        case BM_SETCHECK:
        case BM_GETCHECK:
            return 0;  // a push button holds no check state
        case WM_SYSCOLORCHANGE: {
            const LRESULT result = Default();
            ResetColours(true);
            return result;
        }
        case WM_DESTROY:
            tooltip_ = OwnedWindow();
            return Default();
        default:
            return Default();
    }
}

void FlatButton::OnMouseMove(WPARAM keys, LPARAM position) {
    Default();
    POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    ClientToScreen(hwnd(), &point);
    const HWND under = WindowFromPoint(point);
    // A press that began elsewhere and is dragged here does not make the button hot.
    if ((keys & MK_LBUTTON) && !hot_) {
        return;
    }
    if (under != hwnd()) {
        LeaveHot();
        return;
    }
    if (hot_ || !WatchForLeave()) {
        return;
    }
    hot_ = true;
    InvalidateRect(hwnd(), nullptr, TRUE);
}

// Asks for one WM_MOUSELEAVE, and tells whether the system took the request. The move was
// queued: should the pointer have gone on by now, the system may decline (Wine does), and a
// button made hot then would stay hot. The next move over the button asks again.
bool FlatButton::WatchForLeave() {
    TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, hwnd(), 0};
    _TrackMouseEvent(&leave);
    TRACKMOUSEEVENT watched{sizeof watched, TME_QUERY, nullptr, 0};
    return _TrackMouseEvent(&watched) && (watched.dwFlags & TME_LEAVE) && watched.hwndTrack == hwnd();
}

void FlatButton::LeaveHot() {
    if (!hot_) {
        return;
    }
    hot_ = false;
    InvalidateRect(hwnd(), nullptr, TRUE);
}

// A disabled button cannot keep the focus, or the keyboard would be stuck on it.
void FlatButton::OnEnable(bool enabled) {
    if (enabled) {
        return;
    }
    const HWND parent = GetParent(hwnd());
    HWND next = GetNextDlgTabItem(parent, hwnd(), FALSE);
    if (!next || next == hwnd()) {
        next = parent;
    }
    SetFocus(next);
    LeaveHot();
}

// The dialog sends this when it changes its default push button: the button keeps drawing
// itself, and remembers whether it is the default one.
LRESULT FlatButton::OnSetStyle(WPARAM style, LPARAM redraw) {
    const LONG type = static_cast<LONG>(style) & kTypeBits;
    if (type == BS_DEFPUSHBUTTON) {
        isDefault_ = true;
    } else if (type == BS_PUSHBUTTON) {
        isDefault_ = false;
    }
    return Default((style & ~static_cast<WPARAM>(kTypeBits)) | BS_OWNERDRAW, redraw);
}

void FlatButton::ResetColours(bool repaint) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    for (Colours& pair : colours_) {
        pair = {face, text};
    }
    if (repaint) {
        InvalidateRect(hwnd(), nullptr, TRUE);
    }
}

FlatButton::Colours FlatButton::CurrentColours() const {
    return colours_[static_cast<int>(button_look::ChooseColourPair(hot_, pressed_, focused_))];
}

// A tooltip that never shows a tip (no tool is registered and it is never activated), but
// sees the button's mouse messages; a tip needs no more than a tool added to it.
void FlatButton::EnsureTooltip() {
    if (tooltip_) {
        return;
    }
    tooltip_ = OwnedWindow(CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, CW_USEDEFAULT,
                                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(),
                                           nullptr, nullptr, nullptr));
    if (tooltip_) {
        SendMessageA(tooltip_.get(), TTM_ACTIVATE, FALSE, 0);
        SendMessageA(tooltip_.get(), TTM_SETMAXTIPWIDTH, 0, 400);
    }
}

void FlatButton::DrawItem(const DRAWITEMSTRUCT& request) {
    pressed_ = (request.itemState & ODS_SELECTED) != 0;
    focused_ = (request.itemState & ODS_FOCUS) != 0;
    disabled_ = (request.itemState & ODS_DISABLED) != 0;
    const SavedDcState saved(request.hDC);
    SetBkMode(request.hDC, TRANSPARENT);
    PaintBackground(request.hDC, request.rcItem);
    PaintBorder(request.hDC, request.rcItem);
    const std::string title = WindowTextOf(hwnd());
    if (!title.empty()) {
        PaintCaption(request.hDC, title.c_str(), request.rcItem);
    }
    // No focus rectangle: a focused button looks like any other.
}

void FlatButton::PaintBackground(HDC dc, const RECT& rect) {
    const Brush face(CreateSolidBrush(CurrentColours().background));
    FillRect(dc, &rect, face.get());
}

void FlatButton::PaintBorder(HDC dc, const RECT& rect) {
    if (!drawFrame_) {
        return;
    }
    if (pressed_) {
        Draw3dRect(dc, rect, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    } else if (hot_) {
        Draw3dRect(dc, rect, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
    }
}

// Centred and word-wrapped in the DC's font, one pixel right and down while pressed,
// embossed while disabled. An ampersand underlines the next character.
void FlatButton::PaintCaption(HDC dc, const char* title, const RECT& item) {
    RECT caption = item;
    if (pressed_) {
        OffsetRect(&caption, pressedShift_.x, pressedShift_.y);
    }
    const RECT frame = caption;
    DrawTextA(dc, title, -1, &caption, kMeasureFormat);
    const button_look::Offset centre =
        button_look::CentringOffset(Width(frame), Height(frame), Width(caption), Height(caption));
    OffsetRect(&caption, centre.dx, centre.dy);
    SetBkMode(dc, TRANSPARENT);
    if (disabled_) {
        OffsetRect(&caption, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextA(dc, title, -1, &caption, kCaptionFormat);
        OffsetRect(&caption, -1, -1);
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
        DrawTextA(dc, title, -1, &caption, kCaptionFormat);
        return;
    }
    const Colours colours = CurrentColours();
    SetTextColor(dc, colours.text);
    SetBkColor(dc, colours.background);
    DrawTextA(dc, title, -1, &caption, kCaptionFormat);
}
