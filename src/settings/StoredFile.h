#pragma once

#include "platform/Services.h"

#include <cstdint>
#include <string>
#include <vector>

// A small file of Tarnwick's own, kept beside the executable, so that a copy on a USB stick
// takes its settings along.
//
// Where the executable's folder cannot be written (Program Files for a standard user), the
// same bytes go to a per-user copy under %LOCALAPPDATA%\Tarnwick\, named with a key that
// comes from the folder so that two copies of the program never share a file. The copy
// exists only while saves beside the executable fail, so when it exists it holds the latest
// bytes and is read first; the next save that succeeds beside the executable removes it.
//
// Another program may hold a file for a moment (a virus scanner after a change, a sync or
// backup client copying it), so reads and changes try again for a short while before they
// give up.

// "para" and ".dll" name "para.dll" beside the executable and "para-<key>.dll" in the
// per-user folder.
struct StoredFileName {
    const wchar_t* stem;
    const wchar_t* extension;
};

// The executable's directory with its trailing backslash; empty when it cannot be found,
// in which case nothing is read or written anywhere else.
std::wstring ExecutableDirectory(FileSystem& files);

// Sixteen hex digits naming `directory`, the same however its ASCII letters are cased.
std::wstring SettingsKey(const std::wstring& directory);

// The per-user copy's path; empty when the executable's directory or the user's local
// application data cannot be found.
std::wstring PerUserPath(FileSystem& files, const StoredFileName& name);

// At most `maxBytes` of the per-user copy, or else of the file beside the executable.
// Missing when neither is there; Held when the one to read stays held past the wait.
FileRead ReadStoredFile(FileSystem& files, const StoredFileName& name, std::size_t maxBytes);

// Writes beside the old file and then replaces it, so that a failure at any point leaves
// the previous bytes whole. Failures are silent.
void WriteStoredFile(FileSystem& files, const StoredFileName& name, const std::vector<std::uint8_t>& bytes);
