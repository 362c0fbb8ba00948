#pragma once

#include "platform/Services.h"
#include "settings/EmulatorSettings.h"

#include <string>

// "para.dll" beside the executable: 16 bytes, little-endian, in this order:
// speed index (4), start/stop key (2), its modifiers (2), run at start-up (4),
// minimize at start-up (4). No header, so every byte is the user's.
//
// Where the executable's folder cannot be written (Program Files for a standard user), the
// same 16 bytes go to a per-user copy, %LOCALAPPDATA%\Tarnwick\para-<key>.dll, whose key
// comes from the folder so that two copies of the program never share settings. The copy
// exists only while saves beside the executable fail, so when it exists it holds the latest
// settings and is read first; the next save that succeeds beside the executable removes it.

// The executable's directory with its trailing backslash; empty when it cannot be found,
// in which case nothing is read or written anywhere else.
std::wstring ExecutableDirectory(FileSystem& files);

// Sixteen hex digits naming `directory`, the same however its ASCII letters are cased.
std::wstring SettingsKey(const std::wstring& directory);

// The per-user copy's path; empty when the executable's directory or the user's local
// application data cannot be found.
std::wstring PerUserSettingsPath(FileSystem& files);

// False when neither file can be opened, leaving `settings` untouched. A short file
// changes only the fields it holds whole.
bool ReadSettingsFile(FileSystem& files, EmulatorSettings& settings);

// Writes beside the old file and then replaces it, so that a failure at any point
// leaves the previous settings whole. Failures are silent.
void WriteSettingsFile(FileSystem& files, const EmulatorSettings& settings);
