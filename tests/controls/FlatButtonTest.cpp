// The buttons on a dialog of this test's own, driven by real input: what each button goes
// through is recorded and compared with a table, as the system's own control tests do.
// The buttons are themed buttons bound to a visual-styles library that is not there.

#include "controls/ThemeLibrary.h"
#include "controls/ThemedButton.h"
#include "platform/Dialog.h"
#include "platform/MessageTable.h"
#include "platform/WinTestSupport.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace wintest;

namespace {

using Log = std::vector<std::string>;

constexpr int kProbeTemplate = 300;
constexpr int kOne = 101;
constexpr int kTwo = 102;
constexpr int kThree = 103;
constexpr UINT kTakeLog = WM_APP + 1;
const char kMissingLibrary[] = "tarnwick-no-such-theme-library.dll";

// Records the changes of its hot state, with the message that made them, and its paints.
class RecordingButton : public ThemedButton {
public:
    RecordingButton(Log& log, std::string name) : log_(log), name_(std::move(name)) {}

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        const bool wasHot = hot_;
        const LRESULT result = ThemedButton::WindowProc(message, wParam, lParam);
        if (hot_ != wasHot) {
            log_.push_back(name_ + (hot_ ? " hot" : " cold") + " on " + MessageName(message));
        }
        return result;
    }
    void PaintBackground(HDC dc, const RECT& rect) override {
        log_.push_back(name_ + " paint " +
                       (disabled_ ? "disabled" : pressed_ ? "pressed" : hot_ ? "hot" : "normal"));
        ThemedButton::PaintBackground(dc, rect);
    }

private:
    static std::string MessageName(UINT message) {
        switch (message) {
            case WM_MOUSEMOVE: return "move";
            case WM_MOUSELEAVE: return "leave";
            case WM_KILLFOCUS: return "focus loss";
            case WM_CANCELMODE: return "cancel mode";
            case WM_ENABLE: return "disabling";
            default: return std::to_string(message);
        }
    }

    Log& log_;
    std::string name_;
};

class ProbeDialog : public Dialog {
public:
    ProbeDialog() : Dialog(kProbeTemplate) {}

protected:
    BOOL OnInitDialog() override {
        Dialog::OnInitDialog();
        for (ThemedButton* button : {&one_, &two_, &three_}) {
            button->SetThemeLibrary(&library_);
        }
        return TRUE;
    }
    void DoDataExchange(DataExchange& exchange) override {
        exchange.BindControl(kOne, one_);
        exchange.BindControl(kTwo, two_);
        exchange.BindControl(kThree, three_);
    }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message == kTakeLog) {
            reinterpret_cast<Log*>(lParam)->swap(log_);
            log_.clear();
            result = 0;
            return true;
        }
        const bool fromButton = message == WM_COMMAND && LOWORD(wParam) >= kOne && LOWORD(wParam) <= kThree;
        if (fromButton && (HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == BN_DOUBLECLICKED)) {
            log_.push_back((HIWORD(wParam) == BN_CLICKED ? "click " : "double-click ") +
                           WindowText(reinterpret_cast<HWND>(lParam)) + ", focus on " +
                           WindowText(GetFocus()));
            result = 0;
            return true;
        }
        return false;
    }

private:
    Log log_;
    ThemeLibrary library_{kMissingLibrary};
    RecordingButton one_{log_, "One"};
    RecordingButton two_{log_, "Two"};
    RecordingButton three_{log_, "Three"};
};

// Runs the probe dialog while `user` drives it from another thread, then closes it.
void RunProbe(const std::function<void(HWND)>& user) {
    ProbeDialog dialog;
    std::thread driver([&] {
        HWND window = nullptr;
        WaitUntil([&] { return (window = FindWindowA(nullptr, "Button probe")) && IsWindowVisible(window); });
        if (!window) {
            ADD_FAILURE() << "no probe dialog";
            return;
        }
        SetForegroundWindow(window);
        user(window);
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    });
    dialog.DoModal();
    driver.join();
}

Log TakeLog(HWND dialog) {
    Log log;
    SendMessageA(dialog, kTakeLog, 0, reinterpret_cast<LPARAM>(&log));
    return log;
}

// Waits for as many entries as `expected` has, and a little longer for any extra one.
Log LogOnceSettled(HWND dialog, std::size_t expected) {
    Log log;
    WaitUntil([&] {
        const Log more = TakeLog(dialog);
        log.insert(log.end(), more.begin(), more.end());
        return log.size() >= expected;
    });
    std::this_thread::sleep_for(milliseconds(300));
    const Log more = TakeLog(dialog);
    log.insert(log.end(), more.begin(), more.end());
    return log;
}

void ExpectLog(HWND dialog, const Log& expected) {
    EXPECT_EQ(LogOnceSettled(dialog, expected.size()), expected);
}

// The entries about one button.
Log EntriesOf(const std::string& button, const Log& log) {
    Log entries;
    for (const std::string& entry : log) {
        if (entry.compare(0, button.size() + 1, button + " ") == 0) {
            entries.push_back(entry);
        }
    }
    return entries;
}

void MoveTo(POINT point) { ASSERT_TRUE(MovePointerTo(point.x, point.y)); }

TEST(ThemeLibraryTest, WithoutTheLibraryEveryCallAnswersAsUnthemed) {
    const ThemeLibrary missing(kMissingLibrary);
    const RECT rect{0, 0, 10, 10};
    EXPECT_FALSE(missing.IsAppThemed());
    EXPECT_EQ(missing.OpenThemeData(nullptr, L"BUTTON"), nullptr);
    EXPECT_EQ(missing.CloseThemeData(nullptr), E_FAIL);
    EXPECT_EQ(missing.PaintThemedBackground(nullptr, nullptr, nullptr, 1, 1, &rect, nullptr), E_FAIL);
    // The desktop of these tests is themed, which the real library tells.
    EXPECT_TRUE(ThemeLibrary().IsAppThemed());
}

TEST(FlatButtonTest, HotOncePerEntryNeverByADragAndClearedOnLeaveCancelModeAndFocusLoss) {
    RunProbe([](HWND dialog) {
        const HWND one = GetDlgItem(dialog, kOne);
        const POINT outside = PointOf(dialog, 6, GetSystemMetrics(SM_CYCAPTION) + 10);
        const POINT centre = CentreOf(one);
        MoveTo(outside);
        LogOnceSettled(dialog, 0);

        // Plain with frames though the desktop is themed: the library is missing.
        EXPECT_EQ(EdgesOf(PictureWithEdges(one, PlainEdges())), PlainEdges());
        MoveTo(centre);
        MoveTo({centre.x + 3, centre.y + 1});
        MoveTo({centre.x - 5, centre.y});
        ExpectLog(dialog, {"One hot on move", "One paint hot"});
        EXPECT_EQ(EdgesOf(PictureWithEdges(one, RaisedEdges())), RaisedEdges());
        MoveTo(outside);
        ExpectLog(dialog, {"One cold on leave", "One paint normal"});

        // A press that began beside the button, dragged across it.
        SendLeftButton(true);
        MoveTo(centre);
        MoveTo({centre.x + 3, centre.y});
        MoveTo(outside);
        SendLeftButton(false);
        ExpectLog(dialog, {});

        MoveTo(centre);
        ExpectLog(dialog, {"One hot on move", "One paint hot"});
        SendMessageA(one, WM_CANCELMODE, 0, 0);
        ExpectLog(dialog, {"One cold on cancel mode", "One paint normal"});

        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(one), TRUE);
        MoveTo({centre.x + 2, centre.y});
        LogOnceSettled(dialog, 2);
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, kTwo)), TRUE);
        EXPECT_EQ(EntriesOf("One", LogOnceSettled(dialog, 3)),
                  (Log{"One paint hot", "One cold on focus loss", "One paint normal"}));

        MoveTo(centre);
        ExpectLog(dialog, {"One hot on move", "One paint hot"});
        // The system cancels the mode of a window it disables.
        EnableWindow(one, FALSE);
        const Log disabled = EntriesOf("One", LogOnceSettled(dialog, 2));
        ASSERT_FALSE(disabled.empty());
        EXPECT_EQ(disabled.front(), "One cold on cancel mode");
        EXPECT_EQ(disabled.back(), "One paint disabled");

        // A button has a tooltip once a message came to it through the loop; none has a tip.
        std::vector<HWND> tooltips;
        EnumThreadWindows(
            GetWindowThreadProcessId(dialog, nullptr),
            [](HWND window, LPARAM found) -> BOOL {
                char name[32] = {};
                GetClassNameA(window, name, sizeof name);
                if (std::string(name) == TOOLTIPS_CLASSA) {
                    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&tooltips));
        EXPECT_FALSE(tooltips.empty());
        EXPECT_LE(tooltips.size(), 3u);
        for (const HWND tooltip : tooltips) {
            EXPECT_EQ(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), 0);
            EXPECT_FALSE(IsWindowVisible(tooltip));
        }
    });
}

TEST(FlatButtonTest, ADoubleClickIsTwoClicksAndEveryClickFocusesTheButtonFirst) {
    RunProbe([](HWND dialog) {
        const HWND two = GetDlgItem(dialog, kTwo);
        MoveTo(CentreOf(two));
        LogOnceSettled(dialog, 0);

        SendDoubleClick();
        const Log seen = LogOnceSettled(dialog, 2);
        EXPECT_EQ(EntriesOf("click", seen), (Log{"click Two, focus on Two", "click Two, focus on Two"}));
        EXPECT_EQ(EntriesOf("double-click", seen), Log{});

        // A click that comes with no press (a mnemonic, a command) moves the focus as well.
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, kOne)), TRUE);
        const HWND three = GetDlgItem(dialog, kThree);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kThree, BN_CLICKED), reinterpret_cast<LPARAM>(three));
        EXPECT_EQ(EntriesOf("click", LogOnceSettled(dialog, 1)), (Log{"click Three, focus on Three"}));
    });
}

// The system tells the dialog, which passes it on; the buttons take the new face and text.
TEST(FlatButtonTest, NewSystemColoursReachTheButtons) {
    const int elements[] = {COLOR_BTNFACE, COLOR_BTNTEXT};
    const COLORREF previous[] = {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNTEXT)};
    const COLORREF changed[] = {RGB(0x30, 0x60, 0x90), RGB(0xF0, 0xE0, 0x10)};
    RunProbe([&](HWND dialog) {
        const HWND three = GetDlgItem(dialog, kThree);
        EXPECT_EQ(EdgesOf(PictureWithEdges(three, PlainEdges())), PlainEdges());
        SetSysColors(2, elements, changed);
        const Edges face{PixelOf(changed[0]), PixelOf(changed[0]), PixelOf(changed[0]),
                         PixelOf(changed[0])};
        const DWORD text = PixelOf(changed[1]);
        // The system repaints everything at once and announces the change after: the face can
        // show a paint before the announcement, the caption's colour only after it.
        const ScreenPicture picture = PictureWhen(
            three, [&](const ScreenPicture& p) { return EdgesOf(p) == face && Contains(p, text); });
        EXPECT_EQ(EdgesOf(picture), face);
        EXPECT_TRUE(Contains(picture, text));
        SetSysColors(2, elements, previous);
    });
}

}  // namespace
