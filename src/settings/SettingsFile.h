#pragma once

#include "platform/Services.h"
#include "settings/EmulatorSettings.h"
#include "settings/StoredFile.h"

#include <cstdint>
#include <string>
#include <vector>

// "para.dll" beside the executable: 16 bytes, little-endian, in this order:
// speed index (4), start/stop key (2), its modifiers (2), run at start-up (4),
// minimize at start-up (4). No header, so every byte is the user's. Where the executable's
// folder cannot be written, %LOCALAPPDATA%\Tarnwick\para-<key>.dll stands in (StoredFile.h).

// The per-user copy's path; empty when the executable's directory or the user's local
// application data cannot be found.
std::wstring PerUserSettingsPath(FileSystem& files);

// What reading does with the file's bytes: a short file changes only the fields it holds
// whole, and bytes beyond the sixteenth are ignored.
void DecodeSettings(const std::vector<std::uint8_t>& bytes, EmulatorSettings& settings);

// Missing when neither file is there, and Held when one is there but stays held by another
// program past a short wait: both leave `settings` untouched. After Held nothing should be
// written until the user changes something, so that the file keeps the user's settings.
ReadOutcome ReadSettingsFile(FileSystem& files, EmulatorSettings& settings);

// Writes beside the old file and then replaces it, so that a failure at any point
// leaves the previous settings whole. Failures are silent.
void WriteSettingsFile(FileSystem& files, const EmulatorSettings& settings);
