#include "platform/ModulePath.h"

#include <windows.h>

namespace {
// Longest path the system can hand back, in characters.
constexpr std::size_t kLongestPath = 32768;
}  // namespace

std::wstring ExecutableFullPath(std::size_t initialSize) {
    // A buffer that is too small is filled and truncated without an error, so grow until it fits.
    std::wstring path(initialSize, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return std::wstring();
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= kLongestPath) {
            return std::wstring();
        }
        path.resize(path.size() * 2);
    }
}
