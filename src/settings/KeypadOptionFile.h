#pragma once

#include "platform/Services.h"

#include <string>

// "tarnwick.ini" keeps the extended keypad and letter keypad options, a text file a user can
// read and edit:
//
//   [Keypad]
//   Extended=1
//   Letters=0
//
// It lies beside the executable, or in %LOCALAPPDATA%\Tarnwick\tarnwick-<key>.ini where the
// executable's folder cannot be written, as "para.dll" does (StoredFile.h). It is written
// only when the user switches an option, so "para.dll" stays the 16 bytes it always was, and
// the Letters line is there only once the letter keypad has been switched.

struct KeypadOptions {
    bool extended = false;
    bool letters = false;
    bool lettersWritten = false;  // the file has a Letters key, or will have
};

// Each option is on only when the [Keypad] section says so with 1. Read as Windows reads an ini
// file: section and key names in any case, spaces around them and around the '=', lines ending
// in LF or CR LF, ';' starting a comment line, a UTF-8 byte order mark; the first of each key
// counts. Anything else, a garbled or an empty text among it, means off.
KeypadOptions ParseKeypadOptions(const std::string& text);

// Both off when the file is missing, stays held by another program past a short wait, or is
// longer than any the program writes or a user would write by hand.
KeypadOptions ReadKeypadOptions(FileSystem& files);

// Writes the whole file anew, with CR LF line ends. Failures are silent.
void WriteKeypadOptions(FileSystem& files, const KeypadOptions& options);
