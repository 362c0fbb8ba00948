// The four push buttons of the running program, as the user sees and drives them: pixels
// read back from the screen, with the desktop's visual style off and on, real pointer
// input, and what the buttons answer to the dialog manager.

#include "platform/GdiObjects.h"
#include "ui/ProgramTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace wintest;

namespace {

const char kThemeKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";

// The desktop's visual style on or off for the programs started afterwards.
class DesktopTheme : public ScopedRegistryValue {
public:
    explicit DesktopTheme(bool active)
        : ScopedRegistryValue(HKEY_CURRENT_USER, kThemeKey, "ThemeActive") {
        Set(active ? "1" : "0");
    }
};

class ButtonTest : public ProgramTest {
protected:
    // A corner of the dialog's client area that no control covers.
    void MovePointerOffTheButtons() {
        const POINT corner = PointOf(dialog_, 4, 4 + GetSystemMetrics(SM_CYCAPTION));
        ASSERT_TRUE(MovePointerTo(corner.x, corner.y));
    }
    void MovePointerOnto(HWND window) {
        const POINT centre = CentreOf(window);
        ASSERT_TRUE(MovePointerTo(centre.x, centre.y));
    }
};

TEST_F(ButtonTest, UnthemedButtonsAreFlatWithFramesWhileHotOrPressedAndEmbossedWhenDisabled) {
    const DesktopTheme unthemed(false);
    const DWORD face = PixelOf(GetSysColor(COLOR_BTNFACE));
    const DWORD highlight = PixelOf(GetSysColor(COLOR_BTNHIGHLIGHT));
    const DWORD shadow = PixelOf(GetSysColor(COLOR_BTNSHADOW));
    const DWORD text = PixelOf(GetSysColor(COLOR_BTNTEXT));
    ASSERT_TRUE(face != highlight && face != shadow && highlight != shadow);
    StartAndWaitForDialog();
    const HWND modify = Item(IDC_MODIFY);
    MovePointerOffTheButtons();

    const ScreenPicture normal = PictureWithEdges(modify, PlainEdges());
    EXPECT_EQ(EdgesOf(normal), PlainEdges());
    EXPECT_TRUE(Contains(normal, text));
    // The focus changes nothing that shows: no focus rectangle.
    SetForegroundWindow(dialog_);
    SendMessageA(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(modify), TRUE);
    ASSERT_TRUE(PumpUntil([&] { return FocusOf(dialog_) == modify; }));
    PumpMessages(milliseconds(300));
    EXPECT_TRUE(TakeScreenPicture(modify).pixels == normal.pixels) << "a focus rectangle shows";

    MovePointerOnto(modify);
    const ScreenPicture hot = PictureWithEdges(modify, RaisedEdges());
    EXPECT_EQ(EdgesOf(hot), RaisedEdges());

    // Pressed: the frame sunken and the caption one pixel right and down.
    SendLeftButton(true);
    const ScreenPicture pressed = PictureWithEdges(modify, SunkenEdges());
    EXPECT_EQ(EdgesOf(pressed), SunkenEdges());
    int moved = 0;
    for (int y = 2; y < hot.height - 1; ++y) {
        for (int x = 2; x < hot.width - 1; ++x) {
            moved += pressed.At(x, y) != hot.At(x - 1, y - 1);
        }
    }
    EXPECT_EQ(moved, 0) << "pixels of the pressed caption not one step right and down";
    // Released elsewhere: no click, and the button plain again.
    MovePointerOffTheButtons();
    SendLeftButton(false);
    EXPECT_EQ(EdgesOf(PictureWithEdges(modify, PlainEdges())), PlainEdges());
    PumpMessages(milliseconds(300));
    EXPECT_FALSE(Program().ShowsMessageBox());

    // Disabled: the focus moves on from Exit to the next tab stop, the caption embossed.
    const HWND exit = Item(IDC_EXIT);
    SendMessageA(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(exit), TRUE);
    ASSERT_TRUE(PumpUntil([&] { return FocusOf(dialog_) == exit; }));
    EnableWindow(exit, FALSE);
    EXPECT_TRUE(PumpUntil([&] { return FocusOf(dialog_) == Item(IDC_DONATE); }));
    const ScreenPicture disabled = PictureWhen(
        exit, [&](const ScreenPicture& p) { return Contains(p, shadow) && !Contains(p, text); });
    EXPECT_EQ(EdgesOf(disabled), PlainEdges());
    EXPECT_TRUE(Contains(disabled, highlight));
    EXPECT_TRUE(Contains(disabled, shadow));
    EXPECT_FALSE(Contains(disabled, text));
}

TEST_F(ButtonTest, ThemedButtonsPaintTheStylesBackgroundWithoutAFlatFrame) {
    StartAndWaitForDialog();
    const HWND modify = Item(IDC_MODIFY);
    MovePointerOffTheButtons();
    PumpMessages(milliseconds(300));
    const ScreenPicture normal = TakeScreenPicture(modify);
    EXPECT_NE(EdgesOf(normal), PlainEdges()) << "a flat face: no style painted";

    MovePointerOnto(modify);
    const ScreenPicture hot =
        PictureWhen(modify, [&](const ScreenPicture& p) { return p.pixels != normal.pixels; });
    EXPECT_TRUE(hot.pixels != normal.pixels) << "hot looks like normal";
    EXPECT_NE(EdgesOf(hot), RaisedEdges());
}

TEST_F(ButtonTest, ButtonsFollowTheDialogsDefaultAndHoldNoCheck) {
    StartAndWaitForDialog();
    const HWND modify = Item(IDC_MODIFY);
    const auto code = [&] {
        return SendMessageA(modify, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
    };
    const auto type = [&] { return GetWindowLongA(modify, GWL_STYLE) & BS_TYPEMASK; };
    EXPECT_EQ(type(), BS_OWNERDRAW);
    EXPECT_EQ(code(), DLGC_UNDEFPUSHBUTTON);

    const struct {
        WPARAM style;
        LRESULT code;
    } steps[] = {
        {BS_DEFPUSHBUTTON, DLGC_DEFPUSHBUTTON},
        {BS_CHECKBOX, DLGC_DEFPUSHBUTTON},  // another type leaves the default as it was
        {BS_PUSHBUTTON, DLGC_UNDEFPUSHBUTTON},
        {BS_AUTORADIOBUTTON, DLGC_UNDEFPUSHBUTTON},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.style);
        SendMessageA(modify, BM_SETSTYLE, step.style, TRUE);
        EXPECT_EQ(code(), step.code);
        EXPECT_EQ(type(), BS_OWNERDRAW);
    }

    SendMessageA(modify, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageA(modify, BM_GETCHECK, 0, 0), 0);
}

class ButtonGdiTest : public ButtonTest, public ::testing::WithParamInterface<bool> {};

// Hot, pressed and disabled paints hold on to no GDI object.
TEST_P(ButtonGdiTest, RepaintsLeaveTheGdiObjectCountAsItWas) {
    const DesktopTheme theme(GetParam());
    StartAndWaitForDialog();
    const HWND modify = Item(IDC_MODIFY);
    const HWND exit = Item(IDC_EXIT);
    const HWND donate = Item(IDC_DONATE);
    MovePointerOnto(modify);

    // Each round paints a hot, a pressed and a disabled button at least once.
    const auto repaint = [&] {
        RedrawWindow(modify, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
        UpdateWindow(modify);
        SendMessageA(exit, BM_SETSTATE, TRUE, 0);
        SendMessageA(exit, BM_SETSTATE, FALSE, 0);
        EnableWindow(donate, FALSE);
        EnableWindow(donate, TRUE);
    };
    repaint();  // whatever the first paints set up for good
    PumpMessages(milliseconds(200));
    const std::size_t before = CountGdiObjects(Program().Process());
    ASSERT_GT(before, 0u);
    for (int i = 0; i < 1000; ++i) {
        repaint();
    }
    PumpMessages(milliseconds(200));
    EXPECT_EQ(CountGdiObjects(Program().Process()), before);
}

INSTANTIATE_TEST_SUITE_P(Theme, ButtonGdiTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& theme) {
                             return theme.param ? "Themed" : "Unthemed";
                         });

}  // namespace
