#pragma once

#include <string>

// Full path of the running executable, however long; empty when the system cannot tell.
std::string ExecutableFullPath();
