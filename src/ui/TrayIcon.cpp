#include "ui/TrayIcon.h"

#include <shellapi.h>

#include <cstring>

namespace {

// The first layout of the record, which every version of the shell reads: a tip of 64
// characters and nothing after it.
static_assert(NOTIFYICONDATAA_V1_SIZE == (sizeof(void*) == 8 ? 104 : 88),
              "the first layout of NOTIFYICONDATAA");
constexpr UINT kIconId = 128;

NOTIFYICONDATAA record;

}  // namespace

void TrayIcon::Add(HWND owner, UINT callbackMessage, HICON picture, const char* tip) {
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
    // An elevated program would not hear it from the shell of a standard user otherwise.
    ChangeWindowMessageFilterEx(owner, taskbarCreated_, MSGFLT_ALLOW, nullptr);

    std::memset(&record, 0, sizeof record);
    record.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record.hWnd = owner;
    record.uID = kIconId;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = callbackMessage;
    record.hIcon = picture;
    std::strncpy(record.szTip, tip, sizeof record.szTip - 1);
    Put();
}

void TrayIcon::SetPicture(HICON picture) {
    record.hIcon = picture;
    if (!shown_ || !Shell_NotifyIconA(NIM_MODIFY, &record)) {
        Put();
    }
}

void TrayIcon::AddAgain() {
    if (record.hWnd) {
        Put();
    }
}

void TrayIcon::Remove() {
    if (record.hWnd) {
        Shell_NotifyIconA(NIM_DELETE, &record);
        record.hWnd = nullptr;
    }
    shown_ = false;
}

void TrayIcon::NumLockOff() {
    if (!record.hWnd) {
        return;
    }
    // The balloon's fields come after the first layout of the record, which stays as it is;
    // this one changes nothing but the balloon.
    NOTIFYICONDATAA balloon{};
    balloon.cbSize = NOTIFYICONDATAA_V2_SIZE;
    balloon.hWnd = record.hWnd;
    balloon.uID = record.uID;
    // A notice the shell cannot show now is dropped rather than queued behind others.
    balloon.uFlags = NIF_INFO | NIF_REALTIME;
    balloon.dwInfoFlags = NIIF_INFO;
    // An empty text takes down the balloon shown before, so that two never stand at once.
    Shell_NotifyIconA(NIM_MODIFY, &balloon);
    std::strncpy(balloon.szInfoTitle, "NumLock is off", sizeof balloon.szInfoTitle - 1);
    std::strncpy(balloon.szInfo,
                 "With NumLock off the keypad moves the text cursor, not the pointer. Press NumLock to "
                 "point and click with it.\r\nWithout a keypad? Switch on Letter Keypad in Tarnwick's "
                 "system menu.",
                 sizeof balloon.szInfo - 1);
    Shell_NotifyIconA(NIM_MODIFY, &balloon);
}

// An add the shell timed out on may still have gone through, so a refused add is tried
// as a change before the icon counts as missing.
void TrayIcon::Put() {
    shown_ = Shell_NotifyIconA(NIM_ADD, &record) || Shell_NotifyIconA(NIM_MODIFY, &record);
}
