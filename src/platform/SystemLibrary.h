#pragma once

#include "platform/Handle.h"

// Tarnwick is started from wherever it was downloaded to, a folder anyone may have dropped
// files into. Libraries therefore come from the system folder only, never from the
// executable's folder or the current folder.

// Restricts the search of every library loaded from now on, by this program or by the
// system's own libraries on its behalf, to the system folder. Called first in the process.
void RestrictLibrarySearchToSystemFolder();

// The system library `name` (a plain file name such as "riched32.dll"), loaded from the system
// folder whatever else the search order holds; null when the system has no such library.
Module LoadSystemLibrary(const char* name);
