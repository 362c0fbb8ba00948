#pragma once

#include <windows.h>

#include <cstddef>

// How many GDI objects `process` holds (it needs query and read access). GetGuiResources
// answers 0 under Wine, so there the process's GDI handle table is counted instead.
std::size_t CountGdiObjects(HANDLE process);
