#pragma once

#include <windows.h>

// An icon from the program's resources as LoadIconA hands it out: shared by every
// user and never destroyed, so copying it is free and nothing frees it.
class SharedIcon {
public:
    static SharedIcon Load(int id) {
        return SharedIcon(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)));
    }

    // At the system's small-icon size, which the notification area draws, so the picture
    // is the one drawn for that size rather than a larger one scaled down.
    static SharedIcon LoadSmall(int id) {
        return SharedIcon(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                                        IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), LR_SHARED)));
    }

    HICON get() const { return icon_; }

private:
    explicit SharedIcon(HICON icon) : icon_(icon) {}

    HICON icon_;
};
