#pragma once

#include "platform/Services.h"

#include <string>

// Whether Windows starts this copy of Tarnwick at log-on: the value "tarnwick" in the Run
// key, the executable's path in double quotes (unquoted, a path with spaces would let a
// program named after its first word run instead). Machine-wide when the user may write
// there, otherwise for this user only. Nothing is reported: the check box and the settings
// file keep the user's choice either way.
void SetRunAtStartup(RegistryService& registry, const std::wstring& executablePath, bool run);
