#pragma once

#include "platform/Dialog.h"

// The About box: the program's icon, name and version, and OK. Everything is the template's
// and the dialog layer's; it is run modally over the main dialog from its system menu.
class AboutDialog final : public Dialog {
public:
    AboutDialog();
};
