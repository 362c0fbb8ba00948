#pragma once

#include "platform/Services.h"
#include "settings/EmulatorSettings.h"

#include <string>

// "para.dll" beside the executable: 16 bytes, little-endian, in this order:
// speed index (4), start/stop key (2), its modifiers (2), run at start-up (4),
// minimize at start-up (4). No header, so every byte is the user's.

// The executable's directory with its trailing backslash; empty when it cannot be found,
// in which case nothing is read or written anywhere else.
std::wstring ExecutableDirectory(FileSystem& files);

// False when the file cannot be opened, leaving `settings` untouched. A short file
// changes only the fields it holds whole.
bool ReadSettingsFile(FileSystem& files, EmulatorSettings& settings);

// Writes beside the old file and then replaces it, so that a failure at any point
// leaves the previous settings whole. Failures are silent.
void WriteSettingsFile(FileSystem& files, const EmulatorSettings& settings);
