#pragma once

#include "platform/Application.h"
#include "platform/Handle.h"

// Starts Tarnwick once per executable name and runs its dialog for the life of the process.
class EmulatorApp final : public Application {
protected:
    BOOL InitInstance() override;

private:
    Handle instanceMutex_;  // held until the process ends
    Module richEdit_;       // provides the manual's "RICHEDIT" class
};
