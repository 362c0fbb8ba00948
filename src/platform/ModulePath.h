#pragma once

#include <cstddef>
#include <string>

// Full path of the running executable, however long; empty when the system cannot tell.
// The first attempt uses a buffer of `initialSize` characters and grows as needed.
std::string ExecutableFullPath(std::size_t initialSize = 300);
