#pragma once

#include <windows.h>

// An icon from the program's resources as LoadIconA hands it out: shared by every
// user and never destroyed, so copying it is free and nothing frees it.
class SharedIcon {
public:
    static SharedIcon Load(int id) {
        return SharedIcon(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)));
    }

    HICON get() const { return icon_; }

private:
    explicit SharedIcon(HICON icon) : icon_(icon) {}

    HICON icon_;
};
