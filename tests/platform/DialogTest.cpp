// The dialog layer on a small dialog of its own: list filling from the template, data
// exchange both ways, the message table, reflection to controls, and the modal loop.

#include "platform/Dialog.h"

#include "platform/Control.h"
#include "platform/MessageTable.h"
#include "platform/WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using namespace wintest;

namespace {

constexpr int kProbeTemplate = 200;
constexpr int kList = 100;
constexpr int kBox = 101;
constexpr int kEdit = 102;
constexpr int kPress = 103;
constexpr UINT kGather = WM_APP + 1;
constexpr UINT kMarker = WM_APP + 2;

// Sees its own click first, and lets the dialog have it too.
class ProbeButton : public Control {
public:
    explicit ProbeButton(std::vector<std::string>& log) : log_(log) {}
    bool OnReflected(UINT message, WPARAM wParam, LPARAM, LRESULT&) override {
        if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
            log_.push_back("button saw click");
        }
        return false;
    }
    bool PreTranslateMessage(MSG& message) override {
        if (message.message == kMarker) {
            log_.push_back("button pre-translated marker");
        }
        return false;
    }

private:
    std::vector<std::string>& log_;
};

class ProbeDialog : public Dialog {
public:
    ProbeDialog() : Dialog(kProbeTemplate), button(log) {}

    std::vector<std::string> log;
    std::int32_t listIndex = 1;
    std::int32_t boxState = 1;
    std::string text = "first";
    std::vector<std::string> listEntries;
    ProbeButton button;

protected:
    BOOL OnInitDialog() override {
        Dialog::OnInitDialog();
        const int count = static_cast<int>(SendDlgItemMessageA(hwnd(), kList, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char entry[16] = {};
            SendDlgItemMessageA(hwnd(), kList, CB_GETLBTEXT, static_cast<WPARAM>(i),
                                reinterpret_cast<LPARAM>(entry));
            listEntries.push_back(entry);
        }
        log.push_back("shown " + std::to_string(SendDlgItemMessageA(hwnd(), kList, CB_GETCURSEL, 0, 0)) +
                      " " + std::to_string(IsDlgButtonChecked(hwnd(), kBox)) + " " +
                      WindowText(GetDlgItem(hwnd(), kEdit)));
        return TRUE;
    }
    void DoDataExchange(DataExchange& exchange) override {
        exchange.ComboIndex(kList, listIndex);
        exchange.Check(kBox, boxState);
        exchange.Text(kEdit, text);
        exchange.BindControl(kPress, button);
    }
    bool PreTranslateMessage(MSG& message) override {
        if (message.message == kMarker) {
            log.push_back("dialog pre-translated marker");
        }
        return Dialog::PreTranslateMessage(message);
    }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        return table.Route(*this, message, wParam, lParam, result);
    }
    void OnCancel() override { log.push_back("cancel"); }

private:
    void OnPress() { log.push_back("dialog saw click"); }
    LRESULT OnGather(WPARAM, LPARAM) {
        UpdateData(true);
        log.push_back("focus on " + std::to_string(GetDlgCtrlID(GetFocus())));
        return 42;
    }

    static const MessageTable<ProbeDialog> table;
};

const MessageTable<ProbeDialog> ProbeDialog::table = {
    MessageTable<ProbeDialog>::Command(BN_CLICKED, kPress, &ProbeDialog::OnPress),
    MessageTable<ProbeDialog>::Message(kGather, &ProbeDialog::OnGather),
};

HWND WaitForProbe() {
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindWindowA(nullptr, "Probe")) != nullptr && IsWindowVisible(window); });
    return window;
}

TEST(DialogTest, ARunOfTheModalLoopFromStartToEnd) {
    ProbeDialog dialog;
    LRESULT gathered = 0;
    std::thread user([&] {
        const HWND window = WaitForProbe();
        ASSERT_NE(window, nullptr);
        const HWND edit = GetDlgItem(window, kEdit);
        const HWND press = GetDlgItem(window, kPress);

        // What a user changes reaches the members only when the dialog gathers it.
        SendDlgItemMessageA(window, kList, CB_SETCURSEL, 2, 0);
        SendDlgItemMessageA(window, kBox, BM_SETCHECK, BST_UNCHECKED, 0);
        SetWindowTextA(edit, "second");
        gathered = SendMessageA(window, kGather, 0, 0);

        SendMessageA(press, BM_CLICK, 0, 0);
        PostMessageA(press, kMarker, 0, 0);

        // Tab from the edit control goes on to the button through the dialog manager.
        SendMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
        PostMessageA(edit, WM_KEYDOWN, VK_TAB, 0);
        PostMessageA(edit, WM_KEYUP, VK_TAB, 0);
        PostMessageA(window, kGather, 0, 0);

        SendMessageA(window, WM_CLOSE, 0, 0);  // reaches OnCancel, which here stays open
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    });
    const INT_PTR result = dialog.DoModal();
    user.join();

    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(gathered, 42);
    EXPECT_EQ(dialog.listEntries, (std::vector<std::string>{"a", "bb", "ccc"}));
    EXPECT_EQ(dialog.listIndex, 2);
    EXPECT_EQ(dialog.boxState, 0);
    EXPECT_EQ(dialog.text, "second");
    EXPECT_EQ(dialog.log, (std::vector<std::string>{
                              "shown 1 1 first",
                              "focus on " + std::to_string(kList),
                              "button saw click",
                              "dialog saw click",
                              "dialog pre-translated marker",
                              "button pre-translated marker",
                              "focus on " + std::to_string(kPress),
                              "cancel",
                          }));
    EXPECT_EQ(FindWindowA(nullptr, "Probe"), nullptr);
}

// Hides itself while it is made, as a program that starts in the notification area does.
class HiddenProbe : public Dialog {
public:
    HiddenProbe() : Dialog(kProbeTemplate) {}
    int shown = 0;

protected:
    BOOL OnInitDialog() override {
        Dialog::OnInitDialog();
        Hide();
        return TRUE;
    }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT&) override {
        shown += message == WM_SHOWWINDOW && wParam;
        return false;
    }
};

TEST(DialogTest, ADialogThatHidesItselfAtInitialisationIsNeverShown) {
    HiddenProbe dialog;
    bool visible = true;
    std::thread user([&] {
        HWND window = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (window = FindWindowA(nullptr, "Probe")) != nullptr; }));
        // A message that goes round the modal loop: the loop runs, and the dialog stays hidden.
        SendMessageA(window, WM_NULL, 0, 0);
        visible = IsWindowVisible(window) != FALSE;
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    user.join();
    EXPECT_FALSE(visible);
    EXPECT_EQ(dialog.shown, 0);
}

}  // namespace
