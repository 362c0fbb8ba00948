#include "platform/SystemLibrary.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

// `name` in the system folder, as a full path; empty when the system cannot tell its folder.
std::wstring SystemFolderPath(const std::wstring& name) {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return std::wstring();
    }
    return std::wstring(folder, length) + L"\\" + name;
}

}  // namespace

void RestrictLibrarySearchToSystemFolder() {
    // Looked up rather than imported: systems without the update that brought it must still
    // start the program.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    const auto setDefaultDirectories =
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(found));
    if (!setDefaultDirectories || !setDefaultDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        // The executable's folder stays in the search there, but the current folder goes.
        SetDllDirectoryA("");
    }
}

Module LoadSystemLibrary(const char* name) {
    Module library(LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!library) {
        // Where the flag is refused the library is named by its full path, which no search
        // can answer from another folder. The name is ASCII, so it widens character by character.
        const std::wstring path = SystemFolderPath(std::wstring(name, name + std::strlen(name)));
        if (!path.empty()) {
            library = Module(LoadLibraryW(path.c_str()));
        }
    }
    return library;
}
