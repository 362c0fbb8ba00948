#pragma once

#include <cstddef>
#include <string>

// Full path of the running executable in UTF-16, so that no folder name loses a character
// to the code page; empty when the system cannot tell. The first attempt uses a buffer of
// `initialSize` characters and grows as needed.
std::wstring ExecutableFullPath(std::size_t initialSize = 300);
