#pragma once

#include "platform/Services.h"

#include <windows.h>

// The program's one icon in the notification area. Its record is the only one of the
// process and lives in static storage; adding, changing and removing all pass that record.
//
// The notification area forgets its icons when Explorer restarts, and at log-on it may not
// be there yet when the program adds its icon. Either way the shell broadcasts
// "TaskbarCreated" once it is ready, and the icon is added again with its current picture,
// so a hidden window never loses its way back.
//
// Notices come as a balloon from the icon, each in place of the one before.
//
// The icon goes with its window (removed at WM_DESTROY), not with this object: no destructor.
class TrayIcon : public NoticeService {  // NOLINT(cppcoreguidelines-special-member-functions)
public:
    TrayIcon() = default;
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Fills the record and adds the icon; mouse activity on it reaches `owner` as
    // `callbackMessage`, the mouse message in lParam.
    void Add(HWND owner, UINT callbackMessage, HICON picture, const char* tip);
    void SetPicture(HICON picture);
    // Answers the shell's "TaskbarCreated".
    void AddAgain();
    void Remove();
    void NumLockOff() override;

    bool IsTaskbarCreated(UINT message) const { return message == taskbarCreated_ && message != 0; }

private:
    void Put();

    UINT taskbarCreated_ = 0;
    bool shown_ = false;
};
