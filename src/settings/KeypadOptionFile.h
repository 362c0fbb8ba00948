#pragma once

#include "platform/Services.h"

#include <string>

// "tarnwick.ini" keeps the extended keypad option, a text file a user can read and edit:
//
//   [Keypad]
//   Extended=1
//
// It lies beside the executable, or in %LOCALAPPDATA%\Tarnwick\tarnwick-<key>.ini where the
// executable's folder cannot be written, as "para.dll" does (StoredFile.h). It is written
// only when the user switches the option, so "para.dll" stays the 16 bytes it always was.

// True only when the [Keypad] section says Extended=1. Read as Windows reads an ini file:
// section and key names in any case, spaces around them and around the '=', lines ending in
// LF or CR LF, ';' starting a comment line, a UTF-8 byte order mark; the first Extended key
// counts. Anything else, a garbled or an empty text among it, means off.
bool ParseExtendedKeypad(const std::string& text);

// Off when the file is missing, stays held by another program past a short wait, or is longer
// than any the program writes or a user would write by hand.
bool ReadExtendedKeypad(FileSystem& files);

// Writes the whole file anew, with CR LF line ends. Failures are silent.
void WriteExtendedKeypad(FileSystem& files, bool on);
