#include "platform/DataExchange.h"

#include "platform/Control.h"

void DataExchange::BindControl(int id, Control& control) { control.Subclass(Item(id)); }

void DataExchange::Text(int id, std::string& value) {
    const HWND item = Item(id);
    if (!saving_) {
        SetWindowTextA(item, value.c_str());
        return;
    }
    value = WindowTextOf(item);
}

void DataExchange::ComboIndex(int id, std::int32_t& index) {
    const HWND item = Item(id);
    if (saving_) {
        index = static_cast<std::int32_t>(SendMessageA(item, CB_GETCURSEL, 0, 0));
    } else {
        // An index past the list means no selection; Wine would keep the old one instead.
        const auto count = static_cast<std::int32_t>(SendMessageA(item, CB_GETCOUNT, 0, 0));
        const std::int32_t selection = index >= 0 && index < count ? index : -1;
        SendMessageA(item, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
    }
}

void DataExchange::Check(int id, std::int32_t& state) {
    const HWND item = Item(id);
    if (saving_) {
        state = static_cast<std::int32_t>(SendMessageA(item, BM_GETCHECK, 0, 0));
    } else {
        SendMessageA(item, BM_SETCHECK, static_cast<WPARAM>(state), 0);
    }
}
