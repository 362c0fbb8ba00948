#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class Control;

// Moves values between a dialog's members and its controls: toward the controls
// when displaying, back into the members when saving.
class DataExchange {
public:
    DataExchange(HWND dialog, bool saving) : dialog_(dialog), saving_(saving) {}

    bool Saving() const { return saving_; }

    // Binds the template's control to `control` the first time; nothing after that.
    void BindControl(int id, Control& control);
    void Text(int id, std::string& value);
    // The selected entry of a combo box; -1 for none.
    void ComboIndex(int id, std::int32_t& index);
    // The check state of a check box: 0 clear, 1 ticked, 2 indeterminate.
    void Check(int id, std::int32_t& state);

private:
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }

    HWND dialog_;
    bool saving_;
};
