#pragma once

#include "platform/Dialog.h"

// The About box: the program's icon, name and version, and OK. Its contents are all the
// template's; it is run modally over the main dialog from its system menu.
class AboutDialog final : public Dialog {
public:
    AboutDialog();

protected:
    // Centres the box over the window that runs it, inside that window's monitor.
    BOOL OnInitDialog() override;
};
