#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

// A static table from window messages and command notifications to member handlers:
//   Message(WM_HOTKEY, &Owner::OnHotKey)          LRESULT OnHotKey(WPARAM, LPARAM)
//   Command(BN_CLICKED, IDC_MODIFY, &Owner::OnModify)   void OnModify()
// A command entry with code 0 also takes menu and accelerator commands.
template <class Owner>
class MessageTable {
public:
    using MessageHandler = LRESULT (Owner::*)(WPARAM, LPARAM);
    using CommandHandler = void (Owner::*)();

    struct Entry {
        UINT message;
        UINT code;
        UINT id;
        MessageHandler onMessage;
        CommandHandler onCommand;
    };

    static Entry Message(UINT message, MessageHandler handler) {
        return {message, 0, 0, handler, nullptr};
    }
    static Entry Command(UINT code, UINT id, CommandHandler handler) {
        return {WM_COMMAND, code, id, nullptr, handler};
    }

    MessageTable(std::initializer_list<Entry> entries) : entries_(entries) {}

    // True when an entry took the message.
    bool Route(Owner& owner, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) const {
        for (const Entry& entry : entries_) {
            if (entry.message != message) {
                continue;
            }
            if (entry.onMessage) {
                result = (owner.*entry.onMessage)(wParam, lParam);
                return true;
            }
            if (HIWORD(wParam) == entry.code && LOWORD(wParam) == entry.id) {
                (owner.*entry.onCommand)();
                result = 0;
                return true;
            }
        }
        return false;
    }

private:
    std::vector<Entry> entries_;
};
